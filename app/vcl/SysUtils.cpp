#include "vcl/SysUtils.h"

#include "platform/Platform.h"

#include <cctype>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
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

// Delimiters are searched character by character: on a double-byte code page the trail
// byte of a character may have the value of "\" and must not split the name.
static bool IsLead(const std::string& s, size_t i) {
  return i + 1 < s.size() && platform::System().IsLeadByte(static_cast<unsigned char>(s[i]));
}

static bool IsOneOf(char c, const char* delimiters) { return c != '\0' && std::strchr(delimiters, c) != nullptr; }

static bool IsDelimiterAt(const std::string& path, size_t index, const char* delimiters) {
  for (size_t i = 0; i < path.size(); i += IsLead(path, i) ? 2 : 1)
    if (i == index) return IsOneOf(path[i], delimiters);
  return false;
}

static size_t FindDelimiter(const std::string& path, size_t from, const char* delimiters, bool last) {
  size_t found = std::string::npos;
  for (size_t i = 0; i < path.size(); i += IsLead(path, i) ? 2 : 1) {
    if (i < from || !IsOneOf(path[i], delimiters)) continue;
    found = i;
    if (!last) break;
  }
  return found;
}

static size_t LastDelimiter(const std::string& path) { return FindDelimiter(path, 0, "\\:", true); }

std::string ExtractFileName(const std::string& path) {
  size_t i = LastDelimiter(path);
  return i == std::string::npos ? path : path.substr(i + 1);
}

std::string ExtractFileDrive(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':' && !IsLead(path, 0)) return path.substr(0, 2);
  if (path.rfind("\\\\", 0) != 0) return "";
  // Server and share: up to the delimiter after the share's name.
  size_t server = FindDelimiter(path, 2, "\\", false);
  if (server == std::string::npos) return path;
  size_t share = FindDelimiter(path, server + 1, "\\", false);
  return share == std::string::npos ? path : path.substr(0, share);
}

std::string ExtractFileDir(const std::string& path) {
  size_t i = LastDelimiter(path);
  if (i == std::string::npos) return "";
  // Keep the delimiter of a root ("C:\", "\\") so the result still names that root.
  if (i > 0 && path[i] == '\\' && !IsDelimiterAt(path, i - 1, "\\:")) return path.substr(0, i);
  return path.substr(0, i + 1);
}

bool EndsWithPathDelimiter(const std::string& path) {
  return !path.empty() && IsDelimiterAt(path, path.size() - 1, "\\");
}

bool HasMultiByteCharacters(const std::string& s) {
  for (unsigned char c : s)
    if (platform::System().IsLeadByte(c)) return true;
  return false;
}

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
    // Hexadecimal texts cover the whole 32-bit pattern; the sign is applied in 64 bits and
    // wraps, so "-$80000000" reads as the smallest integer instead of overflowing.
    long long pattern = static_cast<int>(static_cast<unsigned>(n));
    if (negative) pattern = -pattern;
    value = static_cast<int>(static_cast<unsigned>(pattern));
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
