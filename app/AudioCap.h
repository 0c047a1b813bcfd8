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

  std::vector<TAudioDeviceInfo> Devices;
  std::vector<TAudioLineInfo> Lines;
  std::uint16_t DeviceCount = 0;
  std::uint16_t LineCount = 0;

  // Lists the audio input devices; true when there is one at least. A failure inside the
  // enumeration is raised again with "#" and the step it reached.
  bool EnumDevices();
  // Lists the input lines of a device; true when it has one at least.
  bool EnumLines(int device);

 private:
  platform::Handle ownerWindow_;  // kept for the capture graph's owner
};

extern std::unique_ptr<CAudioCapture> AudioCapture;
// How far the last device enumeration got (0 to 6).
extern int EnumStep;
