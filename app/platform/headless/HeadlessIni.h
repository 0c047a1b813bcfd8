// Private-profile text as the system keeps it: sections and keys matched without regard
// to case, values read without surrounding blanks or one pair of quotes, new sections
// and keys appended, lines ended by CR LF.
#pragma once
#include <string>
#include <vector>

namespace platform::headless {

class IniText {
 public:
  explicit IniText(const std::string& text);
  std::string Read(const std::string& section, const std::string& key, const std::string& fallback) const;
  void Write(const std::string& section, const std::string& key, const std::string& value);
  std::string Text() const;

 private:
  struct Key {
    std::string Name, Value;
  };
  struct Section {
    std::string Name;
    std::vector<Key> Keys;
  };
  std::vector<Section> sections_;
};

}  // namespace platform::headless
