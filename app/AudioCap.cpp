#include "AudioCap.h"

#include <atomic>

#include "vcl/SysUtils.h"
#include "vcl/Thread.h"

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

// ---- the capture graph ----

std::shared_ptr<platform::IMediaControl> MediaControl;

namespace {
constexpr std::uint16_t CaptureChannels = 2, CaptureBlockAlign = 4, CaptureBits = 16;
constexpr std::uint32_t CaptureRate = 44100, CaptureBytesPerSecond = 176400;

// Calls the graph's Run once and ends; nobody waits for it.
class TAudioRunThread : public vcl::TThread {
 public:
  TAudioRunThread() { FreeOnTerminate = true; }

 protected:
  void Execute() override {
    if (const std::shared_ptr<platform::IMediaControl> control = std::atomic_load(&MediaControl)) control->Run();
  }
};
}  // namespace

CAudioCapture::~CAudioCapture() {
  ReleaseAll();
  DeviceCount = 0;
  LineCount = 0;
}

bool CAudioCapture::SelectLine(int line) {
  if (line < 0 || line >= LineCount) return false;
  for (int i = 0; i < LineCount; ++i)
    if (!Lines[static_cast<size_t>(i)].Pin->SetLineEnabled(i == line)) return false;
  return true;
}

bool CAudioCapture::BuildGraph(int device, int line, std::int32_t& code) {
  code = 0;
  if (device < 0 || device >= DeviceCount || line < 0 || line >= LineCount) {
    code = 1;
    return false;
  }
  if (!SelectLine(line)) {
    code = 2;
    return false;
  }
  ReleaseAll();
  platform::IAudioDevices& audio = platform::Audio();
  // Steps without a code of their own leave it at 0.
  auto fail = [&](std::int32_t failure, bool removeFilters) {
    code = failure;
    if (removeFilters) RemoveFilters();
    ReleaseAll();
    return false;
  };
  Graph = audio.CreateFilterGraph();
  if (!Graph) return fail(0, false);
  CaptureBuilder = audio.CreateCaptureGraphBuilder();
  if (!CaptureBuilder) return fail(0, false);
  if (!CaptureBuilder->SetFiltergraph(Graph)) return fail(0, false);
  CaptureFilter = Devices[static_cast<size_t>(device)].Moniker->BindFilter();
  if (!CaptureFilter) return fail(3, false);
  if (!Graph->AddFilter(CaptureFilter, "Audio Capture")) return fail(4, false);
  PipeFilter = audio.CreatePipeFilter();
  if (!PipeFilter) return fail(5, true);
  if (!Graph->AddFilter(PipeFilter, "VEV Iraz")) return fail(6, true);
  const auto pins = CaptureFilter->Pins();
  if (!pins) return fail(7, true);
  std::shared_ptr<platform::IGraphPin> capturePin;
  for (const auto& pin : *pins)
    if (pin->IsOutput()) {
      capturePin = pin;
      break;
    }
  if (!capturePin) return fail(8, true);
  const std::shared_ptr<platform::IStreamConfig> config = capturePin->StreamConfig();
  if (!config) return fail(9, true);
  std::optional<platform::WaveFormat> format = config->GetFormat();
  if (!format) return fail(10, true);
  format->Channels = CaptureChannels;
  format->SamplesPerSec = CaptureRate;
  format->AvgBytesPerSec = CaptureBytesPerSecond;
  format->BlockAlign = CaptureBlockAlign;
  format->BitsPerSample = CaptureBits;
  if (!config->SetFormat(*format)) return fail(11, true);
  if (!Graph->Render(capturePin)) return fail(12, true);
  std::shared_ptr<platform::IMediaControl> control = Graph->MediaControl();
  if (!control) return fail(13, true);
  std::atomic_store(&MediaControl, control);
  return true;
}

bool CAudioCapture::StartCapture() {
  try {
    (new TAudioRunThread)->Resume();
    return true;
  } catch (const std::exception&) {
    ReleaseAll();
    return false;
  }
}

bool CAudioCapture::PauseCapture() {
  const std::shared_ptr<platform::IMediaControl> control = std::atomic_load(&MediaControl);
  return !control || control->Pause();
}

bool CAudioCapture::ResumeCapture() {
  const std::shared_ptr<platform::IMediaControl> control = std::atomic_load(&MediaControl);
  return !control || control->Run();
}

bool CAudioCapture::StopCapture() {
  if (const std::shared_ptr<platform::IMediaControl> control = std::atomic_load(&MediaControl)) {
    if (!control->StopWhenReady()) return false;
    if (!control->GetState(500)) return false;
    std::atomic_store(&MediaControl, std::shared_ptr<platform::IMediaControl>());
  }
  RemoveFilters();
  return true;
}

void CAudioCapture::RemoveFilters() {
  if (PipeFilter) {
    Graph->RemoveFilter(PipeFilter);
    PipeFilter.reset();
  }
  if (CaptureFilter) {
    Graph->RemoveFilter(CaptureFilter);
    CaptureFilter.reset();
  }
}

void CAudioCapture::ReleaseAll() {
  Graph.reset();
  CaptureBuilder.reset();
  PipeFilter.reset();
  std::atomic_store(&MediaControl, std::shared_ptr<platform::IMediaControl>());
  CaptureFilter.reset();
}
