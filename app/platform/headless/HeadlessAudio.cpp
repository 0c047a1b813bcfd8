#include "platform/headless/HeadlessAudio.h"

#include <stdexcept>

namespace platform::headless {

namespace {

void FailAt(const ScriptedAudio& audio, AudioFailurePoint point, size_t device) {
  if (audio.Failure.At == point && audio.Failure.Device == device) throw std::runtime_error(audio.Failure.Text);
}

class Pin final : public IAudioPin {};

class PropertyBag final : public IAudioPropertyBag {
 public:
  PropertyBag(const ScriptedAudio& audio, size_t device) : audio_(audio), device_(device) {}
  bool ReadFriendlyName(std::string& name) override {
    FailAt(audio_, AudioFailurePoint::FriendlyName, device_);
    const ScriptedAudioDevice& d = audio_.Devices.at(device_);
    if (!d.NameReadable) return false;
    name = d.Name;
    return true;
  }

 private:
  const ScriptedAudio& audio_;
  size_t device_;
};

class Moniker final : public IAudioMoniker {
 public:
  Moniker(const ScriptedAudio& audio, size_t device) : audio_(audio), device_(device) {}
  std::unique_ptr<IAudioPropertyBag> BindPropertyBag() override {
    FailAt(audio_, AudioFailurePoint::PropertyBag, device_);
    if (!audio_.Devices.at(device_).PropertyBagBinds) return nullptr;
    return std::make_unique<PropertyBag>(audio_, device_);
  }
  std::optional<std::vector<AudioPinInfo>> CapturePins() override {
    const ScriptedAudioDevice& d = audio_.Devices.at(device_);
    if (!d.FilterBinds) return std::nullopt;
    std::vector<AudioPinInfo> pins;
    for (const ScriptedPin& p : d.Pins) pins.push_back(AudioPinInfo{p.Name, p.Input, std::make_shared<Pin>()});
    return pins;
  }

 private:
  const ScriptedAudio& audio_;
  size_t device_;
};

class MonikerEnum final : public IAudioMonikerEnum {
 public:
  explicit MonikerEnum(const ScriptedAudio& audio) : audio_(audio) {}
  std::shared_ptr<IAudioMoniker> Next() override {
    FailAt(audio_, AudioFailurePoint::Next, next_);
    if (next_ >= audio_.Devices.size()) return nullptr;
    return std::make_shared<Moniker>(audio_, next_++);
  }

 private:
  const ScriptedAudio& audio_;
  size_t next_ = 0;
};

class DeviceEnumerator final : public IAudioDeviceEnumerator {
 public:
  explicit DeviceEnumerator(const ScriptedAudio& audio) : audio_(audio) {}
  CategoryResult AudioInputCategory(std::unique_ptr<IAudioMonikerEnum>& devices) override {
    FailAt(audio_, AudioFailurePoint::Category, 0);
    if (audio_.CategoryFails) return CategoryResult::Failed;
    if (audio_.Devices.empty()) return CategoryResult::Empty;
    devices = std::make_unique<MonikerEnum>(audio_);
    return CategoryResult::Listed;
  }

 private:
  const ScriptedAudio& audio_;
};

class AudioDevices final : public IAudioDevices {
 public:
  explicit AudioDevices(const ScriptedAudio& audio) : audio_(audio) {}
  std::unique_ptr<IAudioDeviceEnumerator> CreateDeviceEnumerator() override {
    if (audio_.EnumeratorMissing) return nullptr;
    return std::make_unique<DeviceEnumerator>(audio_);
  }

 private:
  const ScriptedAudio& audio_;
};

}  // namespace

std::unique_ptr<IAudioDevices> MakeAudioDevices(const ScriptedAudio& audio) {
  return std::make_unique<AudioDevices>(audio);
}

}  // namespace platform::headless
