// The capture pin's stream format through the platform services. Wine's capture filter
// offers no pins, so a pin of the test's own stands where a sound card's capture pin
// would: it hands out a media type as DirectShow does and keeps the one it is given.
#include <gtest/gtest.h>

#include <windows.h>
#include <dshow.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/win32/Win32CaptureGraph.h"

namespace {

using platform::win32::Ref;

// A capture pin: an output pin with a stream format, and nothing else.
class CapturePin final : public IPin, public IAMStreamConfig {
 public:
  explicit CapturePin(const WAVEFORMATEX& format, const GUID& formatType = FORMAT_WaveFormatEx)
      : format_(format), formatType_(formatType) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPin)) *out = static_cast<IPin*>(this);
    else if (IsEqualIID(iid, IID_IAMStreamConfig) && withConfig) *out = static_cast<IAMStreamConfig*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }  // lives on the test's stack

  STDMETHODIMP Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP Disconnect() override { return E_NOTIMPL; }
  STDMETHODIMP ConnectedTo(IPin**) override { return VFW_E_NOT_CONNECTED; }
  STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE*) override { return VFW_E_NOT_CONNECTED; }
  STDMETHODIMP QueryPinInfo(PIN_INFO*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override {
    *direction = PINDIR_OUTPUT;
    return S_OK;
  }
  STDMETHODIMP QueryId(LPWSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP EnumMediaTypes(IEnumMediaTypes**) override { return E_NOTIMPL; }
  STDMETHODIMP QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
  STDMETHODIMP EndOfStream() override { return E_NOTIMPL; }
  STDMETHODIMP BeginFlush() override { return E_NOTIMPL; }
  STDMETHODIMP EndFlush() override { return E_NOTIMPL; }
  STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return E_NOTIMPL; }

  // Handed out as DirectShow hands it out: the caller frees the type and its format block.
  STDMETHODIMP GetFormat(AM_MEDIA_TYPE** type) override {
    auto* t = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    ZeroMemory(t, sizeof *t);
    t->majortype = MEDIATYPE_Audio;
    t->subtype = MEDIASUBTYPE_PCM;
    t->formattype = formatType_;
    t->cbFormat = sizeof(WAVEFORMATEX);
    t->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
    CopyMemory(t->pbFormat, &format_, sizeof(WAVEFORMATEX));
    handedOut.push_back(t);
    *type = t;
    return S_OK;
  }
  STDMETHODIMP SetFormat(AM_MEDIA_TYPE* type) override {
    given.push_back(type);
    if (refuse) return VFW_E_INVALIDMEDIATYPE;
    format_ = *reinterpret_cast<WAVEFORMATEX*>(type->pbFormat);
    return S_OK;
  }
  STDMETHODIMP GetNumberOfCapabilities(int*, int*) override { return E_NOTIMPL; }
  STDMETHODIMP GetStreamCaps(int, AM_MEDIA_TYPE**, BYTE*) override { return E_NOTIMPL; }

  WAVEFORMATEX format_;
  GUID formatType_;
  bool withConfig = true, refuse = false;
  long refs = 1;
  std::vector<AM_MEDIA_TYPE*> handedOut, given;
};

// A filter whose one pin is that capture pin.
class CaptureFilter final : public IBaseFilter, public IEnumPins {
 public:
  explicit CaptureFilter(IPin* pin) : pin_(pin) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IBaseFilter)) *out = static_cast<IBaseFilter*>(this);
    else if (IsEqualIID(iid, IID_IEnumPins)) *out = static_cast<IEnumPins*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
  STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
  STDMETHODIMP Stop() override { return E_NOTIMPL; }
  STDMETHODIMP Pause() override { return E_NOTIMPL; }
  STDMETHODIMP Run(REFERENCE_TIME) override { return E_NOTIMPL; }
  STDMETHODIMP GetState(DWORD, FILTER_STATE*) override { return E_NOTIMPL; }
  STDMETHODIMP SetSyncSource(IReferenceClock*) override { return E_NOTIMPL; }
  STDMETHODIMP GetSyncSource(IReferenceClock**) override { return E_NOTIMPL; }
  STDMETHODIMP EnumPins(IEnumPins** pins) override {
    next_ = 0;
    AddRef();
    *pins = this;
    return S_OK;
  }
  STDMETHODIMP FindPin(LPCWSTR, IPin**) override { return E_NOTIMPL; }
  STDMETHODIMP QueryFilterInfo(FILTER_INFO*) override { return E_NOTIMPL; }
  STDMETHODIMP JoinFilterGraph(IFilterGraph*, LPCWSTR) override { return E_NOTIMPL; }
  STDMETHODIMP QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP Next(ULONG, IPin** pins, ULONG* got) override {
    if (got) *got = 0;
    if (next_++ > 0) return S_FALSE;
    pin_->AddRef();
    pins[0] = pin_;
    if (got) *got = 1;
    return S_OK;
  }
  STDMETHODIMP Skip(ULONG) override { return E_NOTIMPL; }
  STDMETHODIMP Reset() override { return E_NOTIMPL; }
  STDMETHODIMP Clone(IEnumPins**) override { return E_NOTIMPL; }

  long refs = 1;

 private:
  IPin* pin_;
  int next_ = 0;
};

