#include "base/clock.h"

#include <sys/timex.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include <QtGlobal>

namespace zmr {

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

std::int64_t SystemClock::tickMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

ClockSyncReading SystemClock::synchronisation() const {
  struct timex reading {};  // modes 0: read only, allowed to anyone
  const int state = ::adjtimex(&reading);
  if (state < 0) {
    return {ClockSync::Unknown, QStringLiteral("adjtimex: %1").arg(qt_error_string(errno))};
  }
  if (state == TIME_ERROR || (reading.status & STA_UNSYNC) != 0) return {ClockSync::Unsynchronised, {}};
  return {ClockSync::Synchronised, {}};
}

}  // namespace zmr
