// 8-bit text of the system's ANSI code page and the UTF-16 text of the system's calls.
#pragma once
#include <cstddef>
#include <string>

namespace platform::win32 {

std::wstring Wide(const std::string& text);
// False when the text cannot be converted (the system's last error tells why).
bool ToAnsi(const wchar_t* text, std::size_t length, std::string& out);

}  // namespace platform::win32
