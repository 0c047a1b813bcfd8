#include "platform/win32/WideText.h"

#include <windows.h>

namespace platform::win32 {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], n);
  return wide;
}

bool ToAnsi(const wchar_t* text, std::size_t length, std::string& out) {
  out.clear();
  if (length == 0) return true;
  const int size = static_cast<int>(length);
  const int n = WideCharToMultiByte(CP_ACP, 0, text, size, nullptr, 0, nullptr, nullptr);
  if (n == 0) return false;
  out.assign(static_cast<std::size_t>(n), '\0');
  return WideCharToMultiByte(CP_ACP, 0, text, size, &out[0], n, nullptr, nullptr) == n;
}

}  // namespace platform::win32