const WAVEFORMATEX Mono22k = {WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};

std::shared_ptr<platform::IStreamConfig> ConfigOf(CaptureFilter& filter, bool& output) {
  std::shared_ptr<platform::IGraphFilter> wrapped = platform::win32::MakeGraphFilter(Ref<IBaseFilter>::Share(&filter));
  std::optional<std::vector<std::shared_ptr<platform::IGraphPin>>> pins = wrapped->Pins();
  if (!pins || pins->size() != 1) return nullptr;
  output = (*pins)[0]->IsOutput();
  return (*pins)[0]->StreamConfig();
}

TEST(StreamFormat, CaptureFormatIsWrittenIntoTheMediaTypeThePinGaveAndEveryReferenceIsLetGo) {
  CapturePin pin(Mono22k);
  CaptureFilter filter(&pin);
  {
    bool output = false;
    std::shared_ptr<platform::IStreamConfig> config = ConfigOf(filter, output);
    ASSERT_NE(config, nullptr);
    EXPECT_TRUE(output);
    std::optional<platform::WaveFormat> format = config->GetFormat();
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(format->Channels, 1);
    EXPECT_EQ(format->SamplesPerSec, 22050u);
    EXPECT_EQ(format->AvgBytesPerSec, 44100u);
    EXPECT_EQ(format->BlockAlign, 2);
    EXPECT_EQ(format->BitsPerSample, 16);

    format->Channels = 2;
    format->SamplesPerSec = 44100;
    format->AvgBytesPerSec = 176400;
    format->BlockAlign = 4;
    format->BitsPerSample = 16;
    EXPECT_TRUE(config->SetFormat(*format));
    ASSERT_EQ(pin.given.size(), 1u);
    EXPECT_EQ(pin.given[0], pin.handedOut[0]) << "not the media type the pin gave";
    EXPECT_EQ(pin.format_.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(pin.format_.nChannels, 2);
    EXPECT_EQ(pin.format_.nSamplesPerSec, 44100u);
    EXPECT_EQ(pin.format_.nAvgBytesPerSec, 176400u);
    EXPECT_EQ(pin.format_.nBlockAlign, 4);
    EXPECT_EQ(pin.format_.wBitsPerSample, 16);

    pin.refuse = true;
    EXPECT_FALSE(config->SetFormat(*format));
  }
  EXPECT_EQ(pin.refs, 1);
  EXPECT_EQ(filter.refs, 1);
}

TEST(StreamFormat, PinsWithoutAWaveFormatOrWithoutAStreamFormatAreAnsweredAsSuch) {
  CapturePin video(Mono22k, FORMAT_VideoInfo);
  CaptureFilter videoFilter(&video);
  bool output = false;
  std::shared_ptr<platform::IStreamConfig> config = ConfigOf(videoFilter, output);
  ASSERT_NE(config, nullptr);
  EXPECT_FALSE(config->GetFormat().has_value()) << "a format block that is no wave format was read as one";
  platform::WaveFormat none;
  EXPECT_FALSE(config->SetFormat(none));
  EXPECT_TRUE(video.given.empty());

  CapturePin bare(Mono22k);
  bare.withConfig = false;
  CaptureFilter bareFilter(&bare);
  EXPECT_EQ(ConfigOf(bareFilter, output), nullptr);
}

}  // namespace
