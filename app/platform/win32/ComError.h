// The failure text of a COM call: the system's own message for its result code.
#pragma once
#include <windows.h>

#include <string>

namespace platform::win32 {

// The system's message for hr without its line end; "OLE error XXXXXXXX" when the system
// has none.
std::string ComErrorText(HRESULT hr);

}  // namespace platform::win32
