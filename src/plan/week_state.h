#pragma once
// What each timer was last given: per port, a hash of the week it received and when.
// Every completed download records it (window, zmrctl download, upkeep), so upkeep never
// repeats a download someone just made. One small file per port, each replaced
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

// The same timer is the same key however its port is named: a COM<n> is taken by the
// device it leads to, a link by the device node it points at; a name that leads to no
// device (a network address) stands for itself.
QString PortKey(const QString& port_name);

// $STATE_DIRECTORY (set by systemd for a service's StateDirectory), else
// $XDG_STATE_HOME/zmr-console, else ~/.local/state/zmr-console.
QString DefaultStateFolder();

class WeekStateStore {
 public:
  explicit WeekStateStore(QString folder) : folder_(std::move(folder)) {}

  // Nothing known (no file, or one that is not ours) is nullopt: the week is then sent.
  std::optional<WeekRecord> held(const QString& port_name) const;
  // Creates the folder when needed. Throws IoError.
  void record(const QString& port_name, const WeekRecord& record) const;
  // True when the record says the timer holds week_hash and got it at most
  // kWeekTrustDays before now (a record from the future, beyond a clock change, is not trusted).
  static bool Fresh(const std::optional<WeekRecord>& record, const QString& week_hash, const QDateTime& now);

  const QString& folder() const { return folder_; }
  QString fileFor(const QString& port_name) const;

 private:
  QString folder_;
};

// After a completed download: the week now in the timer on that port. A record that
// cannot be written is reported as the returned text (empty on success); the download
// itself stands.
QString RecordDownload(const QString& state_folder, const QString& port_name, const ProjectSetup& project,
                       const QDateTime& now);

}  // namespace zmr
