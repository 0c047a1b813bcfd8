// The system's audio input devices, one step at a time as the system's device enumerator
// hands them out: the enumerator, the audio input category, each device's moniker, its
// property bag and friendly name, and the pins of the capture filter the moniker binds to;
// and the parts of the capture graph that records one line into the encoder's pipe.
// The win32 backend answers through DirectShow; the headless backend from a scripted set.
// Any step may also fail by raising a failure whose message is the system's text.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// One input pin of a device's capture filter: one line of the device.
class IAudioPin {
 public:
  virtual ~IAudioPin() = default;
  // Switches the line on or off through the pin's input mixer (the switch's own result
  // is not looked at); false when the pin has no mixer.
  virtual bool SetLineEnabled(bool enable) = 0;
};

// The capture format of a pin: the fields the program sets, and the rest as the pin gave it.
struct WaveFormat {
  std::uint16_t Channels = 0;
  std::uint32_t SamplesPerSec = 0, AvgBytesPerSec = 0;
  std::uint16_t BlockAlign = 0, BitsPerSample = 0;
  std::shared_ptr<void> Native;  // the backend's whole media type
};

class IStreamConfig {
 public:
  virtual ~IStreamConfig() = default;
  virtual std::optional<WaveFormat> GetFormat() = 0;  // nullopt when it fails
  virtual bool SetFormat(const WaveFormat& format) = 0;
};

class IGraphPin {
 public:
  virtual ~IGraphPin() = default;
  virtual bool IsOutput() = 0;
  virtual std::shared_ptr<IStreamConfig> StreamConfig() = 0;  // nullptr when the pin has none
};

class IGraphFilter {
 public:
  virtual ~IGraphFilter() = default;
  // In enumeration order; nullopt when they cannot be enumerated.
  virtual std::optional<std::vector<std::shared_ptr<IGraphPin>>> Pins() = 0;
};

class IMediaControl {
 public:
  virtual ~IMediaControl() = default;
  virtual bool Run() = 0;
  virtual bool Pause() = 0;
  virtual bool StopWhenReady() = 0;
  // false only when the state cannot be read; a change still under way is no failure.
  virtual bool GetState(unsigned timeoutMs) = 0;
};

class IFilterGraph {
 public:
  virtual ~IFilterGraph() = default;
  virtual bool AddFilter(const std::shared_ptr<IGraphFilter>& filter, const std::string& name) = 0;
  virtual void RemoveFilter(const std::shared_ptr<IGraphFilter>& filter) = 0;
  // Connects an output pin onwards through the filters already in the graph.
  virtual bool Render(const std::shared_ptr<IGraphPin>& pin) = 0;
  virtual std::shared_ptr<IMediaControl> MediaControl() = 0;  // nullptr when it has none
};

class ICaptureGraphBuilder {
 public:
  virtual ~ICaptureGraphBuilder() = default;
  virtual bool SetFiltergraph(const std::shared_ptr<IFilterGraph>& graph) = 0;
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
  // The device's capture filter for a graph; nullptr when it cannot be bound.
  virtual std::shared_ptr<IGraphFilter> BindFilter() = 0;
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
  // Graph parts; nullptr when they cannot be created.
  virtual std::shared_ptr<IFilterGraph> CreateFilterGraph() = 0;
  virtual std::shared_ptr<ICaptureGraphBuilder> CreateCaptureGraphBuilder() = 0;
  // The outside renderer filter that writes the samples into the encoder's pipe.
  virtual std::shared_ptr<IGraphFilter> CreatePipeFilter() = 0;
};

}  // namespace platform
