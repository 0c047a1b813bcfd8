// The scripted encoder process: it prints a progress entry every period while it records,
// stops printing while paused, and on "q" ends its output and exits.
#include <algorithm>
#include <mutex>

#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessSession.h"
#include "vcl/SysUtils.h"

namespace platform::headless {

namespace {

class Pipe final : public IPipe {
 public:
  explicit Pipe(World& w) : w_(w) {}
  bool Read(char* buffer, unsigned size, unsigned& got) override {
    std::unique_lock<std::mutex> g(w_.Clock.Lock());
    ScriptedEncoder& e = w_.Encoder;
    for (;;) {
      if (!readOpen_) return false;
      if (encoder_) Produce(e);
      if (encoder_ && !e.Output.empty()) {
        std::string& front = e.Output.front();
        got = static_cast<unsigned>(std::min<size_t>(size, front.size()));
        front.copy(buffer, got);
        front.erase(0, got);
        if (front.empty()) e.Output.pop_front();
        return true;
      }
      // Nothing to read: a pipe no process writes into is broken once our own writing end
      // is closed; a running encoder is waited for until its next entry or a key.
      if (!encoder_ || !e.Running) return false;
      VirtualClock::Parked parked;
      parked.Until = e.Paused ? VirtualClock::Never : e.NextEntryMs;
      e.Reader = &parked;
      w_.Clock.Park(g, parked);
      e.Reader = nullptr;
    }
  }
  void CloseReadEnd() override { readOpen_ = false; }
  void CloseWriteEnd() override {}
  void AttachEncoder() { encoder_ = true; }

 private:
  void Produce(ScriptedEncoder& e) {  // under the lock
    while (e.Running && !e.Paused && e.NextEntryMs <= w_.Clock.NowMs()) {
      e.Seconds += static_cast<int>(e.PeriodMs / 1000);
      e.NextEntryMs += e.PeriodMs;
      const std::string entry = e.Entry(e.Seconds);
      if (!entry.empty()) e.Output.push_back(entry);
      if (e.QuitsAfterSeconds >= 0 && e.Seconds >= e.QuitsAfterSeconds) Exit(w_);
    }
  }
 public:
  static void Exit(World& w) {  // under the lock
    ScriptedEncoder& e = w.Encoder;
    e.Running = false;
    for (auto it = w.Processes.begin(); it != w.Processes.end();)
      it = it->ProcessId == e.ProcessId ? w.Processes.erase(it) : std::next(it);
    for (auto it = w.Windows.begin(); it != w.Windows.end();)
      it = it->ProcessId == e.ProcessId ? w.Windows.erase(it) : std::next(it);
  }

 private:
  World& w_;
  bool readOpen_ = true;
  bool encoder_ = false;
};

class Child final : public IChildProcess {};

}  // namespace

std::unique_ptr<IPipe> MakePipe(World& world) {
  std::lock_guard<std::mutex> g(world.Clock.Lock());
  const int which = world.Encoder.PipesMade++ % 2 + 1;  // A, then B
  if (which == world.Encoder.FailingPipe) return nullptr;
  return std::make_unique<Pipe>(world);
}

std::unique_ptr<IChildProcess> StartChild(World& world, const std::string& commandLine, IPipe*, IPipe* output) {
  std::lock_guard<std::mutex> g(world.Clock.Lock());
  ScriptedEncoder& e = world.Encoder;
  e.CommandLines.push_back(commandLine);
  if (e.StartFails) return nullptr;
  e.ProcessId = world.NextProcessId++;
  e.Running = true;
  e.Paused = false;
  e.Seconds = 0;
  e.NextEntryMs = world.Clock.NowMs() + e.PeriodMs;
  e.Output = {"rode version 1 (scripted)\r\n"};
  world.Processes.push_back({e.ProcessId, "rode.exe"});
  const Handle window = world.NextHandle++;
  world.Windows.push_back({window, e.ProcessId});
  auto* pipe = static_cast<Pipe*>(output);
  if (pipe) pipe->AttachEncoder();
  ScriptedWindow state;
  state.Class = "rode";
  state.ProcessId = e.ProcessId;
  state.OnChar = [&world](std::uint32_t code) {  // under the lock
    ScriptedEncoder& enc = world.Encoder;
    if (code == 'q' && !enc.IgnoresQuit) Pipe::Exit(world);
    if (code == 'p') {
      enc.Paused = !enc.Paused;
      if (!enc.Paused) enc.NextEntryMs = world.Clock.NowMs() + enc.PeriodMs;
    }
    if (enc.Reader) world.Clock.Wake(*enc.Reader);
  };
  world.WindowStates[window] = std::move(state);
  return std::make_unique<Child>();
}

void EndEncoder(World& world) {
  std::lock_guard<std::mutex> g(world.Clock.Lock());
  if (world.Encoder.Running) Pipe::Exit(world);
  if (world.Encoder.Reader) world.Clock.Wake(*world.Encoder.Reader);
}

void ShellStart(World& world, const std::string& file, const std::string& parameters) {
  std::lock_guard<std::mutex> g(world.Clock.Lock());
  ScriptedPresentationProgram& p = world.PowerPoint;
  p.ShellStarts.push_back(file + "|" + parameters);
  if (vcl::SameText(file, "cmd.exe") && parameters.find(" /s ") != std::string::npos) {
    p.Running = true;
    p.ActiveObject = true;
    StartShowFromShell(world);
  }
}

}  // namespace platform::headless
