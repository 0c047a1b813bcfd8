#include "platform/headless/HeadlessAudio.h"

#include <stdexcept>

namespace platform::headless {

namespace {

void FailAt(ScriptedAudio& audio, AudioFailurePoint point, size_t device) {
  if (audio.Failure.At == point && audio.Failure.Device == device) throw std::runtime_error(audio.Failure.Text);
}

void Log(ScriptedAudio& audio, const std::string& entry) {
  std::lock_guard<std::mutex> g(*audio.LogLock);
  audio.GraphLog.push_back(entry);
}

class Pin final : public IAudioPin {
 public:
  Pin(ScriptedAudio& audio, size_t device, size_t index) : audio_(audio), device_(device), index_(index) {}
  bool SetLineEnabled(bool enable) override {
    if (!audio_.Devices.at(device_).Pins.at(index_).HasMixer) return false;
    Log(audio_, "line " + std::to_string(index_) + (enable ? " on" : " off"));
    return true;
  }

 private:
  ScriptedAudio& audio_;
  size_t device_, index_;
};

class StreamConfig final : public IStreamConfig {
 public:
  StreamConfig(ScriptedAudio& audio, const ScriptedAudioDevice& device) : audio_(audio), device_(device) {}
  std::optional<WaveFormat> GetFormat() override {
    if (!device_.FormatReadable) return std::nullopt;
    WaveFormat f{1, 22050, 44100, 2, 16, std::make_shared<int>(1)};  // the tag and the rest stay with it
    return f;
  }
  bool SetFormat(const WaveFormat& f) override {
    if (!device_.AcceptsFormat) return false;
    Log(audio_, "format " + std::to_string(f.Channels) + " " + std::to_string(f.SamplesPerSec) + " " +
                    std::to_string(f.AvgBytesPerSec) + " " + std::to_string(f.BlockAlign) + " " +
                    std::to_string(f.BitsPerSample) + (f.Native ? " kept" : " lost"));
    return true;
  }

 private:
  ScriptedAudio& audio_;
  const ScriptedAudioDevice& device_;
};

class GraphPin final : public IGraphPin {
 public:
  GraphPin(ScriptedAudio& audio, const ScriptedAudioDevice& device, bool output)
      : audio_(audio), device_(device), output_(output) {}
  bool IsOutput() override { return output_; }
  std::shared_ptr<IStreamConfig> StreamConfig() override {
    if (!device_.StreamConfig) return nullptr;
    return std::make_shared<class StreamConfig>(audio_, device_);
  }

 private:
  ScriptedAudio& audio_;
  const ScriptedAudioDevice& device_;
  bool output_;
};

class GraphFilter final : public IGraphFilter {
 public:
  GraphFilter(ScriptedAudio& audio, const ScriptedAudioDevice* device, std::string name)
      : audio_(audio), device_(device), Name(std::move(name)) {}
  std::optional<std::vector<std::shared_ptr<IGraphPin>>> Pins() override {
    if (audio_.FailingStep == GraphFailure::EnumPins) return std::nullopt;
    std::vector<std::shared_ptr<IGraphPin>> pins;
    if (device_)
      for (const ScriptedPin& p : device_->Pins) pins.push_back(std::make_shared<GraphPin>(audio_, *device_, !p.Input));
    return pins;
  }
  ~GraphFilter() override { Log(audio_, "release " + Name); }

 private:
  ScriptedAudio& audio_;
  const ScriptedAudioDevice* device_;

 public:
  const std::string Name;
};

class MediaControl final : public IMediaControl {
 public:
  explicit MediaControl(ScriptedAudio& audio) : audio_(audio) {}
  bool Run() override { return Step("run", audio_.RunFails); }
  bool Pause() override { return Step("pause", audio_.PauseFails); }
  bool StopWhenReady() override { return Step("stop when ready", audio_.StopFails); }
  bool GetState(unsigned timeoutMs) override { return Step("state " + std::to_string(timeoutMs), audio_.StateFails); }
  ~MediaControl() override { Log(audio_, "release media control"); }

 private:
  bool Step(const std::string& what, bool fails) {
    Log(audio_, what);
    return !fails;
  }
  ScriptedAudio& audio_;
};

class FilterGraph final : public IFilterGraph {
 public:
  explicit FilterGraph(ScriptedAudio& audio) : audio_(audio) {}
  ~FilterGraph() override { Log(audio_, "release graph"); }
  bool AddFilter(const std::shared_ptr<IGraphFilter>& filter, const std::string& name) override {
    const bool capture = name == "Audio Capture";
    if (audio_.FailingStep == (capture ? GraphFailure::AddCapture : GraphFailure::AddPipe)) return false;
    Log(audio_, "add " + name);
    filters_.push_back(filter);
    return true;
  }
  void RemoveFilter(const std::shared_ptr<IGraphFilter>& filter) override {
    Log(audio_, "remove " + static_cast<GraphFilter&>(*filter).Name);
  }
  bool Render(const std::shared_ptr<IGraphPin>&) override {
    if (audio_.FailingStep == GraphFailure::Render) return false;
    Log(audio_, "render");
    return true;
  }
  std::shared_ptr<IMediaControl> MediaControl() override {
    if (audio_.FailingStep == GraphFailure::MediaControl) return nullptr;
    return std::make_shared<class MediaControl>(audio_);
  }

