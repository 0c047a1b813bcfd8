#include "vcl/Thread.h"

namespace vcl {

TThread::TThread(bool createSuspended) {
  if (!createSuspended) Resume();
}

TThread::~TThread() {
  if (thread_.joinable()) {
    if (thread_.get_id() == std::this_thread::get_id()) thread_.detach();
    else thread_.join();
  }
}

void TThread::Resume() {
  if (started_) return;
  started_ = true;
  Widgetset().ThreadStarted();
  thread_ = std::thread([this] { Run(); });
}

void TThread::Run() {
  try {
    Execute();
  } catch (...) {
    // A worker's failure must not take the process down; Execute reports its own.
  }
  if (FreeOnTerminate) {
    thread_.detach();
    delete this;
  }
  Widgetset().ThreadEnded();
}

void TThread::WaitFor() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TThread::Synchronize(const std::function<void()>& fn) { Widgetset().Synchronize(fn); }

TEvent::TEvent(bool manualReset, bool initialState)
    : peer_(Widgetset().NewEvent(manualReset, initialState)) {}

}  // namespace vcl
