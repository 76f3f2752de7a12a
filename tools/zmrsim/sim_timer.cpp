#include "sim_timer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "hardware/wall_clock.h"
#include "link/packet.h"

namespace zmr::sim {

namespace {

constexpr std::uint8_t kEmpty = 0xFF;
constexpr int kSlotBytes = 4;
constexpr int kSlotsPerDay = 128;
constexpr int kDayBytes = kSlotsPerDay * kSlotBytes;
constexpr int kChunkBytes = 64;
constexpr int kChunkPayload = 2 + kChunkBytes;
constexpr int kClockPayloadMin = 7;
constexpr int kFirstYear = 2000;
// A request whose bytes stop coming for this long is given up, so a torn frame
// cannot swallow the next request.
constexpr std::int64_t kStaleFrameMs = 200;
// After a gap in the timer's clock longer than this, missed minutes are not replayed.
constexpr int kMaxCatchUpMinutes = 24 * 60;

constexpr std::uint8_t kPulse = 4, kOn = 1, kOff = 2;
constexpr std::array<const char*, 7> kDayNames{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

std::string Hex(unsigned value, int width) {
  char text[8];
  std::snprintf(text, sizeof text, "%0*X", width, value);
  return text;
}

QDateTime StartOfMinute(const QDateTime& time) {
  return WallClock(time.date(), QTime(time.time().hour(), time.time().minute()));
}

std::string SlotText(std::span<const std::uint8_t> slot) {
  char text[24];
  const int minute = slot[0], hour = slot[1], pulse = slot[2], kind = slot[3];
  if (kind == kPulse) {
    std::snprintf(text, sizeof text, "%02d:%02d %ds", hour, minute, pulse);
  } else if (kind == kOn || kind == kOff) {
    std::snprintf(text, sizeof text, "%02d:%02d %s", hour, minute, kind == kOn ? "On" : "Off");
  } else {
    std::snprintf(text, sizeof text, "%02d:%02d k%d", hour, minute, kind);
  }
  return text;
}

}  // namespace

SimTimer::SimTimer(Clock& clock, SimConfig config, LogSink log)
    : clock_(clock),
      config_(std::move(config)),
      log_(std::move(log)),
      clock_base_(WallClock(config_.start_time.value_or(clock.now()))),
      clock_base_tick_(clock.tickMs()),
      activated_(config_.activated) {
  // Until a download arrives every slot reads empty, as on a fresh timer.
  memory_.fill(0);
  for (int slot = 0; slot < kMemorySize / kSlotBytes; ++slot) {
    memory_[slot * kSlotBytes] = kEmpty;
    memory_[slot * kSlotBytes + 1] = kEmpty;
  }
  last_minute_ = StartOfMinute(timerNow());
}

QDateTime SimTimer::timerNow() const { return clock_base_.addMSecs(clock_.tickMs() - clock_base_tick_); }

void SimTimer::setTimerClock(const QDateTime& time) {
  clock_base_ = WallClock(time);
  clock_base_tick_ = clock_.tickMs();
  last_minute_ = StartOfMinute(clock_base_);
}

int SimTimer::requests(char command) const { return request_counts_[static_cast<std::uint8_t>(command)]; }

void SimTimer::log(const std::string& line) const {
  if (log_) {
    log_(line);
  }
}

std::vector<SimReply> SimTimer::receive(std::span<const std::uint8_t> bytes) {
  const std::int64_t now = clock_.tickMs();
  if (!pending_.empty() && now - pending_since_ > kStaleFrameMs) {
    log("incomplete request of " + std::to_string(pending_.size()) + " bytes dropped");
    pending_.clear();
  }
  if (pending_.empty()) {
    pending_since_ = now;
  }
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());

