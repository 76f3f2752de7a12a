#pragma once
// The simulated timer's protocol core: request bytes in, reply frames out, no I/O.
// It keeps the timer's clock (set by 'U', ticking on the injected Clock), its
// activation state, its identity, the 7 x 128 x 4-byte schedule memory ('W') and the
// output relay ('T' and, while activated, every stored event when its time comes).
// A front end feeds it the line's bytes, sends the replies after their delay and
// calls tick() often so the relay and the schedule run.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include <QDateTime>

#include "base/clock.h"

namespace zmr::sim {

inline constexpr int kMemorySize = 7 * 128 * 4;
inline constexpr int kTestPulseSeconds = 3;
using ScheduleMemory = std::array<std::uint8_t, kMemorySize>;

// Ways to misbehave, so each failure path of the console can be shown.
struct Faults {
  bool silent = false;                  // never answer
  int delay_ms = 0;                     // answer this late
  bool wrong_echo = false;              // echo another command letter
  bool bad_checksum = false;            // checksum off by one
  std::optional<int> short_status;      // status replies carry only this many bytes
  std::set<std::pair<char, int>> fail;  // (command, n): the n-th such request gets no answer
};

struct SimConfig {
  std::optional<QDateTime> start_time;  // the timer's clock at start (its wall-clock fields); default the PC clock
  bool activated = false;
  std::uint8_t firmware_major = 1;
  std::uint8_t firmware_minor = 5;
  std::array<std::uint8_t, 8> serial{0, 0, 1, 2, 3, 4, 5, 6};
  std::array<std::uint8_t, 8> product{'Z', 'M', 'R', '1', 0, 0, 0, 0};
  Faults faults;
};

// One reply frame, to go on the line delay_ms after its request arrived.
struct SimReply {
  std::vector<std::uint8_t> bytes;
  int delay_ms = 0;
};

class SimTimer {
 public:
  using LogSink = std::function<void(const std::string&)>;

  SimTimer(Clock& clock, SimConfig config = {}, LogSink log = {});

  // Bytes from the line, in any pieces; returns the replies to the requests they
  // complete. Bytes before a start byte, and frames with a bad checksum, unknown
  // command or unfit payload, are dropped (logged) and never answered.
  std::vector<SimReply> receive(std::span<const std::uint8_t> bytes);
  // Ends a relay pulse that is over and fires the stored events that came due.
  void tick();

  QDateTime timerNow() const;  // a wall-clock value: no daylight saving on a timer
  void setTimerClock(const QDateTime& time);
  bool activated() const { return activated_; }
  bool relayClosed() const { return relay_closed_; }
  const ScheduleMemory& memory() const { return memory_; }
  int requests(char command) const;
  // The schedule memory as a week table, each day up to its first empty slot.
  std::string weekTable() const;

 private:
  std::optional<SimReply> handle(std::uint8_t command, std::span<const std::uint8_t> payload);
  std::optional<std::vector<std::uint8_t>> answer(char command, std::span<const std::uint8_t> payload,
                                                  std::string& note);
  std::vector<std::uint8_t> statusPayload() const;
  void closeRelay(std::optional<int> seconds, const std::string& why);
  void openRelay(const std::string& why);
  void fireMinute(const QDateTime& minute);
  void log(const std::string& line) const;

  Clock& clock_;
  SimConfig config_;
  LogSink log_;
  QDateTime clock_base_;
  std::int64_t clock_base_tick_;
  bool activated_;
  ScheduleMemory memory_{};
  bool relay_closed_ = false;
  std::optional<std::int64_t> relay_opens_at_;
  QDateTime last_minute_;  // events up to and including this minute have had their turn
  std::vector<std::uint8_t> pending_;
  std::int64_t pending_since_ = 0;
  std::array<int, 256> request_counts_{};
};

}  // namespace zmr::sim
