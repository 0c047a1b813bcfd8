// The encoder: its command line, and the thread that runs it, reads its progress and
// makes it finish its files when asked.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "vcl/Thread.h"

extern const char* const AudioPipeName;  // "\\.\pipe\norvanereelcast_audiofilter"

// The encoder's command line for the current conversion, grabbing the window panel.
std::string EncoderCommandLine(std::uintptr_t panel);

// The recorded seconds in one chunk of the encoder's output, as text: "0" without a
// progress entry.
std::string ParseCaptureTime(const std::string& chunk);

class TVCapThread : public vcl::TThread {
 public:
  explicit TVCapThread(std::string commandLine);
  const std::string CommandLine;

 protected:
  void Execute() override;
  void Failed(const std::string& message) override;

 private:
  void Report(const std::string& text);
  // The event is the thread's own too: it is set at the end even when the capture window
  // that made it has gone meanwhile.
  std::shared_ptr<vcl::TEvent> done_;
};

// The running encoder thread, cleared by the thread as the last step of its run.
extern vcl::TThreadRef CurrentROdeThread;
