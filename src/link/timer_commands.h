#pragma once
// Payloads of the command set: the clock a ClockSet carries and the texts the status
// dialog makes of a StatusReply.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include <QDateTime>
#include <QString>

#include "link/timer_link.h"

namespace zmr {

inline constexpr int kClockPayloadSize = 10;
inline constexpr int kStatusReplySize = 29;
inline constexpr int kTimerFirstYear = 2000;
inline constexpr int kTimerLastYear = 2255;

using ClockPayload = std::array<std::uint8_t, kClockPayloadSize>;

// The PC clock as the timer takes it, or why it cannot be sent.
struct ClockPayloadResult {
  std::optional<ClockPayload> payload;
  QString refusal;  // set when payload is empty: the text to show in an error box
};

// Day, month, year - 2000, hour, minute, second + 1 (59 stays 59), weekday
// (Monday = 1 .. Sunday = 7), three zero bytes. A year outside 2000..2255 cannot be
// carried: no payload, and a refusal text instead.
ClockPayloadResult MakeClockPayload(const QDateTime& pc_time);

// The text shown when the PC clock's year cannot be sent to the timer.
QString ClockYearRefusalText(int year);

// Clock synchronisation on the line: LinkPreamble, the payload into link_data 0..9,
// then ClockSet with length 10. True when the timer acknowledged it.
bool SendClock(TimerLink& link, const ClockPayload& payload);

// The status dialog's field texts. The clock and activation come from the reply in
// link_data; firmware, serial number and product code from unit_status.
struct StatusTexts {
  QString hardwaredt;       // "05/03/2009   14:07:09 day 4"
  QString timerstate;       // "Activated" / "Deactivated"
  QString firmwareversion;  // "v 1.5"
  QString serialnum;        // the eight numbers one after another
  QString productcode;      // the characters up to the first zero byte
};
StatusTexts MakeStatusTexts(std::span<const std::uint8_t, kLinkDataSize> link_data,
                            std::span<const std::uint8_t, kUnitStatusSize> unit_status);

// Decimal with a leading "0" below 10; larger values in full.
QString TwoDigits(int value);

}  // namespace zmr
