// Read-only registry access in the class library's manner: a key is opened, values are
// read as text, a missing value reads as empty, a value of another type is a failure.
#pragma once
#include <string>

#include "vcl/SysUtils.h"

namespace vcl {

class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

class TRegistry {
 public:
  // Opens a key of the current user without creating it.
  bool OpenKeyReadOnly(const std::string& key);
  std::string ReadString(const std::string& name) const;  // throws ERegistryException

 private:
  std::string key_;
  bool open_ = false;
};

}  // namespace vcl
