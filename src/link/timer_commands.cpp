#include "link/timer_commands.h"

#include <algorithm>

#include "base/cp1252.h"

namespace zmr {

namespace {
constexpr int kLastSecond = 59;
constexpr int kSunday = 7;

// StatusReply offsets in link_data.
namespace reply_at {
constexpr int kDay = 0, kMonth = 1, kYear = 2, kHour = 3, kMinute = 4, kSecond = 5, kWeekday = 6,
              kActivation = 9;
}
constexpr std::uint8_t kActivated = 1;
constexpr int kSerialBytes = 8;
constexpr int kProductCodeBytes = 8;
}  // namespace

QString ClockYearRefusalText(int year) {
  return QStringLiteral(
             "The PC clock reads the year %1. The timer's clock can only be set to a date in the "
             "years %2 to %3; please correct the PC clock first.")
      .arg(year)
      .arg(kTimerFirstYear)
      .arg(kTimerLastYear);
}

ClockPayloadResult MakeClockPayload(const QDateTime& pc_time) {
  const QDate date = pc_time.date();
  const QTime time = pc_time.time();
  if (date.year() < kTimerFirstYear || date.year() > kTimerLastYear) {
    return {std::nullopt, ClockYearRefusalText(date.year())};
  }
  const int second = time.second() < kLastSecond ? time.second() + 1 : kLastSecond;
  // QDate numbers the week Monday = 1 .. Sunday = 7 already, as the timer does.
  const int weekday = date.dayOfWeek();
  ClockPayload payload{};
  payload[0] = static_cast<std::uint8_t>(date.day());
  payload[1] = static_cast<std::uint8_t>(date.month());
  payload[2] = static_cast<std::uint8_t>(date.year() - kTimerFirstYear);
  payload[3] = static_cast<std::uint8_t>(time.hour());
  payload[4] = static_cast<std::uint8_t>(time.minute());
  payload[5] = static_cast<std::uint8_t>(second);
  payload[6] = static_cast<std::uint8_t>(weekday > 0 ? weekday : kSunday);
  return {payload, {}};
}

bool SendClock(TimerLink& link, const ClockPayload& payload) {
  link.LinkPreamble();
  std::copy(payload.begin(), payload.end(), link.link_data.begin());
  return link.Transact(TimerCommand::ClockSet, 0, kClockPayloadSize);
}

QString TwoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

StatusTexts MakeStatusTexts(std::span<const std::uint8_t, kLinkDataSize> link_data,
                            std::span<const std::uint8_t, kUnitStatusSize> unit_status) {
  using namespace unit_status_at;
  StatusTexts texts;
  texts.hardwaredt = TwoDigits(link_data[reply_at::kDay]) + '/' + TwoDigits(link_data[reply_at::kMonth]) +
                     '/' + QString::number(kTimerFirstYear + link_data[reply_at::kYear]) +
                     QStringLiteral("   ") + TwoDigits(link_data[reply_at::kHour]) + ':' +
                     TwoDigits(link_data[reply_at::kMinute]) + ':' +
                     TwoDigits(link_data[reply_at::kSecond]) + QStringLiteral(" day ") +
                     QString::number(link_data[reply_at::kWeekday]);
  texts.timerstate = link_data[reply_at::kActivation] == kActivated ? QStringLiteral("Activated")
                                                                     : QStringLiteral("Deactivated");
  texts.firmwareversion = QStringLiteral("v ") + QString::number(unit_status[kFirmwareMajor]) + '.' +
                          QString::number(unit_status[kFirmwareMinor]);
  for (int i = 0; i < kSerialBytes; ++i) {
    texts.serialnum += QString::number(unit_status[kSerial + i]);
  }
  const auto code = unit_status.subspan(kProductCode, kProductCodeBytes);
  const auto end = std::find(code.begin(), code.end(), std::uint8_t{0});
  texts.productcode = FromCp1252(std::string_view(reinterpret_cast<const char*>(code.data()),
                                                  static_cast<std::size_t>(end - code.begin())));
  return texts;
}

}  // namespace zmr
