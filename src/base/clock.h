#pragma once
// Time as the console sees it: the PC's local date-time, a steady millisecond tick for
// time-outs (it never wraps) and pauses. Tests substitute a fake that moves on demand.
#include <QDateTime>
#include <cstdint>

namespace zmr {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime now() const = 0;           // local date and time with milliseconds
  virtual std::int64_t tickMs() const = 0;     // steady milliseconds since an arbitrary start
  virtual void sleepMs(int ms) = 0;
};

class SystemClock : public Clock {
 public:
  QDateTime now() const override;
  std::int64_t tickMs() const override;
  void sleepMs(int ms) override;
};

}  // namespace zmr
