// Native windows for the component layer's controls.
#pragma once
#include <windows.h>

#include <memory>

#include "vcl/Controls.h"

namespace vcl::win32 {

std::unique_ptr<TControlPeer> CreateNativePeer(TControl& control);
void RegisterWindowClasses();
HWND WindowOf(const TControl* control);  // nullptr when it has no native window

}  // namespace vcl::win32
