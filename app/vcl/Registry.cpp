#include "vcl/Registry.h"

#include "platform/Platform.h"

namespace vcl {

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  open_ = platform::Registry().KeyExists(key);
  key_ = open_ ? key : std::string();
  return open_;
}

std::string TRegistry::ReadString(const std::string& name) const {
  if (!open_) throw ERegistryException("Failed to get data for '" + name + "'");
  std::string text;
  switch (platform::Registry().ReadString(key_, name, text)) {
    case platform::RegStatus::Ok: return text;
    case platform::RegStatus::KeyMissing: throw ERegistryException("Failed to get data for '" + name + "'");
    case platform::RegStatus::ValueMissing: return "";
    case platform::RegStatus::WrongType: throw ERegistryException("Invalid data type for '" + name + "'");
  }
  return "";
}

}  // namespace vcl
