#include "vcl/SysUtils.h"

#include <cctype>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace vcl {

std::string Trim(const std::string& s) {
  // Blanks and control characters count as white space, as in the class library.
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::string UpperCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

std::string LowerCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

bool SameText(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

static size_t LastDelimiter(const std::string& path) {
  return path.find_last_of("\\:");
}

std::string ExtractFileName(const std::string& path) {
  size_t i = LastDelimiter(path);
  return i == std::string::npos ? path : path.substr(i + 1);
}

std::string ExtractFileDrive(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.rfind("\\\\", 0) != 0) return "";
  // Server and share: up to the delimiter after the share's name.
  size_t server = path.find('\\', 2);
  if (server == std::string::npos) return path;
  size_t share = path.find('\\', server + 1);
  return share == std::string::npos ? path : path.substr(0, share);
}

std::string ExtractFileDir(const std::string& path) {
  size_t i = LastDelimiter(path);
  if (i == std::string::npos) return "";
  // Keep the delimiter of a root ("C:\", "\\") so the result still names that root.
  if (i > 0 && path[i] == '\\' && path[i - 1] != '\\' && path[i - 1] != ':') return path.substr(0, i);
  return path.substr(0, i + 1);
}

bool EndsWithPathDelimiter(const std::string& path) { return !path.empty() && path.back() == '\\'; }

bool TryStrToInt(const std::string& s, int& value) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  long long n = 0;
  for (; i < s.size(); ++i) {
    int d;
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (std::isdigit(c)) d = c - '0';
    else if (base == 16 && std::isxdigit(c)) d = std::tolower(c) - 'a' + 10;
    else return false;
    n = n * base + d;
    if (n > 0xFFFFFFFFLL) return false;
  }
  if (base == 10) {
    if (negative ? -n < INT_MIN : n > INT_MAX) return false;
    value = static_cast<int>(negative ? -n : n);
  } else {
    // Hexadecimal texts cover the whole 32-bit pattern.
    value = static_cast<int>(static_cast<unsigned>(n));
    if (negative) value = -value;
  }
  return true;
}

int StrToInt(const std::string& s) {
  int v;
  if (!TryStrToInt(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
  return v;
}

int StrToIntDef(const std::string& s, int fallback) {
  int v;
  return TryStrToInt(s, v) ? v : fallback;
}

std::string Format(const char* pattern, ...) {
  va_list args;
  va_start(args, pattern);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, pattern, copy);
  va_end(copy);
  std::vector<char> buf(static_cast<size_t>(n > 0 ? n : 0) + 1);
  std::vsnprintf(buf.data(), buf.size(), pattern, args);
  va_end(args);
  return std::string(buf.data(), static_cast<size_t>(n > 0 ? n : 0));
}

}  // namespace vcl
