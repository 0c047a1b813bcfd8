#include "platform/win32/Win32CaptureGraph.h"

#include <windows.h>
#include <dshow.h>

#include <utility>
#include <vector>

#include "platform/win32/WideText.h"

namespace platform::win32 {

namespace {

// {A818A3CB-0617-487F-B368-3FA0CDEECF8B}
const CLSID PipeFilterClass = {0xA818A3CB, 0x0617, 0x487F, {0xB3, 0x68, 0x3F, 0xA0, 0xCD, 0xEE, 0xCF, 0x8B}};

// A media type handed out by the system, freed as the system frees it.
void FreeMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return;
  if (type->cbFormat != 0) CoTaskMemFree(type->pbFormat);
  if (type->pUnk) type->pUnk->Release();
  CoTaskMemFree(type);
}

// The wave format inside a media type; nullptr when the type carries none.
WAVEFORMATEX* WaveFormatOf(AM_MEDIA_TYPE* type) {
  if (!type || type->formattype != FORMAT_WaveFormatEx || !type->pbFormat || type->cbFormat < sizeof(PCMWAVEFORMAT))
    return nullptr;
  return reinterpret_cast<WAVEFORMATEX*>(type->pbFormat);
}

class StreamConfig final : public IStreamConfig {
 public:
  explicit StreamConfig(Ref<IAMStreamConfig> config) : config_(std::move(config)) {}
  std::optional<WaveFormat> GetFormat() override {
    AM_MEDIA_TYPE* type = nullptr;
    if (FAILED(config_->GetFormat(&type)) || !type) return std::nullopt;
    std::shared_ptr<void> native(type, [](void* t) { FreeMediaType(static_cast<AM_MEDIA_TYPE*>(t)); });
    const WAVEFORMATEX* wave = WaveFormatOf(type);
    if (!wave) return std::nullopt;
    WaveFormat format;
    format.Channels = wave->nChannels;
    format.SamplesPerSec = wave->nSamplesPerSec;
    format.AvgBytesPerSec = wave->nAvgBytesPerSec;
    format.BlockAlign = wave->nBlockAlign;
    format.BitsPerSample = wave->wBitsPerSample;
    format.Native = std::move(native);
    return format;
  }
  // The fields go into the media type GetFormat gave; everything else in it stays.
  bool SetFormat(const WaveFormat& format) override {
    auto* type = static_cast<AM_MEDIA_TYPE*>(format.Native.get());
    WAVEFORMATEX* wave = WaveFormatOf(type);
    if (!wave) return false;
    wave->nChannels = format.Channels;
    wave->nSamplesPerSec = format.SamplesPerSec;
    wave->nAvgBytesPerSec = format.AvgBytesPerSec;
    wave->nBlockAlign = format.BlockAlign;
    wave->wBitsPerSample = format.BitsPerSample;
    return SUCCEEDED(config_->SetFormat(type));
  }

 private:
  Ref<IAMStreamConfig> config_;
};

class GraphPin final : public IGraphPin {
 public:
  explicit GraphPin(Ref<IPin> pin) : pin_(std::move(pin)) {}
  bool IsOutput() override {
    PIN_DIRECTION direction = PINDIR_INPUT;
    return SUCCEEDED(pin_->QueryDirection(&direction)) && direction == PINDIR_OUTPUT;
  }
  std::shared_ptr<IStreamConfig> StreamConfig() override {
    Ref<IAMStreamConfig> config;
    if (FAILED(pin_->QueryInterface(IID_IAMStreamConfig, config.OutVoid())) || !config) return nullptr;
    return std::make_shared<class StreamConfig>(std::move(config));
  }
  IPin* Get() const { return pin_.Get(); }

 private:
  Ref<IPin> pin_;
};

class GraphFilter final : public IGraphFilter {
 public:
  explicit GraphFilter(Ref<IBaseFilter> filter) : filter_(std::move(filter)) {}
  std::optional<std::vector<std::shared_ptr<IGraphPin>>> Pins() override {
    Ref<IEnumPins> pins;
    if (FAILED(filter_->EnumPins(pins.Out())) || !pins) return std::nullopt;
    std::vector<std::shared_ptr<IGraphPin>> list;
    for (;;) {
      Ref<IPin> pin;
      if (pins->Next(1, pin.Out(), nullptr) != S_OK || !pin) break;
      list.push_back(std::make_shared<GraphPin>(std::move(pin)));
    }
    return list;
  }
  IBaseFilter* Get() const { return filter_.Get(); }

