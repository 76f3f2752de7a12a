#include "hardware/status_report.h"

#include "base/prompts.h"
#include "link/timer_link.h"

namespace zmr {

std::optional<StatusTexts> ReadTimerStatus(TimerLink& link, Prompts& prompts) {
  BusyCursor busy(prompts);
  prompts.processEvents();
  link.LinkPreamble();
  if (!link.QueryStatus()) {
    busy.restore();
    prompts.beep();
    prompts.message(BoxKind::Error, kTimerNotFoundText);
    return std::nullopt;
  }
  busy.restore();
  return MakeStatusTexts(link.link_data, link.unit_status);
}

bool SetTimerClock(TimerLink& link, Prompts& prompts) {
  BusyCursor busy(prompts);
  // The clock is read before the preamble's pause; the payload carries that reading.
  const ClockPayloadResult payload = MakeClockPayload(link.clock().now());
  if (!payload.payload) {
    busy.restore();
    prompts.beep();
    prompts.message(BoxKind::Error, payload.refusal);
    return false;
  }
  const bool ok = SendClock(link, *payload.payload);
  busy.restore();
  if (!ok) {
    prompts.message(BoxKind::Error, kTimerNotFoundText);
  }
  return ok;
}

QString PcDateTimeText(const QDateTime& now, const DateTimeFormats& formats) {
  return now.date().toString(formats.short_date) + ' ' + now.time().toString(formats.long_time);
}

QString StatusReport(const StatusTexts& shown, const QString& pc_date_time) {
  const QString tab = QStringLiteral("\t");
  const QString end = QStringLiteral("\r\n");
  return kProductCodeCaption + tab + tab + shown.productcode + end +         //
         kSerialNumberCaption + tab + tab + shown.serialnum + end +          //
         kFirmwareCaption + tab + shown.firmwareversion + end +              //
         QStringLiteral("Program version:") + tab + kProgramVersion + end +  //
         kUnitDateTimeCaption + tab + tab + shown.hardwaredt + end +         //
         QStringLiteral("PC date/time:") + tab + tab + pc_date_time + end;
}

}  // namespace zmr
