// INI file access through the system's private-profile functions.
#pragma once
#include <string>

#include "vcl/SysUtils.h"

namespace vcl {

class EIniFileException : public Exception {
 public:
  using Exception::Exception;
};

class TIniFile {
 public:
  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
  const std::string& FileName() const { return fileName_; }
  std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
  int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
  bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
  // Writes fail with EIniFileException "Unable to write to <file>".
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

 private:
  std::string fileName_;
};

}  // namespace vcl