  std::vector<SimReply> replies;
  for (;;) {
    const auto start = std::find(pending_.begin(), pending_.end(), kStartByte);
    if (start != pending_.begin()) {
      log(std::to_string(start - pending_.begin()) + " stray bytes dropped");
      pending_.erase(pending_.begin(), start);
    }
    if (pending_.size() < kHeaderSize) {
      break;
    }
    const std::size_t frame_size = kHeaderSize + pending_[3] + 1;
    if (pending_.size() < frame_size) {
      break;
    }
    const std::span frame(pending_.data(), frame_size);
    if (Checksum(frame.first(frame_size - 1)) != frame.back()) {
      // Resynchronise on the next start byte after this one.
      log("request with a bad checksum dropped");
      pending_.erase(pending_.begin());
      continue;
    }
    if (auto reply = handle(frame[1], frame.subspan(kHeaderSize, pending_[3]))) {
      replies.push_back(std::move(*reply));
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(frame_size));
    pending_since_ = now;
  }
  return replies;
}

std::optional<SimReply> SimTimer::handle(std::uint8_t command, std::span<const std::uint8_t> payload) {
  const char letter = static_cast<char>(command);
  const int n = ++request_counts_[command];
  const std::string name = std::isprint(static_cast<unsigned char>(letter)) ? std::string(1, letter)
                                                                              : "0x" + Hex(command, 2);
  std::string line = "request " + name + " #" + std::to_string(n) + ": ";
  const Faults& faults = config_.faults;
  // A failed request is lost on the way in: no effect and no answer.
  if (faults.silent || faults.fail.contains({letter, n})) {
    log(line + "not answered (" + (faults.silent ? "silent" : "fail " + name + ":" + std::to_string(n)) + ")");
    return std::nullopt;
  }
  std::string note;
  const auto reply_payload = answer(letter, payload, note);
  line += note;
  if (!reply_payload) {
    log(line);
    return std::nullopt;
  }
  auto frame = BuildFrame(faults.wrong_echo ? static_cast<std::uint8_t>(command ^ 0x20) : command, 0,
                          *reply_payload);
  if (faults.bad_checksum) {
    ++frame.back();
  }
  log(line);
  return SimReply{std::move(frame), faults.delay_ms};
}

std::optional<std::vector<std::uint8_t>> SimTimer::answer(char command, std::span<const std::uint8_t> payload,
                                                          std::string& note) {
  switch (command) {
    case 'L':
      note = "link check, OK";
      return std::vector<std::uint8_t>{'O', 'K'};
    case 'G': {
      auto status = statusPayload();
      if (config_.faults.short_status) {
        status.resize(std::clamp<std::size_t>(*config_.faults.short_status, 0, status.size()));
      }
      note = "status, " + std::to_string(status.size()) + " bytes";
      return status;
    }
    case 'U': {
      const QDate date = payload.size() >= kClockPayloadMin
                             ? QDate(kFirstYear + payload[2], payload[1], payload[0])
                             : QDate();
      const QTime time = payload.size() >= kClockPayloadMin ? QTime(payload[3], payload[4], payload[5]) : QTime();
      if (!date.isValid() || !time.isValid()) {
        note = "clock set refused, bad payload";
        return std::nullopt;
      }
      setTimerClock(WallClock(date, time));
      note = "clock set to " + timerNow().toString("yyyy-MM-dd hh:mm:ss").toStdString() + " day " +
             std::to_string(payload[6]);
      return std::vector<std::uint8_t>{};
    }
    case 'W': {
      const int address = payload.size() == kChunkPayload ? payload[0] | payload[1] << 8 : -1;
      if (address < 0 || address % kChunkBytes != 0 || address + kChunkBytes > kMemorySize) {
        note = "schedule write refused, bad chunk";
        return std::nullopt;
      }
      std::copy_n(payload.begin() + 2, kChunkBytes, memory_.begin() + address);
      const int first_slot = address % kDayBytes / kSlotBytes + 1;
      note = "schedule write at 0x" + Hex(address, 4) + " (" + kDayNames[address / kDayBytes] + " slots " +
             std::to_string(first_slot) + ".." + std::to_string(first_slot + kChunkBytes / kSlotBytes - 1) + ")";
      return std::vector<std::uint8_t>{};
    }
    case 'E':
    case 'D':
      activated_ = command == 'E';
      last_minute_ = StartOfMinute(timerNow());
      note = activated_ ? "activated" : "deactivated";
      return std::vector<std::uint8_t>{};
    case 'T':
      note = "output test";
      closeRelay(kTestPulseSeconds, "output test");
      return std::vector<std::uint8_t>{};
    default:
      note = "unknown command, not answered";
      return std::nullopt;
  }
}

std::vector<std::uint8_t> SimTimer::statusPayload() const {
  const QDateTime now = timerNow();
  const QDate date = now.date();
  const QTime time = now.time();
  std::vector<std::uint8_t> status{
      static_cast<std::uint8_t>(date.day()),  static_cast<std::uint8_t>(date.month()),
      static_cast<std::uint8_t>(std::clamp(date.year() - kFirstYear, 0, 255)),
      static_cast<std::uint8_t>(time.hour()), static_cast<std::uint8_t>(time.minute()),
      static_cast<std::uint8_t>(time.second()), static_cast<std::uint8_t>(date.dayOfWeek()),
      0, 0,  // not interpreted by the console
      static_cast<std::uint8_t>(activated_ ? 1 : 0), config_.firmware_major, config_.firmware_minor,
      static_cast<std::uint8_t>(relay_closed_ ? 1 : 0)};
  status.insert(status.end(), config_.serial.begin(), config_.serial.end());
  status.insert(status.end(), config_.product.begin(), config_.product.end());
  return status;
}

void SimTimer::closeRelay(std::optional<int> seconds, const std::string& why) {
  relay_closed_ = true;
  if (seconds) {
    relay_opens_at_ = clock_.tickMs() + *seconds * 1000LL;
    log("relay closed for " + std::to_string(*seconds) + " s (" + why + ")");
  } else {
    relay_opens_at_.reset();
    log("relay closed (" + why + ")");
  }
}

void SimTimer::openRelay(const std::string& why) {
  relay_closed_ = false;
  relay_opens_at_.reset();
  log("relay opened (" + why + ")");
}

void SimTimer::tick() {
  if (relay_opens_at_ && clock_.tickMs() >= *relay_opens_at_) {
    openRelay("pulse over");
  }
  const QDateTime minute = StartOfMinute(timerNow());
  if (!activated_ || last_minute_.secsTo(minute) / 60 > kMaxCatchUpMinutes || minute < last_minute_) {
    last_minute_ = minute;
    return;
  }
  while (last_minute_ < minute) {
    last_minute_ = last_minute_.addSecs(60);
    fireMinute(last_minute_);
  }
}

void SimTimer::fireMinute(const QDateTime& minute) {
  const int day = minute.date().dayOfWeek() - 1;
  for (int slot = 0; slot < kSlotsPerDay; ++slot) {
    const auto bytes = std::span(memory_).subspan(day * kDayBytes + slot * kSlotBytes, kSlotBytes);
    if (bytes[0] == kEmpty && bytes[1] == kEmpty) {
      return;  // the day ends at its first empty slot
    }
    if (bytes[1] != minute.time().hour() || bytes[0] != minute.time().minute()) {
      continue;
    }
    const std::string why = std::string(kDayNames[day]) + " " + SlotText(bytes) + " event";
    if (bytes[3] == kPulse && bytes[2] > 0) {
      closeRelay(bytes[2], why);
    } else if (bytes[3] == kOn) {
      closeRelay(std::nullopt, why);
    } else if (bytes[3] == kOff) {
      openRelay(why);
    }
  }
}

std::string SimTimer::weekTable() const {
  std::array<std::vector<std::string>, 7> days;
  std::size_t rows = 0;
  for (int day = 0; day < 7; ++day) {
    for (int slot = 0; slot < kSlotsPerDay; ++slot) {
      const auto bytes = std::span(memory_).subspan(day * kDayBytes + slot * kSlotBytes, kSlotBytes);
      if (bytes[0] == kEmpty && bytes[1] == kEmpty) {
        break;
      }
      days[day].push_back(SlotText(bytes));
    }
    rows = std::max(rows, days[day].size());
  }
  std::ostringstream out;
  out << "timer schedule (" << (activated_ ? "activated" : "deactivated") << ")\n";
  char cell[32];
  out << "slot";
  for (const char* name : kDayNames) {
    std::snprintf(cell, sizeof cell, " %-11s", name);
    out << cell;
  }
  out << '\n';
  for (std::size_t row = 0; row < rows; ++row) {
    std::snprintf(cell, sizeof cell, "%4zu", row + 1);
    out << cell;
    for (const auto& day : days) {
      std::snprintf(cell, sizeof cell, " %-11s", row < day.size() ? day[row].c_str() : "");
      out << cell;
    }
    out << '\n';
  }
  if (rows == 0) {
    out << "(no events)\n";
  }
  return out.str();
}

}  // namespace zmr::sim
