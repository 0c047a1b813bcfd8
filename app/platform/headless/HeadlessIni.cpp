#include "platform/headless/HeadlessIni.h"

#include <sstream>

#include "vcl/SysUtils.h"

namespace platform::headless {

IniText::IniText(const std::string& text) {
  std::stringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::string t = vcl::Trim(line);
    if (t.empty() || t[0] == ';') continue;
    if (t[0] == '[') {
      size_t close = t.find(']');
      sections_.push_back(Section{vcl::Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1)), {}});
      continue;
    }
    if (sections_.empty()) sections_.push_back(Section{"", {}});
    size_t eq = t.find('=');
    sections_.back().Keys.push_back(eq == std::string::npos ? Key{t, ""}
                                                            : Key{vcl::Trim(t.substr(0, eq)), vcl::Trim(t.substr(eq + 1))});
  }
}

std::string IniText::Read(const std::string& section, const std::string& key, const std::string& fallback) const {
  for (const Section& s : sections_) {
    if (!vcl::SameText(s.Name, section)) continue;
    for (const Key& k : s.Keys) {
      if (!vcl::SameText(k.Name, key)) continue;
      const std::string& v = k.Value;
      if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) return v.substr(1, v.size() - 2);
      return v;
    }
  }
  return fallback;
}

void IniText::Write(const std::string& section, const std::string& key, const std::string& value) {
  for (Section& s : sections_) {
    if (!vcl::SameText(s.Name, section)) continue;
    for (Key& k : s.Keys)
      if (vcl::SameText(k.Name, key)) {
        k.Value = value;
        return;
      }
    s.Keys.push_back(Key{key, value});
    return;
  }
  sections_.push_back(Section{section, {Key{key, value}}});
}

std::string IniText::Text() const {
  std::string out;
  for (const Section& s : sections_) {
    if (!s.Name.empty()) out += "[" + s.Name + "]\r\n";
    for (const Key& k : s.Keys) out += k.Name + "=" + k.Value + "\r\n";
  }
  return out;
}

}  // namespace platform::headless
