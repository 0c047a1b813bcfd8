// The system's audio input devices through DirectShow's system device enumerator. The
// caller's thread must be in a COM apartment while it uses them, and must let go of every
// object made here (devices, monikers, pins) before it leaves the apartment.
#pragma once
#include <memory>
#include <stdexcept>

#include "platform/AudioDevices.h"

namespace platform::win32 {

// A DirectShow call that failed unexpectedly, or a name that could not be converted; the
// message is the system's text.
class EAudioDeviceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::unique_ptr<IAudioDevices> MakeAudioDevices();

}  // namespace platform::win32
