#include "plan/failure_hook.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cerrno>

#include "base/errors.h"
#include "plan/upkeep_record.h"

namespace zmr {

HookRun RunFailureHook(const QString& hook, const QString& plan_name, const QByteArray& input, int wait_ms) {
  struct stat st {};
  if (::stat(QFile::encodeName(hook).constData(), &st) != 0) {
    if (errno == ENOENT) return {};
    return {HookOutcome::Refused, 0,
            QStringLiteral("%1 cannot be read: %2").arg(hook, QString::fromStdString(WithFullStop(IoError::fromErrno(errno).what())))};
  }
  if (!S_ISREG(st.st_mode) || (st.st_mode & S_IXUSR) == 0) {
    return {HookOutcome::Refused, 0, QStringLiteral("%1 is not an executable file").arg(hook)};
  }
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0 || (st.st_uid != 0 && st.st_uid != ::geteuid())) {
    return {HookOutcome::Refused, 0,
            QStringLiteral("%1 could be changed by others than its owner or root; it is not run").arg(hook)};
  }
  QProcess process;
  // Whatever the hook says goes where this program's output goes: the journal.
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.start(hook, {plan_name});
  if (!process.waitForStarted(wait_ms)) {
    return {HookOutcome::Failed, 0, QStringLiteral("%1 could not be started: %2").arg(hook, process.errorString())};
  }
  process.write(input);
  process.closeWriteChannel();
  if (!process.waitForFinished(wait_ms)) {
    process.kill();
    process.waitForFinished(wait_ms);
    return {HookOutcome::Failed, 0, QStringLiteral("%1 did not end within %2 s").arg(hook).arg(wait_ms / 1000)};
  }
  if (process.exitStatus() != QProcess::NormalExit) {
    return {HookOutcome::Failed, 0, QStringLiteral("%1 was ended by a signal").arg(hook)};
  }
  return {HookOutcome::Ran, process.exitCode(), {}};
}

QStringList LastRunReport(const QString& state_folder, const QString& plan_path) {
  const QString prefix = QFileInfo(plan_path).completeBaseName() + QStringLiteral(": ");
  const std::optional<UpkeepRunRecord> last = LastUpkeepRun(state_folder, plan_path);
  if (!last) return {prefix + QStringLiteral("no upkeep run is recorded in ") + state_folder};
  QStringList lines{prefix + UpkeepRunHeadline(*last)};
  for (const UpkeepEvent& e : last->events) lines << prefix + UpkeepEventLine(e);
  return lines;
}

}  // namespace zmr
