// Native windows for the component layer's controls.
#pragma once
#include <windows.h>

#include <memory>

#include "vcl/Controls.h"

namespace vcl {
class TForm;
class TPageControl;
}  // namespace vcl

namespace vcl::win32 {

std::unique_ptr<TControlPeer> CreateNativePeer(TControl& control);
void RegisterWindowClasses();
HWND WindowOf(const TControl* control);  // nullptr when it has no native window
TFrameSize FormFrame(const TForm& form);
TSheetArea PageArea(const TPageControl& pages);

}  // namespace vcl::win32
