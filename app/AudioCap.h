// The audio capture object: the system's audio input devices and the input lines of one
// device, listed for the Step 1 page.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

struct TAudioDeviceInfo {
  std::string Name;  // empty when the device's name cannot be read
  std::shared_ptr<platform::IAudioMoniker> Moniker;
};

struct TAudioLineInfo {
  std::string Name;
  std::shared_ptr<platform::IAudioPin> Pin;
};

class CAudioCapture {
 public:
  explicit CAudioCapture(platform::Handle ownerWindow) : ownerWindow_(ownerWindow) {}
  ~CAudioCapture();

  std::shared_ptr<platform::IFilterGraph> Graph;
  std::shared_ptr<platform::ICaptureGraphBuilder> CaptureBuilder;
  std::vector<TAudioDeviceInfo> Devices;
  std::vector<TAudioLineInfo> Lines;
  std::uint16_t DeviceCount = 0;
  std::uint16_t LineCount = 0;
  std::shared_ptr<platform::IGraphFilter> PipeFilter;     // the renderer that feeds the encoder's pipe
  std::shared_ptr<platform::IGraphFilter> CaptureFilter;  // the chosen device's

  // Lists the audio input devices; true when there is one at least. A failure inside the
  // enumeration is raised again with "#" and the step it reached.
  bool EnumDevices();
  // Lists the input lines of a device; true when it has one at least.
  bool EnumLines(int device);

  // Switches the chosen line on and every other line off.
  bool SelectLine(int line);
  // The graph from the device's capture pin to the pipe's renderer; code says which step
  // failed (0 for steps that have no code of their own).
  bool BuildGraph(int device, int line, std::int32_t& code);
  bool StartCapture();  // runs the graph on a thread of its own, without waiting
  bool PauseCapture();
  bool ResumeCapture();
  bool StopCapture();
  void RemoveFilters();
  void ReleaseAll();

 private:
  platform::Handle ownerWindow_;  // kept for the capture graph's owner
};

extern std::unique_ptr<CAudioCapture> AudioCapture;
// The running graph's control, read by the audio run thread; set only after a complete graph.
extern std::shared_ptr<platform::IMediaControl> MediaControl;
// How far the last device enumeration got (0 to 6).
extern int EnumStep;
