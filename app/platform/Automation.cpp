#include "platform/Automation.h"

#include <cmath>

#include "vcl/SysUtils.h"

namespace platform {

AutoValue AutoValue::Integer(std::int32_t value) {
  AutoValue v;
  v.kind_ = Kind::Integer;
  v.integer_ = value;
  return v;
}

AutoValue AutoValue::Float(double value) {
  AutoValue v;
  v.kind_ = Kind::Float;
  v.float_ = value;
  return v;
}

AutoValue AutoValue::String(std::string value) {
  AutoValue v;
  v.kind_ = Kind::String;
  v.text_ = std::move(value);
  return v;
}

AutoValue AutoValue::StringRef(std::string value) {
  AutoValue v = String(std::move(value));
  v.kind_ = Kind::StringRef;
  return v;
}

AutoValue AutoValue::Object(AutomationObject value) {
  AutoValue v;
  v.kind_ = Kind::Object;
  v.object_ = std::move(value);
  return v;
}

AutoValue AutoValue::WithNative(std::shared_ptr<void> native) const {
  AutoValue v = *this;
  v.native_ = std::move(native);
  return v;
}

AutomationObject AutoValue::AsObject() const {
  if (kind_ != Kind::Object || !object_) throw EAutomationError("Variant does not reference an automation object");
  return object_;
}

std::int32_t AutoValue::AsInteger() const {
  switch (kind_) {
    case Kind::Integer: return integer_;
    case Kind::Float:
      if (std::isfinite(float_) && std::fabs(float_) < 2147483647.0) return static_cast<std::int32_t>(std::nearbyint(float_));
      break;
    case Kind::String:
    case Kind::StringRef: return vcl::StrToInt(text_);
    default: break;
  }
  throw EAutomationError("Could not convert variant to type (Integer)");
}

AutoValue Get(const AutomationObject& object, const std::string& member, const std::vector<AutoValue>& args) {
  return object->Invoke(member, InvokeKind::PropertyGet, args);
}

void Put(const AutomationObject& object, const std::string& member, const AutoValue& value,
         const std::vector<AutoValue>& args) {
  std::vector<AutoValue> all = args;
  all.push_back(value);
  object->Invoke(member, InvokeKind::PropertyPut, all);
}

AutoValue Call(const AutomationObject& object, const std::string& member, const std::vector<AutoValue>& args) {
  return object->Invoke(member, InvokeKind::Method, args);
}

}  // namespace platform
