// Worker threads with synchronous calls onto the main thread, and events that the main
// thread can wait for while it keeps serving COM and synchronised calls.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "vcl/Widgetset.h"

namespace vcl {

class TThread {
 public:
  // Created suspended: the thread starts on Resume, once the whole object is built.
  TThread() = default;
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Resume();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // The object frees itself when Execute has returned; set before Resume.
  bool FreeOnTerminate = false;
  void WaitFor();  // joins a thread that does not free itself
  // Deleting a thread that does not free itself tells it to stop, then waits for it. That
  // wait comes after the derived class's destructor: a class whose Execute uses its own
  // members stops and waits for its thread (Terminate, WaitFor) before they go.

 protected:
  virtual void Execute() = 0;
  // Runs fn on the main thread; this thread waits until it has run.
  void Synchronize(const std::function<void()>& fn);

 private:
  void Run(bool selfFreeing, const std::shared_ptr<TEventPeer>& finished);
  std::atomic<bool> terminated_{false};
  std::thread thread_;
  // Set when Execute has returned, so that waiting for the thread on the main thread
  // keeps serving synchronised calls (and, headless, lets virtual time run on).
  std::shared_ptr<TEventPeer> finished_;
  bool started_ = false;
};

class TEvent {
 public:
  TEvent(bool manualReset, bool initialState);
  void SetEvent() { peer_->Set(); }
  void ResetEvent() { peer_->Reset(); }
  // true when the event was set within timeoutMs
  bool WaitFor(unsigned timeoutMs) { return peer_->Wait(timeoutMs); }

 private:
  std::unique_ptr<TEventPeer> peer_;
};

}  // namespace vcl
