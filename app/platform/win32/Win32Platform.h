// The platform services on Win32.
#pragma once
#include "platform/Platform.h"

namespace platform::win32 {

Services MakeServices();

}  // namespace platform::win32
