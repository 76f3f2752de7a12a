#include "hardware/download.h"

#include <cmath>
#include <optional>

#include "base/errors.h"
#include "base/prompts.h"
#include "hardware/activation.h"
#include "hardware/download_view.h"
#include "hardware/schedule_format.h"
#include "hardware/wall_clock.h"
#include "link/port_lease.h"
#include "link/timer_commands.h"
#include "link/timer_link.h"
#include "project/project_model.h"

namespace zmr {
namespace {

constexpr double kOneMinuteInDays = 0.000694444;
constexpr double kMsPerDay = 86400000.0;
constexpr std::uint8_t kDayChunkLength = kDayChunkSize;

// Puts the buttons back and the cursor with them on every way out of a handler,
// including a port error that passes through.
class ButtonsBack {
 public:
  ButtonsBack(DownloadView& view, bool all) : view_(view), all_(all) {}
  ~ButtonsBack() {
    if (all_) {
      view_.setAllEnabled(true);
    } else {
      view_.setUpdateEnabled(true);
    }
  }
  ButtonsBack(const ButtonsBack&) = delete;
  ButtonsBack& operator=(const ButtonsBack&) = delete;

 private:
  DownloadView& view_;
  bool all_;
};

void Warn(Prompts& prompts, const QString& text) {
  prompts.beep();
  prompts.message(BoxKind::Warning, text);
}

// Returns false when the reply holds no valid clock.
bool CompareClocks(DownloadContext& c, BusyCursor& busy) {
  const QDateTime timer = TimerWallClock(c.link.link_data);
  const int timer_weekday = c.link.link_data[6];
  if (!timer.isValid()) {
    c.view.addLine(QStringLiteral("Timer date/time is not valid: %1/%2/%3 %4:%5:%6")
                       .arg(c.link.link_data[0])
                       .arg(c.link.link_data[1])
                       .arg(2000 + c.link.link_data[2])
                       .arg(c.link.link_data[3])
                       .arg(c.link.link_data[4])
                       .arg(c.link.link_data[5]));
    return false;
  }
  c.view.addLine(QStringLiteral("Timer date/time: ") + ReportDateTime(timer, c.formats) + QStringLiteral(" day ") +
                 QString::number(timer_weekday));
  const QDateTime pc = c.link.clock().now();
  const int pc_weekday = pc.date().dayOfWeek();  // Monday = 1 .. Sunday = 7
  c.view.addLine(QStringLiteral("PC date/time:     ") + ReportDateTime(pc, c.formats) + QStringLiteral(" day ") +
                 QString::number(pc_weekday));

  // Both readings as wall-clock values: the night of a daylight-saving change is no
  // different from any other.
  const double difference_days = std::fabs(static_cast<double>(WallClockMsecs(timer, pc))) / kMsPerDay;
  if (difference_days > kOneMinuteInDays) {
    busy.restore();
    Warn(c.prompts, kClockDifferenceText);
  }
  if (pc_weekday != timer_weekday) {
    busy.restore();
    Warn(c.prompts, kClockDifferenceText);
    c.view.setAllEnabled(true);
  }
  busy.restore();
  return true;
}

// A port error's text as the memo's last line, so the window still tells what happened
// once the error box is closed.
QString PortErrorLine(const PortError& error) { return QString::fromStdString(WithFullStop(error.what())); }

void Fail(DownloadContext& c, const QString& line) {
  c.prompts.beep();
  c.view.addLine(line);
}

}  // namespace

DownloadResult DownloadSchedule(DownloadContext& c, const ProjectSetup& project, ProjectState& state,
                                const QString& port_name) {
  // Nothing of an earlier run stays on show: neither its lines nor its full bar.
  const auto fresh_report = [&c] {
    c.view.clearLines();
    c.view.setProgress(0, kDays);
  };
  std::optional<PortLease> lease;
  try {
    lease.emplace(c.link, port_name);
  } catch (const PortError& error) {
    fresh_report();
    c.view.addLine(PortErrorLine(error));
    throw;
  }
  BusyCursor busy(c.prompts);
  c.view.setAllEnabled(false);
  ButtonsBack buttons_back(c.view, true);
  fresh_report();
  bool sending = false;
  // A port error part-way through the sending leaves a line saying so, like a failed write.
  struct SendingNote {
    DownloadView& view;
    bool& sending;
    int exceptions = std::uncaught_exceptions();
    ~SendingNote() {
      if (sending && std::uncaught_exceptions() > exceptions) {
        view.addLine(kDownloadFailedLine);
      }
    }
  } note{c.view, sending};

  bool connected = false;
  try {
    c.link.LinkPreamble();
    c.view.addLine(QStringLiteral("Establishing a Connection . . ."));
    connected = c.link.Transact(TimerCommand::LinkCheck, 0, 0);
  } catch (const PortError& error) {
    c.view.addLine(PortErrorLine(error));
    throw;
  }
  if (!connected) {
    busy.restore();
    Fail(c, kTimerNotFoundText);
    return DownloadResult::NoConnection;
  }
  c.view.addLine(QStringLiteral("Connected . . ."));
  c.view.setProgress(0, kDays);
  // From the first chunk on the timer may hold half of one week and half of another.
  if (c.record) c.record_fault = ForgetDownload(c.record->state_folder, c.record->timer);

  sending = true;
  for (int day = 1; day <= kDays; ++day) {
    c.view.addLine(QStringLiteral("Downloading Day ") + QString::number(day));
    c.view.setProgress(day, kDays);
    for (int chunk = 1; chunk <= kChunksPerDay; ++chunk) {
      const BuiltChunk built = BuildChunk(project, day, chunk);
      std::copy(built.bytes.begin(), built.bytes.end(), c.link.link_data.begin());
      c.prompts.processEvents();
      if (!c.link.Transact(TimerCommand::ScheduleWrite, 0, kDayChunkLength)) {
        sending = false;
        busy.restore();
        Fail(c, kDownloadFailedLine);
        return DownloadResult::WriteFailed;
      }
      if (built.ends_day) {
        break;
      }
    }
  }
  sending = false;

  c.view.addLine(QStringLiteral("Download Successful!"));
  state.project_changed = false;
  c.prompts.processEvents();
  c.view.setUpdateEnabled(true);
  c.link.LinkPreamble();
  if (!c.link.QueryStatus() || !CompareClocks(c, busy)) {
    busy.restore();
    c.prompts.beep();
    c.prompts.message(BoxKind::Error, kTimerNotFoundText);
    return DownloadResult::StatusFailed;
  }
  if (c.record) {
    const QString fault = RecordDownload(c.record->state_folder, c.record->timer, project, c.link.clock().now());
    if (c.record_fault.isEmpty()) c.record_fault = fault;
  }

  if (c.link.unit_status[unit_status_at::kActivation] != 1) {
    c.prompts.beep();
    if (c.prompts.message(BoxKind::Warning, kActivateQuestionText, BoxButtons::YesNo) == BoxAnswer::Yes) {
      c.view.addLine(ActivateTimer(c.link, c.prompts) ? QStringLiteral("Activation successful!")
                                                      : QStringLiteral("Activation unsuccessful!"));
    }
  }
  c.prompts.beep();
  return DownloadResult::Completed;
}

bool SynchronizeClock(DownloadContext& c, const QString& port_name) {
  const PortLease lease(c.link, port_name);
  BusyCursor busy(c.prompts);
  c.view.setUpdateEnabled(false);
  ButtonsBack buttons_back(c.view, false);

  const ClockPayloadResult payload = MakeClockPayload(c.link.clock().now());
  if (!payload.payload) {
    busy.restore();
    c.prompts.beep();
    c.prompts.message(BoxKind::Error, payload.refusal);
    return false;
  }
  if (!SendClock(c.link, *payload.payload)) {
    busy.restore();
    c.prompts.beep();
    c.prompts.message(BoxKind::Error, kTimerNotFoundText);
    return false;
  }
  c.view.addLine(kClockUpdatedLine);
  return true;
}

}  // namespace zmr
