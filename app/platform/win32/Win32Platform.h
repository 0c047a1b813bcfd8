// The platform services on Win32.
#pragma once
#include <memory>

#include "platform/Platform.h"

namespace platform::win32 {

Services MakeServices();

// The services that live in files of their own.
std::unique_ptr<IWindows> MakeWindows();
std::unique_ptr<ILibraries> MakeLibraries();
std::unique_ptr<IEncoderBridge> MakeEncoderBridge();
std::unique_ptr<IAutomation> MakeAutomation();

}  // namespace platform::win32
