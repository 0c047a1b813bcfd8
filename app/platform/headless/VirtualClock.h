// The tests' time: a clock that moves only when told, shared by the headless platform
// (local time, sleeps) and the headless component layer (timers, waits, main queue).
// One lock and one condition guard all of it, so a change anywhere wakes every waiter.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <list>
#include <mutex>
#include <thread>

#include "platform/Platform.h"

namespace platform::headless {

class VirtualClock {
 public:
  VirtualClock();
  std::mutex& Lock() { return lock_; }
  std::condition_variable& Changed() { return changed_; }
  void Notify() { changed_.notify_all(); }

  std::uint64_t NowMs() const { return nowMs_; }  // under Lock()
  LocalTime LocalNow() const;                      // under Lock()
  void SetLocalTime(const LocalTime& t);           // moves the clock's origin
  void AdvanceTo(std::uint64_t ms);                // under Lock(); wakes sleepers

  // The thread that plays the main (user interface) thread: the test's own.
  bool OnMainThread() const { return std::this_thread::get_id() == mainThread_; }
  void SetMainThread() { mainThread_ = std::this_thread::get_id(); }

  // Workers that are running rather than parked in a sleep, a wait or a synchronised
  // call. While none runs, nothing can change unless the main thread changes it.
  int BusyWorkers() const { return busy_; }  // under Lock()
  void WorkerBusy(bool busy);                // takes Lock()

  // A worker parked until someone wakes it or the clock reaches Until. Whoever wakes it
  // counts it busy again at once, so no one sees an idle world in between.
  static constexpr std::uint64_t Never = ~std::uint64_t{0};
  struct Parked {
    std::uint64_t Until = Never;
    bool Woken = false;
  };
  void Park(std::unique_lock<std::mutex>& lock, Parked& p);  // waits until woken
  void Wake(Parked& p);                                       // under Lock()
  std::uint64_t NextWake() const;                             // under Lock(); Never if none

  // Sleep on the clock: a worker parks until the clock has moved on; the main thread,
  // which nobody else moves the clock for, moves it itself.
  void Sleep(unsigned ms);

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  std::uint64_t nowMs_ = 0;
  std::int64_t originDays_ = 0;  // days since 1970-01-01 at clock 0
  std::int64_t originMs_ = 0;    // milliseconds into that day at clock 0
  int busy_ = 0;
  std::list<Parked*> parked_;
  std::thread::id mainThread_;
};

}  // namespace platform::headless
