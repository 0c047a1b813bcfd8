#include "platform/win32/Win32Audio.h"

#include <windows.h>
#include <dshow.h>

#include <cwchar>
#include <string>
#include <utility>

#include "platform/win32/ComError.h"

namespace platform::win32 {

namespace {

[[noreturn]] void Fail(HRESULT hr) { throw EAudioDeviceError(ComErrorText(hr)); }

void Check(HRESULT hr) {
  if (FAILED(hr)) Fail(hr);
}

// One counted reference, released once when the holder goes.
template <class T>
class Ref {
 public:
  Ref() = default;
  ~Ref() {
    if (p_) p_->Release();
  }
  Ref(Ref&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref& operator=(Ref&&) = delete;
  // For a call that hands out a reference; the holder must be empty.
  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// UTF-16 text as 8-bit text in the system's ANSI code page.
std::string Ansi(const wchar_t* text, size_t length) {
  if (length == 0) return "";
  const int n = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  if (n == 0 || WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &s[0], n, nullptr, nullptr) != n)
    Fail(HRESULT_FROM_WIN32(GetLastError()));
  return s;
}

class Pin final : public IAudioPin {
 public:
  explicit Pin(Ref<IPin> pin) : pin_(std::move(pin)) {}

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
};

}  // namespace

std::unique_ptr<IAudioDevices> MakeAudioDevices() { return std::make_unique<AudioDevices>(); }

}  // namespace platform::win32
