#pragma once
// Whether a plan file changed since it was read: a fingerprint of its bytes.
#include <QByteArray>
#include <QString>

namespace zmr {

// SHA-256 of the file's bytes as they are now; empty when it cannot be read. Only a
// regular file is read, and at most a little more than the largest plan, so a path that
// became a FIFO or a huge file never holds the window.
QByteArray PlanFileStamp(const QString& path);

}  // namespace zmr
