#pragma once
// Time as the console sees it: the PC's local date-time, a steady millisecond tick for
// time-outs (it never wraps) and pauses, and whether the PC's clock is to be believed.
// Tests substitute a fake that moves on demand.
#include <QDateTime>
#include <QString>
#include <cstdint>

namespace zmr {

// What the kernel says of the PC's clock: kept in step with network time, or not (yet).
enum class ClockSync { Synchronised, Unsynchronised, Unknown };

struct ClockSyncReading {
  ClockSync state = ClockSync::Synchronised;
  QString why;  // for Unknown: why the kernel could not be asked
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime now() const = 0;           // local date and time with milliseconds
  virtual std::int64_t tickMs() const = 0;     // steady milliseconds since an arbitrary start
  virtual void sleepMs(int ms) = 0;
  virtual ClockSyncReading synchronisation() const = 0;
};

class SystemClock : public Clock {
 public:
  QDateTime now() const override;
  std::int64_t tickMs() const override;
  void sleepMs(int ms) override;
  // The kernel's NTP state (adjtimex): right after boot, before a time service has set
  // the clock, it says unsynchronised.
  ClockSyncReading synchronisation() const override;
};

}  // namespace zmr
