#pragma once
// What each timer was last given: per timer, a hash of the week it received and when.
// Every download clears it before its first chunk and writes it after its closing check
// (window, zmrctl download, upkeep), so a cut download is never believed and upkeep
// never repeats a download someone just made. One small file per timer, each replaced
// crash-safe, so upkeep runs for different timers never write the same file.
#include <QDateTime>
#include <QString>
#include <optional>

#include "project/project_model.h"

namespace zmr {

// A week counts as known to be in the timer for this long; after that it is sent again,
// in case someone changed the timer by other means.
inline constexpr int kWeekTrustDays = 7;

struct WeekRecord {
  QString week_hash;  // WeekHash of what was sent
  QDateTime when;     // UTC
};

// SHA-256 (hex) of exactly the chunks a download sends: two projects that put the same
// bytes into the timer have one hash, whatever their titles and summaries.
QString WeekHash(const ProjectSetup& project);

// Which timer a port name stands for, in a form that does not move: the
// /dev/serial/by-id name of the device when it has one, the canonical network address
// (CanonicalTimerAddress), else the device path with its links resolved. `legacy` is
// the key records were kept under before (the resolved device node, or the address as
// written), still read when no record exists under `key`.
struct TimerKey {
  QString key;
  QString legacy;
};
TimerKey TimerKeyOf(const QString& port_name);

// $STATE_DIRECTORY (set by systemd for a service's StateDirectory), else
// $XDG_STATE_HOME/zmr-console, else ~/.local/state/zmr-console.
QString DefaultStateFolder();

class WeekStateStore {
 public:
  explicit WeekStateStore(QString folder) : folder_(std::move(folder)) {}

  // Nothing known (no file, a cleared record, or one that is not ours) is nullopt: the
  // week is then sent.
  std::optional<WeekRecord> held(const TimerKey& timer) const;
  // Creates the folder when needed. Both throw IoError.
  void record(const TimerKey& timer, const WeekRecord& record) const;
  // What the timer holds is unknown from now on (a download is about to change it).
  void forget(const TimerKey& timer) const;
  // True when the record says the timer holds week_hash and got it at most
  // kWeekTrustDays before now (a record from the future, beyond a clock change, is not trusted).
  static bool Fresh(const std::optional<WeekRecord>& record, const QString& week_hash, const QDateTime& now);

  const QString& folder() const { return folder_; }
  QString fileFor(const QString& key) const;

 private:
  void write(const TimerKey& timer, const QString& hash, const QDateTime& when) const;

  QString folder_;
};

// The two ends of a download. Each reports a record that cannot be written as the
// returned text (empty on success); the download itself goes on or stands.
QString ForgetDownload(const QString& state_folder, const TimerKey& timer);
QString RecordDownload(const QString& state_folder, const TimerKey& timer, const ProjectSetup& project,
                       const QDateTime& now);

// True when the record says the timer holds exactly this project's week, however long ago
// it was given.
bool TimerHoldsWeek(const QString& state_folder, const TimerKey& timer, const ProjectSetup& project);

}  // namespace zmr
