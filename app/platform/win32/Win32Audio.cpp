#include "platform/win32/Win32Audio.h"

#include <windows.h>
#include <dshow.h>

#include <cwchar>
#include <string>
#include <utility>

#include "platform/win32/ComError.h"
#include "platform/win32/ComRef.h"
#include "platform/win32/Win32CaptureGraph.h"
#include "platform/win32/WideText.h"

namespace platform::win32 {

namespace {

[[noreturn]] void Fail(HRESULT hr) { throw EAudioDeviceError(ComErrorText(hr)); }

void Check(HRESULT hr) {
  if (FAILED(hr)) Fail(hr);
}

// UTF-16 text as 8-bit text in the system's ANSI code page.
std::string Ansi(const wchar_t* text, size_t length) {
  std::string s;
  if (!ToAnsi(text, length, s)) Fail(HRESULT_FROM_WIN32(GetLastError()));
  return s;
}

class Pin final : public IAudioPin {
 public:
  explicit Pin(Ref<IPin> pin) : pin_(std::move(pin)) {}
  bool SetLineEnabled(bool enable) override {
    Ref<IAMAudioInputMixer> mixer;
    if (FAILED(pin_->QueryInterface(IID_IAMAudioInputMixer, mixer.OutVoid())) || !mixer) return false;
    mixer->put_Enable(enable ? TRUE : FALSE);  // a line that refuses is not looked at
    return true;
  }

 private:
  Ref<IPin> pin_;
};

class PropertyBag final : public IAudioPropertyBag {
 public:
  explicit PropertyBag(Ref<IPropertyBag> bag) : bag_(std::move(bag)) {}
  bool ReadFriendlyName(std::string& name) override {
    VARIANT value;
    VariantInit(&value);
    if (FAILED(bag_->Read(L"FriendlyName", &value, nullptr))) return false;
    VARIANT text;
    VariantInit(&text);
    HRESULT hr = VariantChangeType(&text, &value, 0, VT_BSTR);
    VariantClear(&value);
    if (FAILED(hr)) Fail(hr);
    try {
      name = Ansi(text.bstrVal, text.bstrVal ? SysStringLen(text.bstrVal) : 0);
    } catch (...) {
      VariantClear(&text);
      throw;
    }
    VariantClear(&text);
    return true;
  }

 private:
  Ref<IPropertyBag> bag_;
};

class Moniker final : public IAudioMoniker {
 public:
  explicit Moniker(Ref<IMoniker> moniker) : moniker_(std::move(moniker)) {}
  std::unique_ptr<IAudioPropertyBag> BindPropertyBag() override {
    Ref<IPropertyBag> bag;
    if (FAILED(moniker_->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.OutVoid())) || !bag) return nullptr;
    return std::make_unique<PropertyBag>(std::move(bag));
  }
  std::optional<std::vector<AudioPinInfo>> CapturePins() override {
    Ref<IBaseFilter> filter;
    if (FAILED(moniker_->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.OutVoid())) || !filter)
      return std::nullopt;
    Ref<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Out())) || !pins) return std::nullopt;
    std::vector<AudioPinInfo> list;
    for (;;) {
      Ref<IPin> pin;
      if (pins->Next(1, pin.Out(), nullptr) != S_OK || !pin) break;
      PIN_INFO info{};
      Check(pin->QueryPinInfo(&info));
      // The pin names its filter, which is let go of with the enumeration.
      Ref<IBaseFilter> owner;
      *owner.Out() = info.pFilter;
      AudioPinInfo entry;
      entry.Name = Ansi(info.achName, wcsnlen(info.achName, MAX_PIN_NAME));
      entry.Input = info.dir == PINDIR_INPUT;
      entry.Pin = std::make_shared<Pin>(std::move(pin));
      list.push_back(std::move(entry));
    }
    return list;
  }
  std::shared_ptr<IGraphFilter> BindFilter() override {
    Ref<IBaseFilter> filter;
    if (FAILED(moniker_->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.OutVoid())) || !filter)
      return nullptr;
    return MakeGraphFilter(std::move(filter));
  }

 private:
  Ref<IMoniker> moniker_;
};

class MonikerEnum final : public IAudioMonikerEnum {
 public:
  explicit MonikerEnum(Ref<IEnumMoniker> e) : e_(std::move(e)) {}
  std::shared_ptr<IAudioMoniker> Next() override {
    Ref<IMoniker> moniker;
    if (e_->Next(1, moniker.Out(), nullptr) != S_OK || !moniker) return nullptr;
    return std::make_shared<Moniker>(std::move(moniker));
  }

 private:
  Ref<IEnumMoniker> e_;
};

class DeviceEnumerator final : public IAudioDeviceEnumerator {
 public:
  explicit DeviceEnumerator(Ref<ICreateDevEnum> e) : e_(std::move(e)) {}
  CategoryResult AudioInputCategory(std::unique_ptr<IAudioMonikerEnum>& devices) override {
    Ref<IEnumMoniker> e;
    const HRESULT hr = e_->CreateClassEnumerator(CLSID_AudioInputDeviceCategory, e.Out(), 0);
    if (FAILED(hr)) return CategoryResult::Failed;
    // S_FALSE: the category is empty and there is no enumerator.
    if (hr == S_FALSE || !e) return CategoryResult::Empty;
    devices = std::make_unique<MonikerEnum>(std::move(e));
    return CategoryResult::Listed;
  }

 private:
  Ref<ICreateDevEnum> e_;
};

class AudioDevices final : public IAudioDevices {
 public:
  std::unique_ptr<IAudioDeviceEnumerator> CreateDeviceEnumerator() override {
    Ref<ICreateDevEnum> e;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                e.OutVoid())) ||
        !e)
      return nullptr;
    return std::make_unique<DeviceEnumerator>(std::move(e));
  }
  std::shared_ptr<IFilterGraph> CreateFilterGraph() override { return win32::CreateFilterGraph(); }
  std::shared_ptr<ICaptureGraphBuilder> CreateCaptureGraphBuilder() override {
    return win32::CreateCaptureGraphBuilder();
  }
  std::shared_ptr<IGraphFilter> CreatePipeFilter() override { return win32::CreatePipeFilter(); }
};

}  // namespace

std::unique_ptr<IAudioDevices> MakeAudioDevices() { return std::make_unique<AudioDevices>(); }

}  // namespace platform::win32
