// The outside programs of a recording, scripted for the headless tests: the presentation
// program reached by automation (its object model, events and slide show window), the
// encoder process with its pipe output and window, the hook library, and the windows the
// capture session works on. All state is guarded by the world's clock lock where workers
// reach it.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/headless/VirtualClock.h"

namespace platform::headless {

struct World;

// A top-level or adopted window as the session sees it.
struct ScriptedWindow {
  std::string Class;
  std::uint32_t ProcessId = 0;
  Handle Parent = 0;
  std::uint32_t ExStyle = 0;
  bool Layered = false;
  std::uint32_t ColorKey = 0, LayeredFlags = 0;
  std::uint8_t Alpha = 0;
  std::uint32_t RedrawFlags = 0;
  std::vector<std::uint32_t> Chars;  // characters sent to it, in order
  bool Closed = false;
  std::function<void(std::uint32_t)> OnChar;
};

struct ScriptedPresentationProgram {
  bool Registered = true;       // creating it by automation works
  int Slides = 3;               // of the presentation as opened
  unsigned WindowDelayMs = 500;  // from the show's start to its window
  bool WindowNever = false;
  bool SetParentFails = false, LayeredFails = false;
  // Members that fail with "<member> failed." (their names as the program calls them).
  std::set<std::string> FailingMembers;
  bool AcceptsSinks = true;

  // What happened, for the tests.
  std::vector<std::string> Calls;   // "Presentations.Open(&'C:\x.pptx',0,0,0)", "SlideShowWindow.Width=480" ...
  std::map<std::string, std::uint64_t> LastCallMs;  // by "Kind.Member", on the clock
  std::vector<std::string> ShellStarts;  // "cmd.exe|<parameters>|<show>"
  bool Running = false, ActiveObject = false, ShowRunning = false;
  int Count = 0, Position = 0, AdvanceMode = 0;
  std::vector<int> AdvanceOnTime;  // per slide, from 1
  std::uint64_t ShowStartMs = 0;
  std::shared_ptr<IEventSink> Sink;
  int Advised = 0;  // connections made minus those undone
};

// The program's own automation server: what its command line asks, and what was done.
struct ScriptedServer {
  bool RegisterOnly = false;  // "REGSERVER" or "UNREGSERVER"
  bool Offered = false;
  std::vector<std::string> Calls;
};

struct ScriptedEncoder {
  int FailingPipe = 0;         // 1 or 2: that pipe cannot be made
  bool StartFails = false;
  unsigned PeriodMs = 1000;    // a progress entry this often while recording
  // The entry printed at each period, from the recorded seconds; an empty text prints
  // nothing (the encoder falls silent).
  std::function<std::string(int seconds)> Entry = [](int s) {
    return "frame=" + std::to_string(s * 15) + " fps= 15 q=2.0 size=  10kB time=" + std::to_string(s) +
           ".00 bitrate= 100.0kbits/s\r";
  };
  int QuitsAfterSeconds = -1;  // exits by itself then
  bool IgnoresQuit = false;

  std::vector<std::string> CommandLines;
  int PipesMade = 0;            // two per recording
  VirtualClock::Parked* Reader = nullptr;  // the reader waiting for output
  std::uint32_t ProcessId = 0;  // of the running one
  bool Running = false, Paused = false;
  int Seconds = 0;
  std::uint64_t NextEntryMs = 0;
  std::deque<std::string> Output;  // printed, not yet read
};

struct ScriptedHookLibrary {
  bool Loadable = true, HasInstall = true, HasUninstall = true;
  std::uint32_t InstallResult = 1;
  std::vector<std::string> Calls;  // "install(<handle>)", "uninstall"
};

std::unique_ptr<IWindows> MakeWindows(World& world);
// The encoder's side of the processes: its pipes, its start and the shell start.
std::unique_ptr<IPipe> MakePipe(World& world);
std::unique_ptr<IChildProcess> StartChild(World& world, const std::string& commandLine, IPipe* input, IPipe* output);
void ShellStart(World& world, const std::string& file, const std::string& parameters);
void StartShowFromShell(World& world);  // under the clock lock
// The encoder process ends as if killed: its output closes.
void EndEncoder(World& world);
std::unique_ptr<ILibraries> MakeLibraries(World& world);
std::unique_ptr<IAutomation> MakeAutomation(World& world);
std::unique_ptr<IEncoderBridge> MakeBridge(World& world);

}  // namespace platform::headless
