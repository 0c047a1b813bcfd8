// Worker threads with synchronous calls onto the main thread, and events that the main
// thread can wait for while it keeps serving COM and synchronised calls.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
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
  void Terminate() { *terminated_ = true; }
  bool Terminated() const { return *terminated_; }
  // The terminate request as a value of its own, valid after the thread object is gone.
  std::shared_ptr<std::atomic<bool>> TerminateRequest() const { return terminated_; }
  // The object frees itself when Execute has returned; set before Resume.
  bool FreeOnTerminate = false;
  void WaitFor();  // joins a thread that does not free itself
  // Deleting a thread that does not free itself tells it to stop, then waits for it. That
  // wait comes after the derived class's destructor: a class whose Execute uses its own
  // members stops and waits for its thread (Terminate, WaitFor) before they go.

 protected:
  virtual void Execute() = 0;
  // A failure that left Execute: by default shown in an error box on the main thread.
  virtual void Failed(const std::string& message);
  // Runs fn on the main thread; this thread waits until it has run.
  void Synchronize(const std::function<void()>& fn);

 private:
  void Run(bool selfFreeing, const std::shared_ptr<TEventPeer>& finished);
  std::shared_ptr<std::atomic<bool>> terminated_ = std::make_shared<std::atomic<bool>>(false);
  std::thread thread_;
  // Set when Execute has returned, so that waiting for the thread on the main thread
  // keeps serving synchronised calls (and, headless, lets virtual time run on).
  std::shared_ptr<TEventPeer> finished_;
  bool started_ = false;
};

// Another thread's reference to a running thread, which that thread clears as it ends:
// it reaches only the thread's terminate request, never the object, so asking a thread
// that has just freed itself to stop is harmless.
class TThreadRef {
 public:
  void Set(const TThread& thread);
  void Clear();
  bool Assigned() const;
  void Terminate();  // when assigned

 private:
  mutable std::mutex lock_;
  std::shared_ptr<std::atomic<bool>> request_;
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
