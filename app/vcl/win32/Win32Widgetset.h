// The component layer on Win32: real windows and common controls, the thread's message
// loop, SetTimer timers, synchronised calls through the message queue, COM-aware waits.
#pragma once
#include <memory>

#include "vcl/Widgetset.h"

namespace vcl::win32 {

// Installs on the calling thread, which becomes the main (user interface) thread.
std::unique_ptr<TWidgetset> MakeWidgetset();

}  // namespace vcl::win32
