#include "platform/win32/ComError.h"

namespace platform::win32 {

std::string ComErrorText(HRESULT hr) {
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 static_cast<DWORD>(hr), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = text ? text : "";
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  if (message.empty()) {
    char code[32];
    wsprintfA(code, "OLE error %.8X", static_cast<unsigned>(hr));
    message = code;
  }
  return message;
}

}  // namespace platform::win32