 private:
  Ref<IBaseFilter> filter_;
};

class MediaControl final : public IMediaControl {
 public:
  explicit MediaControl(Ref<::IMediaControl> control) : control_(std::move(control)) {}
  bool Run() override { return SUCCEEDED(control_->Run()); }
  bool Pause() override { return SUCCEEDED(control_->Pause()); }
  bool StopWhenReady() override { return SUCCEEDED(control_->StopWhenReady()); }
  // A change still under way answers VFW_S_STATE_INTERMEDIATE, which is a success.
  bool GetState(unsigned timeoutMs) override {
    OAFilterState state = State_Stopped;
    return SUCCEEDED(control_->GetState(static_cast<LONG>(timeoutMs), &state));
  }

 private:
  Ref<::IMediaControl> control_;
};

IBaseFilter* FilterOf(const std::shared_ptr<IGraphFilter>& filter) {
  auto* ours = dynamic_cast<GraphFilter*>(filter.get());
  return ours ? ours->Get() : nullptr;
}

class FilterGraph final : public IFilterGraph {
 public:
  explicit FilterGraph(Ref<IGraphBuilder> graph) : graph_(std::move(graph)) {}
  bool AddFilter(const std::shared_ptr<IGraphFilter>& filter, const std::string& name) override {
    IBaseFilter* f = FilterOf(filter);
    return f && SUCCEEDED(graph_->AddFilter(f, Wide(name).c_str()));
  }
  void RemoveFilter(const std::shared_ptr<IGraphFilter>& filter) override {
    if (IBaseFilter* f = FilterOf(filter)) graph_->RemoveFilter(f);
  }
  bool Render(const std::shared_ptr<IGraphPin>& pin) override {
    auto* ours = dynamic_cast<GraphPin*>(pin.get());
    return ours && SUCCEEDED(graph_->Render(ours->Get()));
  }
  std::shared_ptr<IMediaControl> MediaControl() override {
    Ref<::IMediaControl> control;
    if (FAILED(graph_->QueryInterface(IID_IMediaControl, control.OutVoid())) || !control) return nullptr;
    return std::make_shared<class MediaControl>(std::move(control));
  }
  IGraphBuilder* Get() const { return graph_.Get(); }

 private:
  Ref<IGraphBuilder> graph_;
};

class CaptureGraphBuilder final : public ICaptureGraphBuilder {
 public:
  explicit CaptureGraphBuilder(Ref<ICaptureGraphBuilder2> builder) : builder_(std::move(builder)) {}
  bool SetFiltergraph(const std::shared_ptr<IFilterGraph>& graph) override {
    auto* ours = dynamic_cast<FilterGraph*>(graph.get());
    return ours && SUCCEEDED(builder_->SetFiltergraph(ours->Get()));
  }

 private:
  Ref<ICaptureGraphBuilder2> builder_;
};

template <class T>
Ref<T> Create(const CLSID& clsid, DWORD context, const IID& iid) {
  Ref<T> object;
  if (FAILED(CoCreateInstance(clsid, nullptr, context, iid, object.OutVoid()))) return Ref<T>();
  return object;
}

}  // namespace

std::shared_ptr<IGraphFilter> MakeGraphFilter(Ref<IBaseFilter> filter) {
  return std::make_shared<GraphFilter>(std::move(filter));
}

std::shared_ptr<IFilterGraph> CreateFilterGraph() {
  Ref<IGraphBuilder> graph = Create<IGraphBuilder>(CLSID_FilterGraph, CLSCTX_INPROC_SERVER, IID_IGraphBuilder);
  return graph ? std::make_shared<FilterGraph>(std::move(graph)) : nullptr;
}

std::shared_ptr<ICaptureGraphBuilder> CreateCaptureGraphBuilder() {
  Ref<ICaptureGraphBuilder2> builder =
      Create<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder2, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2);
  return builder ? std::make_shared<CaptureGraphBuilder>(std::move(builder)) : nullptr;
}

std::shared_ptr<IGraphFilter> CreatePipeFilter() {
  Ref<IBaseFilter> filter =
      Create<IBaseFilter>(PipeFilterClass, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IBaseFilter);
  return filter ? MakeGraphFilter(std::move(filter)) : nullptr;
}

}  // namespace platform::win32
