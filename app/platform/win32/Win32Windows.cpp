#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace platform::win32 {

namespace {

HWND Window(Handle h) { return reinterpret_cast<HWND>(h); }

class Windows final : public IWindows {
 public:
  Handle FindTopLevel(const std::string& className) override {
    return reinterpret_cast<Handle>(FindWindowA(className.c_str(), nullptr));
  }
  Handle SetParent(Handle child, Handle parent) override {
    return reinterpret_cast<Handle>(::SetParent(Window(child), Window(parent)));
  }
  bool SetLayeredAttributes(Handle window, std::uint32_t colorKey, std::uint8_t alpha, std::uint32_t flags) override {
    return SetLayeredWindowAttributes(Window(window), colorKey, alpha, flags) != FALSE;
  }
  std::uint32_t ExStyle(Handle window) override {
    return static_cast<std::uint32_t>(GetWindowLongA(Window(window), GWL_EXSTYLE));
  }
  void SetExStyle(Handle window, std::uint32_t style) override {
    SetWindowLongA(Window(window), GWL_EXSTYLE, static_cast<LONG>(style));
  }
  bool Redraw(Handle window, std::uint32_t flags) override {
    return RedrawWindow(Window(window), nullptr, nullptr, flags) != FALSE;
  }
  void SendChar(Handle window, std::uint32_t code) override { SendMessageA(Window(window), WM_CHAR, code, 0); }
};

}  // namespace

std::unique_ptr<IWindows> MakeWindows() { return std::make_unique<Windows>(); }

}  // namespace platform::win32
