#include "platform/headless/VirtualClock.h"

namespace platform::headless {

// Proleptic Gregorian calendar conversions (days since 1970-01-01).
static std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

static void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe) + static_cast<int>(era * 400) + (m <= 2);
}

VirtualClock::VirtualClock() : mainThread_(std::this_thread::get_id()) {
  SetLocalTime(LocalTime{2026, 1, 1, 0, 0, 0, 0});
}

LocalTime VirtualClock::LocalNow() const {
  std::int64_t total = originMs_ + static_cast<std::int64_t>(nowMs_);
  std::int64_t days = originDays_ + total / 86400000;
  std::int64_t ms = total % 86400000;
  LocalTime t;
  CivilFromDays(days, t.Year, t.Month, t.Day);
  t.Hour = static_cast<int>(ms / 3600000);
  t.Minute = static_cast<int>(ms / 60000 % 60);
  t.Second = static_cast<int>(ms / 1000 % 60);
  t.Millisecond = static_cast<int>(ms % 1000);
  return t;
}

void VirtualClock::SetLocalTime(const LocalTime& t) {
  originDays_ = DaysFromCivil(t.Year, t.Month, t.Day);
  originMs_ = ((t.Hour * 60LL + t.Minute) * 60 + t.Second) * 1000 + t.Millisecond - static_cast<std::int64_t>(nowMs_);
}

void VirtualClock::AdvanceTo(std::uint64_t ms) {
  if (ms > nowMs_) nowMs_ = ms;
  for (auto it = parked_.begin(); it != parked_.end();) {
    Parked* p = *it++;
    if (p->Until <= nowMs_) Wake(*p);
  }
  Notify();
}

void VirtualClock::WorkerBusy(bool busy) {
  std::lock_guard<std::mutex> g(lock_);
  busy_ += busy ? 1 : -1;
  Notify();
}

void VirtualClock::Park(std::unique_lock<std::mutex>& lock, Parked& p) {
  if (p.Until <= nowMs_) return;
  p.Woken = false;
  --busy_;
  parked_.push_back(&p);
  Notify();
  changed_.wait(lock, [&] { return p.Woken; });
}

void VirtualClock::Wake(Parked& p) {
  if (p.Woken) return;
  p.Woken = true;
  ++busy_;
  parked_.remove(&p);
  Notify();
}

std::uint64_t VirtualClock::NextWake() const {
  std::uint64_t next = Never;
  for (const Parked* p : parked_)
    if (p->Until < next) next = p->Until;
  return next;
}

void VirtualClock::Sleep(unsigned ms) {
  std::unique_lock<std::mutex> g(lock_);
  Parked p;
  p.Until = nowMs_ + ms;
  if (OnMainThread()) AdvanceTo(p.Until);
  else Park(g, p);
}

}  // namespace platform::headless
