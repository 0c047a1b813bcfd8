#include "vcl/Thread.h"

#include "vcl/Forms.h"
#include "vcl/SysUtils.h"

namespace vcl {

TThread::~TThread() {
  if (!thread_.joinable()) return;
  Terminate();
  if (thread_.get_id() == std::this_thread::get_id()) thread_.detach();
  else WaitFor();
}

void TThread::Resume() {
  if (started_) return;
  started_ = true;
  Widgetset().ThreadStarted();
  // A self-freeing thread may be gone before std::thread's constructor returns here, so
  // neither side touches the object after the start: its handle is let go at once.
  // The worker holds its own reference to the event, which it sets after Execute even
  // when the object was deleted from Execute itself.
  const bool selfFreeing = FreeOnTerminate;
  if (!selfFreeing) finished_ = Widgetset().NewEvent(true, false);
  std::thread thread([this, selfFreeing, finished = finished_] { Run(selfFreeing, finished); });
  if (selfFreeing) thread.detach();
  else thread_ = std::move(thread);
}

void TThread::Run(bool selfFreeing, const std::shared_ptr<TEventPeer>& finished) {
  try {
    Execute();
  } catch (const std::exception& e) {
    Failed(e.what());
  } catch (...) {
    Failed("Unknown failure in a worker thread");
  }
  if (selfFreeing) delete this;
  else finished->Set();
  Widgetset().ThreadEnded();
}

void TThread::WaitFor() {
  if (!thread_.joinable() || thread_.get_id() == std::this_thread::get_id()) return;
  while (!finished_->Wait(~0u)) {
  }
  thread_.join();
}

void TThread::Synchronize(const std::function<void()>& fn) { Widgetset().Synchronize(fn); }

void TThread::Failed(const std::string& message) {
  Synchronize([&] { Application.HandleException(Exception(message)); });
}

void TThreadRef::Set(const TThread& thread) {
  std::lock_guard<std::mutex> g(lock_);
  request_ = thread.TerminateRequest();
}

void TThreadRef::Clear() {
  std::lock_guard<std::mutex> g(lock_);
  request_.reset();
}

bool TThreadRef::Assigned() const {
  std::lock_guard<std::mutex> g(lock_);
  return request_ != nullptr;
}

void TThreadRef::Terminate() {
  std::lock_guard<std::mutex> g(lock_);
  if (request_) *request_ = true;
}

TEvent::TEvent(bool manualReset, bool initialState)
    : peer_(Widgetset().NewEvent(manualReset, initialState)) {}

}  // namespace vcl
