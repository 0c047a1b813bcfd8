#include "vcl/IniFiles.h"

#include "platform/Platform.h"

namespace vcl {

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
  return platform::Files().IniRead(fileName_, section, key, fallback);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
  return StrToIntDef(ReadString(section, key, ""), fallback);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  if (!platform::Files().IniWrite(fileName_, section, key, value))
    throw EIniFileException("Unable to write to " + fileName_);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace vcl
