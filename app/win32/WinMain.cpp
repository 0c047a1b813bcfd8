// The Windows entry: installs the win32 backends and runs the program.
#include <windows.h>

#include "Program.h"
#include "platform/win32/Win32Platform.h"
#include "vcl/win32/Win32Widgetset.h"
#include "win32/WebBrowserHost.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::InstallPlatform(platform::win32::MakeServices());
  vcl::InstallWidgetset(vcl::win32::MakeWidgetset());
  pagehost::InstallBrowserFactory(pagehost::win32::MakeBrowser);
  // The backends stay installed until the process ends: self-freeing threads may still
  // be finishing.
  return RunProgram();
}
