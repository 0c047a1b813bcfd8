// The wait thread: mode 2 waits for the slide show window and has the recording begin;
// mode 1 watches for the end marker and has the recording stop.
#pragma once
#include <cstdint>

#include "vcl/Thread.h"

class TPPTWaitThread : public vcl::TThread {
 public:
  static constexpr std::int32_t WatchLastSlide = 1, WaitForShowWindow = 2;
  explicit TPPTWaitThread(std::int32_t mode) : Mode(mode) { FreeOnTerminate = true; }
  const std::int32_t Mode;
  std::int32_t PollCount = 0;

 protected:
  void Execute() override;
};

// The wait thread of mode 1 while it runs.
extern vcl::TThreadRef CurrentWaitThread;
