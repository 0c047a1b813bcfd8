// The headless audio devices: a scripted set of input devices with their capture pins,
// devices whose name or filter cannot be read, and failures at a chosen step.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/AudioDevices.h"

namespace platform::headless {

struct ScriptedPin {
  std::string Name;
  bool Input = true;
};

struct ScriptedAudioDevice {
  std::string Name;
  std::vector<ScriptedPin> Pins;
  bool PropertyBagBinds = true;
  bool NameReadable = true;
  bool FilterBinds = true;
};

// Where the enumeration raises a failure (the system's text in Failure.Text).
enum class AudioFailurePoint { None, Category, Next, PropertyBag, FriendlyName };

struct ScriptedAudio {
  bool EnumeratorMissing = false;
  bool CategoryFails = false;  // the category cannot be asked for (a failing result)
  std::vector<ScriptedAudioDevice> Devices;  // none: the category is empty
  struct {
    AudioFailurePoint At = AudioFailurePoint::None;
    size_t Device = 0;  // the device being handed out (Next: the call for this position)
    std::string Text = "Unspecified error";
  } Failure;
};

std::unique_ptr<IAudioDevices> MakeAudioDevices(const ScriptedAudio& audio);

}  // namespace platform::headless