 private:
  ScriptedAudio& audio_;
  std::vector<std::shared_ptr<IGraphFilter>> filters_;
};

class CaptureGraphBuilder final : public ICaptureGraphBuilder {
 public:
  explicit CaptureGraphBuilder(ScriptedAudio& audio) : audio_(audio) {}
  bool SetFiltergraph(const std::shared_ptr<IFilterGraph>&) override {
    return audio_.FailingStep != GraphFailure::SetFiltergraph;
  }

 private:
  ScriptedAudio& audio_;
};

class PropertyBag final : public IAudioPropertyBag {
 public:
  PropertyBag(ScriptedAudio& audio, size_t device) : audio_(audio), device_(device) {}
  bool ReadFriendlyName(std::string& name) override {
    FailAt(audio_, AudioFailurePoint::FriendlyName, device_);
    const ScriptedAudioDevice& d = audio_.Devices.at(device_);
    if (!d.NameReadable) return false;
    name = d.Name;
    return true;
  }

 private:
  ScriptedAudio& audio_;
  size_t device_;
};

class Moniker final : public IAudioMoniker {
 public:
  Moniker(ScriptedAudio& audio, size_t device) : audio_(audio), device_(device) {}
  std::unique_ptr<IAudioPropertyBag> BindPropertyBag() override {
    FailAt(audio_, AudioFailurePoint::PropertyBag, device_);
    if (!audio_.Devices.at(device_).PropertyBagBinds) return nullptr;
    return std::make_unique<PropertyBag>(audio_, device_);
  }
  std::optional<std::vector<AudioPinInfo>> CapturePins() override {
    const ScriptedAudioDevice& d = audio_.Devices.at(device_);
    if (!d.FilterBinds) return std::nullopt;
    std::vector<AudioPinInfo> pins;
    for (size_t i = 0; i < d.Pins.size(); ++i)
      pins.push_back(AudioPinInfo{d.Pins[i].Name, d.Pins[i].Input, std::make_shared<Pin>(audio_, device_, i)});
    return pins;
  }
  std::shared_ptr<IGraphFilter> BindFilter() override {
    const ScriptedAudioDevice& d = audio_.Devices.at(device_);
    if (!d.FilterBinds || !d.BindsForGraph) return nullptr;
    return std::make_shared<GraphFilter>(audio_, &audio_.Devices.at(device_), "Audio Capture");
  }

 private:
  ScriptedAudio& audio_;
  size_t device_;
};

class MonikerEnum final : public IAudioMonikerEnum {
 public:
  explicit MonikerEnum(ScriptedAudio& audio) : audio_(audio) {}
  std::shared_ptr<IAudioMoniker> Next() override {
    FailAt(audio_, AudioFailurePoint::Next, next_);
    if (next_ >= audio_.Devices.size()) return nullptr;
    return std::make_shared<Moniker>(audio_, next_++);
  }

 private:
  ScriptedAudio& audio_;
  size_t next_ = 0;
};

class DeviceEnumerator final : public IAudioDeviceEnumerator {
 public:
  explicit DeviceEnumerator(ScriptedAudio& audio) : audio_(audio) {}
  CategoryResult AudioInputCategory(std::unique_ptr<IAudioMonikerEnum>& devices) override {
    FailAt(audio_, AudioFailurePoint::Category, 0);
    if (audio_.CategoryFails) return CategoryResult::Failed;
    if (audio_.Devices.empty()) return CategoryResult::Empty;
    devices = std::make_unique<MonikerEnum>(audio_);
    return CategoryResult::Listed;
  }

 private:
  ScriptedAudio& audio_;
};

class AudioDevices final : public IAudioDevices {
 public:
  explicit AudioDevices(ScriptedAudio& audio) : audio_(audio) {}
  std::unique_ptr<IAudioDeviceEnumerator> CreateDeviceEnumerator() override {
    if (audio_.EnumeratorMissing) return nullptr;
    return std::make_unique<DeviceEnumerator>(audio_);
  }
  std::shared_ptr<IFilterGraph> CreateFilterGraph() override {
    if (audio_.FailingStep == GraphFailure::FilterGraph) return nullptr;
    return std::make_shared<FilterGraph>(audio_);
  }
  std::shared_ptr<ICaptureGraphBuilder> CreateCaptureGraphBuilder() override {
    if (audio_.FailingStep == GraphFailure::CaptureBuilder) return nullptr;
    return std::make_shared<CaptureGraphBuilder>(audio_);
  }
  std::shared_ptr<IGraphFilter> CreatePipeFilter() override {
    if (audio_.FailingStep == GraphFailure::PipeFilter) return nullptr;
    return std::make_shared<GraphFilter>(audio_, nullptr, "VEV Iraz");
  }

 private:
  ScriptedAudio& audio_;
};

}  // namespace

std::unique_ptr<IAudioDevices> MakeAudioDevices(ScriptedAudio& audio) {
  return std::make_unique<AudioDevices>(audio);
}

}  // namespace platform::headless
