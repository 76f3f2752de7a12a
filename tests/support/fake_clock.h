#pragma once
// A clock that moves only when asked: sleeps advance it at once, so the link's waits
// cost nothing in unit tests.
#include <QDateTime>
#include <atomic>

#include "base/clock.h"

namespace zmr::testing {

class FakeClock : public Clock {
 public:
  explicit FakeClock(QDateTime start = QDateTime(QDate(2004, 3, 5), QTime(14, 2, 7)))
      : start_(start) {}
  QDateTime now() const override { return start_.addMSecs(tick_.load()); }
  std::int64_t tickMs() const override { return tick_; }
  void sleepMs(int ms) override { tick_ += ms; }
  void advance(std::int64_t ms) { tick_ += ms; }
  void setNow(const QDateTime& now) { start_ = now.addMSecs(-tick_); }
  ClockSyncReading synchronisation() const override { return sync; }
  ClockSyncReading sync;  // what the kernel is made to say of the PC's clock

 private:
  QDateTime start_;
  std::atomic<std::int64_t> tick_{0};  // upkeep's pool sleeps on one clock from several threads
};

}  // namespace zmr::testing
