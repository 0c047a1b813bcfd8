// The audio input devices as Wine's DirectShow lists them, through the platform services,
// checked against the same enumeration made directly. CTest runs it twice: with the
// machine's own sound set-up (none here: an empty category) and with a null sound card
// (one device whose capture filter binds).
#include <gtest/gtest.h>

#include <windows.h>
#include <dshow.h>

#include <cwchar>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Win32Audio.h"

namespace {

// What one device offers, as read directly from DirectShow.
struct DirectDevice {
  std::string Name;
  bool HasName = false;
  bool FilterBinds = false;
  std::vector<std::pair<std::string, bool>> Pins;  // name, input
};

std::string Ansi(const wchar_t* text) {
  char buffer[512] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

template <class T>
void Release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

std::optional<std::vector<DirectDevice>> ListDirectly() {
  ICreateDevEnum* devEnum = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                              reinterpret_cast<void**>(&devEnum))))
    return std::nullopt;
  std::vector<DirectDevice> devices;
  IEnumMoniker* monikers = nullptr;
  if (devEnum->CreateClassEnumerator(CLSID_AudioInputDeviceCategory, &monikers, 0) == S_OK) {
    IMoniker* moniker = nullptr;
    while (monikers->Next(1, &moniker, nullptr) == S_OK) {
      DirectDevice d;
      IPropertyBag* bag = nullptr;
      if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(&bag)))) {
        VARIANT v;
        VariantInit(&v);
        if (SUCCEEDED(bag->Read(L"FriendlyName", &v, nullptr)) && v.vt == VT_BSTR) {
          d.Name = Ansi(v.bstrVal);
          d.HasName = true;
        }
        VariantClear(&v);
        Release(bag);
      }
      IBaseFilter* filter = nullptr;
      if (SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&filter)))) {
        d.FilterBinds = true;
        IEnumPins* pins = nullptr;
        if (SUCCEEDED(filter->EnumPins(&pins))) {
          IPin* pin = nullptr;
          while (pins->Next(1, &pin, nullptr) == S_OK) {
            PIN_INFO info{};
            if (SUCCEEDED(pin->QueryPinInfo(&info))) {
              d.Pins.emplace_back(Ansi(info.achName), info.dir == PINDIR_INPUT);
              Release(info.pFilter);
            }
            Release(pin);
          }
          Release(pins);
        }
        Release(filter);
      }
      devices.push_back(d);
      Release(moniker);
    }
    Release(monikers);
  }
  Release(devEnum);
  return devices;
}

class AudioDevices : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(AudioDevices, ListedDevicesAndPinsAreThoseDirectShowOffers) {
  const std::optional<std::vector<DirectDevice>> expected = ListDirectly();
  std::unique_ptr<platform::IAudioDevices> audio = platform::win32::MakeAudioDevices();
  std::unique_ptr<platform::IAudioDeviceEnumerator> devEnum = audio->CreateDeviceEnumerator();
  ASSERT_EQ(devEnum != nullptr, expected.has_value()) << "the system device enumerator answered differently";
  if (!devEnum) return;

  std::unique_ptr<platform::IAudioMonikerEnum> monikers;
  platform::CategoryResult category = platform::CategoryResult::Failed;
  ASSERT_NO_THROW(category = devEnum->AudioInputCategory(monikers));
  ASSERT_EQ(category, expected->empty() ? platform::CategoryResult::Empty : platform::CategoryResult::Listed);
  EXPECT_EQ(category == platform::CategoryResult::Listed, monikers != nullptr);
  std::cout << "audio input devices: " << expected->size() << "\n";
  if (GetEnvironmentVariableA("ALSA_CONFIG_PATH", nullptr, 0) > 0)
    ASSERT_FALSE(expected->empty()) << "the null sound card offers no device";
  if (category == platform::CategoryResult::Empty) return;

  // Pins outlive the enumeration and the monikers, as the device's lines do.
  std::vector<std::shared_ptr<platform::IAudioPin>> kept;
  size_t index = 0;
  try {
    while (std::shared_ptr<platform::IAudioMoniker> moniker = monikers->Next()) {
      ASSERT_LT(index, expected->size()) << "more devices than DirectShow lists";
      const DirectDevice& want = (*expected)[index++];
      std::string name;
      std::unique_ptr<platform::IAudioPropertyBag> bag = moniker->BindPropertyBag();
      const bool named = bag && bag->ReadFriendlyName(name);
      EXPECT_EQ(named, want.HasName);
      EXPECT_EQ(name, want.Name);
      std::cout << "  device \"" << name << "\"\n";

      const std::optional<std::vector<platform::AudioPinInfo>> pins = moniker->CapturePins();
      ASSERT_EQ(pins.has_value(), want.FilterBinds) << "device \"" << name << "\"";
      if (!pins) {
        std::cout << "    its capture filter cannot be bound\n";
        continue;
      }
      std::cout << "    " << pins->size() << " pins\n";
      ASSERT_EQ(pins->size(), want.Pins.size());
      for (size_t i = 0; i < pins->size(); ++i) {
        const platform::AudioPinInfo& pin = (*pins)[i];
        EXPECT_EQ(pin.Name, want.Pins[i].first);
        EXPECT_EQ(pin.Input, want.Pins[i].second) << "pin \"" << pin.Name << "\"";
        EXPECT_NE(pin.Pin, nullptr);
        kept.push_back(pin.Pin);
        std::cout << "    pin \"" << pin.Name << "\" " << (pin.Input ? "input" : "output") << "\n";
      }
    }
  } catch (const std::exception& e) {
    FAIL() << "the enumeration failed: " << e.what();
  }
  EXPECT_EQ(index, expected->size()) << "fewer devices than DirectShow lists";
}

}  // namespace
