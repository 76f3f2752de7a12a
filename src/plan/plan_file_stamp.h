#pragma once
// Whether a plan file changed since it was read: a fingerprint of its bytes.
#include <QByteArray>
#include <QString>

namespace zmr {

struct YearPlan;

// SHA-256 of the file's bytes as they are now; empty when it cannot be read. Only a
// regular file is read, and at most a little more than the largest plan, so a path that
// became a FIFO or a huge file never holds the window.
QByteArray PlanFileStamp(const QString& path);

// One fingerprint of every week file the plan names, as they are now: a week edited
// elsewhere (in the main window, say) changes it.
QByteArray PlanWeeksStamp(const YearPlan& plan);

}  // namespace zmr
