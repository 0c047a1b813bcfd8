// String, path and number helpers of the class library, with the semantics the program
// relies on (ANSI text, Windows paths, "." as the only decimal separator).
#pragma once
#include <stdexcept>
#include <string>

namespace vcl {

// Base of every failure the program reports by its text.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A text that does not convert to the requested number.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

std::string Trim(const std::string& s);
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
bool SameText(const std::string& a, const std::string& b);

// Windows path parts: the delimiters are "\" and the drive's ":", found character by
// character in the system's ANSI code page.
std::string ExtractFileName(const std::string& path);
// "C:" of "C:\x", "\\server\share" of a network path, empty when the path names no drive.
std::string ExtractFileDrive(const std::string& path);
std::string ExtractFileDir(const std::string& path);
bool EndsWithPathDelimiter(const std::string& path);
// Whether the text holds a double-byte character of the system's ANSI code page.
bool HasMultiByteCharacters(const std::string& s);

// Integer conversion as the class library does it: optional blanks before, optional
// sign, decimal or "$"/"0x" hexadecimal digits, nothing after, 32-bit range.
bool TryStrToInt(const std::string& s, int& value);
int StrToInt(const std::string& s);  // throws EConvertError
int StrToIntDef(const std::string& s, int fallback);

// printf-style formatting into a std::string.
std::string Format(const char* pattern, ...);

}  // namespace vcl
