// The system's audio input devices, one step at a time as the system's device enumerator
// hands them out: the enumerator, the audio input category, each device's moniker, its
// property bag and friendly name, and the pins of the capture filter the moniker binds to.
// The win32 backend answers through DirectShow; the headless backend from a scripted set.
// Any step may also fail by raising a failure whose message is the system's text.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// One pin of a device's capture filter, kept for switching its line later.
class IAudioPin {
 public:
  virtual ~IAudioPin() = default;
};

struct AudioPinInfo {
  std::string Name;  // from the pin's fixed 128-character name, as 8-bit text
  bool Input = false;
  std::shared_ptr<IAudioPin> Pin;
};

class IAudioPropertyBag {
 public:
  virtual ~IAudioPropertyBag() = default;
  // The "FriendlyName" property; false when it cannot be read.
  virtual bool ReadFriendlyName(std::string& name) = 0;
};

// A device's moniker: kept in the device list, bound again whenever its filter is needed.
class IAudioMoniker {
 public:
  virtual ~IAudioMoniker() = default;
  virtual std::unique_ptr<IAudioPropertyBag> BindPropertyBag() = 0;  // nullptr when it cannot be bound
  // The pins of the device's capture filter in enumeration order; nullopt when the filter
  // cannot be bound or its pins cannot be enumerated.
  virtual std::optional<std::vector<AudioPinInfo>> CapturePins() = 0;
};

class IAudioMonikerEnum {
 public:
  virtual ~IAudioMonikerEnum() = default;
  virtual std::shared_ptr<IAudioMoniker> Next() = 0;  // nullptr when there is no further device
};

enum class CategoryResult { Failed, Empty, Listed };

class IAudioDeviceEnumerator {
 public:
  virtual ~IAudioDeviceEnumerator() = default;
  // The audio input device category's class enumerator (set into devices when Listed).
  virtual CategoryResult AudioInputCategory(std::unique_ptr<IAudioMonikerEnum>& devices) = 0;
};

class IAudioDevices {
 public:
  virtual ~IAudioDevices() = default;
  // The system device enumerator; nullptr when it cannot be created.
  virtual std::unique_ptr<IAudioDeviceEnumerator> CreateDeviceEnumerator() = 0;
};

}  // namespace platform
