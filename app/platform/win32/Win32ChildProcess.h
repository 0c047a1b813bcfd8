// Child processes whose standard handles are anonymous pipes of this program.
#pragma once
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace platform::win32 {

std::unique_ptr<IPipe> CreateInheritablePipe();
std::unique_ptr<IChildProcess> StartRedirected(const std::string& commandLine, IPipe* input, IPipe* output);

}  // namespace platform::win32
