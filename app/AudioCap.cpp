#include "AudioCap.h"

#include "vcl/SysUtils.h"

std::unique_ptr<CAudioCapture> AudioCapture;
int EnumStep = 0;

bool CAudioCapture::EnumDevices() {
  EnumStep = 0;
  DeviceCount = 0;
  try {
    std::unique_ptr<platform::IAudioDeviceEnumerator> enumerator = platform::Audio().CreateDeviceEnumerator();
    if (!enumerator) return false;
    EnumStep = 1;
    std::unique_ptr<platform::IAudioMonikerEnum> devices;
    const platform::CategoryResult category = enumerator->AudioInputCategory(devices);
    if (category == platform::CategoryResult::Failed) return false;
    EnumStep = 2;
    if (category == platform::CategoryResult::Empty) return false;
    while (std::shared_ptr<platform::IAudioMoniker> moniker = devices->Next()) {
      EnumStep = 3;
      std::unique_ptr<platform::IAudioPropertyBag> bag = moniker->BindPropertyBag();
      EnumStep = 4;
      // A device whose name cannot be read is still listed, with an empty name.
      std::string name;
      if (bag && !bag->ReadFriendlyName(name)) name.clear();
      EnumStep = 5;
      ++DeviceCount;
      Devices.resize(DeviceCount);
      EnumStep = 6;
      Devices[DeviceCount - 1u] = TAudioDeviceInfo{name, moniker};
    }
  } catch (const std::exception& e) {
    throw vcl::Exception(std::string(e.what()) + "#" + std::to_string(EnumStep));
  }
  return DeviceCount > 0;
}

bool CAudioCapture::EnumLines(int device) {
  LineCount = 0;
  if (device < 0 || device >= DeviceCount) return false;
  const std::optional<std::vector<platform::AudioPinInfo>> pins =
      Devices[static_cast<size_t>(device)].Moniker->CapturePins();
  if (!pins) return false;
  for (const platform::AudioPinInfo& pin : *pins) {
    if (!pin.Input) continue;
    ++LineCount;
    Lines.resize(LineCount);
    Lines[LineCount - 1u] = TAudioLineInfo{pin.Name, pin.Pin};
  }
  return LineCount > 0;
}
