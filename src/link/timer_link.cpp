#include "link/timer_link.h"

#include <algorithm>
#include <span>

#include "base/errors.h"

namespace zmr {

namespace {
// StatusReply byte for each unit_status byte 0..6; bytes 7..26 copy reply bytes 9..28.
constexpr std::array<int, 7> kClockFromReply{2, 1, 0, 6, 3, 4, 5};
constexpr int kStatusCopyFrom = 9;
}  // namespace

bool TimerLink::awaitFirstByte(std::uint8_t& byte) {
  // Each poll notes the time-out before it reads, so a byte read on the poll that saw
  // the time-out still counts as too late. Between polls the port is waited on, not spun.
  const std::int64_t t0 = clock_.tickMs();
  for (;;) {
    const std::int64_t elapsed = clock_.tickMs() - t0;
    const bool timed_out = elapsed > kFirstByteTimeoutMs;
    const auto got = port_.read(1);
    if (timed_out) {
      return false;
    }
    if (!got.empty()) {
      byte = got.front();
      return true;
    }
    port_.waitReadable(static_cast<int>(kFirstByteTimeoutMs + 1 - elapsed));
  }
}

std::uint8_t TimerLink::readHeaderByte() {
  clock_.sleepMs(kHeaderBytePauseMs);
  const auto got = port_.read(1);
  return got.empty() ? 0 : got.front();
}

// A byte already there is taken; otherwise it is waited for up to the inter-byte
// time-out, but never past the reply's deadline.
bool TimerLink::readPayloadByte(std::uint8_t& byte, std::int64_t deadline) {
  auto got = port_.read(1);
  if (got.empty()) {
    const std::int64_t left = deadline - clock_.tickMs();
    if (left > 0 && port_.waitReadable(static_cast<int>(std::min<std::int64_t>(kInterByteTimeoutMs, left)))) {
      got = port_.read(1);
    }
  }
  if (got.empty()) {
    return false;
  }
  byte = got.front();
  return true;
}

void TimerLink::ReopenIfDeviceLost() {
  if (!port_.isOpen() || !port_.lostDevice() || holding_.name.isEmpty()) {
    return;
  }
  port_.close();
  port_.open(holding_.name);
  port_.purge(true, true);
}

bool TimerLink::Transact(TimerCommand command, std::uint8_t value, std::uint8_t length) {
  try {
    ReopenIfDeviceLost();
    return exchange(static_cast<std::uint8_t>(command), value, length);
  } catch (const PortError&) {
    // The device is gone or the line is unusable: open afresh next time.
    port_.close();
    throw;
  }
}

bool TimerLink::exchange(std::uint8_t code, std::uint8_t value, std::uint8_t length) {
  port_.purge(true, true);
  port_.write(BuildFrame(code, value, std::span(link_data).first(length)));
  clock_.sleepMs(kPauseAfterWriteMs);

  std::array<std::uint8_t, kHeaderSize> header{};
  if (!awaitFirstByte(header[0])) {
    return false;
  }
  const std::int64_t first_byte_at = clock_.tickMs();
  for (std::size_t i = 1; i < kHeaderSize; ++i) {
    header[i] = readHeaderByte();
  }
  if (header[0] != kStartByte || header[1] != code) {
    return false;
  }
  const std::uint8_t payload_length = header[3];
  const std::int64_t deadline = first_byte_at + ReplyBudgetMs(payload_length);
  std::fill_n(link_data.begin(), kClearedBeforeReply, std::uint8_t{0});
  unsigned sum = Checksum(header);
  for (std::size_t i = 0; i < payload_length; ++i) {
    if (!readPayloadByte(link_data[i], deadline)) {
      return false;
    }
    sum += link_data[i];
  }
  std::uint8_t received_checksum = 0;
  if (!readPayloadByte(received_checksum, deadline)) {
    return false;
  }
  if (static_cast<std::uint8_t>(sum) != received_checksum) {
    return false;
  }
  reply_length_ = payload_length;
  return true;
}

void TimerLink::LinkPreamble() {
  Transact(TimerCommand::LinkCheck, 0, 0);
  clock_.sleepMs(kPreamblePauseMs);
}

bool TimerLink::QueryStatus() {
  if (!Transact(TimerCommand::StatusQuery, 0, 0)) {
    return false;
  }
  for (std::size_t i = 0; i < kClockFromReply.size(); ++i) {
    unit_status[i] = link_data[kClockFromReply[i]];
  }
  std::copy_n(link_data.begin() + kStatusCopyFrom, kUnitStatusSize - kClockFromReply.size(),
              unit_status.begin() + kClockFromReply.size());
  return true;
}

}  // namespace zmr
