// The component layer on Win32: real windows and common controls, the thread's message
// loop, SetTimer timers, synchronised calls through the message queue, COM-aware waits.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "vcl/Widgetset.h"

namespace vcl::win32 {

// Installs on the calling thread, which becomes the main (user interface) thread.
std::unique_ptr<TWidgetset> MakeWidgetset();

// Sees every keyboard message of the main thread's loops before it is translated and
// dispatched; true when it has handled the message. An embedded control that handles its
// own keys (the page browser) installs one; none removes it.
void SetKeyFilter(std::function<bool(MSG&)> filter);

}  // namespace vcl::win32
