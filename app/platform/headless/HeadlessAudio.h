// The headless audio devices: a scripted set of input devices with their capture pins,
// devices whose name or filter cannot be read, and failures at a chosen step.
#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/AudioDevices.h"

namespace platform::headless {

struct ScriptedPin {
  std::string Name;
  bool Input = true;
  bool HasMixer = true;
};

struct ScriptedAudioDevice {
  std::string Name;
  std::vector<ScriptedPin> Pins;
  bool PropertyBagBinds = true;
  bool NameReadable = true;
  bool FilterBinds = true;
  bool BindsForGraph = true;  // its filter binds again when a graph is built
  // The capture pin (the first output pin) and its format.
  bool StreamConfig = true, FormatReadable = true, AcceptsFormat = true;
};

// A graph step that fails.
enum class GraphFailure { None, FilterGraph, CaptureBuilder, SetFiltergraph, AddCapture, PipeFilter, AddPipe, EnumPins,
                          Render, MediaControl };

// Where the enumeration raises a failure (the system's text in Failure.Text).
enum class AudioFailurePoint { None, Category, Next, PropertyBag, FriendlyName };

struct ScriptedAudio {
  bool EnumeratorMissing = false;
  bool CategoryFails = false;  // the category cannot be asked for (a failing result)
  std::vector<ScriptedAudioDevice> Devices;  // none: the category is empty
  GraphFailure FailingStep = GraphFailure::None;
  bool RunFails = false, PauseFails = false, StopFails = false, StateFails = false;
  // What the graph did, in order ("line 1 on", "add Audio Capture", "run" ...); reached by
  // the audio run thread too, so guarded.
  std::vector<std::string> GraphLog;
  std::shared_ptr<std::mutex> LogLock = std::make_shared<std::mutex>();
  struct {
    AudioFailurePoint At = AudioFailurePoint::None;
    size_t Device = 0;  // the device being handed out (Next: the call for this position)
    std::string Text = "Unspecified error";
  } Failure;
};

std::unique_ptr<IAudioDevices> MakeAudioDevices(ScriptedAudio& audio);

}  // namespace platform::headless
