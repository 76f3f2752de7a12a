#pragma once
// The last upkeep run of each plan, kept in the state folder so that a failure of the
// unattended job stays in sight: `zmrctl upkeep --last`, the Year Plan window and a
// site's OnFailure hook read it back with LastUpkeepRun. One small JSON file per plan,
// replaced crash-safe at the end of each run.
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

#include "plan/upkeep.h"

namespace zmr {

struct UpkeepRunRecord {
  QDateTime when;  // UTC, when the run ended
  QString plan;    // the plan file, absolute
  UpkeepOutcome outcome = UpkeepOutcome::Done;
  int exit_status = 0;
  std::vector<UpkeepEvent> events;  // all the run told, in order
};

// The record's file for a plan: "<state>/runs/<plan file name>-<hash of its path>.json".
QString UpkeepRunFile(const QString& state_folder, const QString& plan_path);

// Writes the run as the plan's last one; a record that cannot be written is returned as
// the text that says so (empty on success).
QString RecordUpkeepRun(const QString& state_folder, const UpkeepRunRecord& run);

// The plan's last recorded run; nullopt when none is recorded (or the file is not ours).
std::optional<UpkeepRunRecord> LastUpkeepRun(const QString& state_folder, const QString& plan_path);

// "last run 2027-05-10 06:00:02: timer failed (exit 5)", in local time.
QString UpkeepRunHeadline(const UpkeepRunRecord& run);
// The same without "last run ".
QString UpkeepRunOutcome(const UpkeepRunRecord& run);

// What a window says of a plan's last run: the headline, and for a run that did not end
// well the lines that say why; a sentence of its own when none is recorded.
QString LastRunSummary(const std::optional<UpkeepRunRecord>& run);

}  // namespace zmr
