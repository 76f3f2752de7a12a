#include "plan/upkeep_job.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <set>

#include "plan/holiday_calendar.h"

namespace zmr {
namespace {

// systemctl answers from the unit files at once; a hung D-Bus must not hang the window.
constexpr int kSystemctlWaitMs = 3000;

// Instance names that need no escaping, so the unit finds the plan by them as they are.
bool PlainInstanceName(const QString& name) {
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_.][A-Za-z0-9_.-]*$"));
  return plain.match(name).hasMatch();
}

// Quoted for a POSIX shell when it needs it.
QString ShellWord(const QString& word) {
  static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9_./@%+=:,-]+$"));
  if (safe.match(word).hasMatch()) return word;
  return QStringLiteral("'") + QString(word).replace(u'\'', QStringLiteral("'\\''")) + QStringLiteral("'");
}

QString EnableCommand(const QString& unit) { return QStringLiteral("sudo systemctl enable --now ") + unit; }

// The plan and every file it names by a relative path, copied into the plans folder with
// their folders, then the job turned on.
QString CopyAndEnableCommand(const YearPlan& plan, const QString& plans_folder, const QString& unit) {
  QStringList files{QFileInfo(plan.path).fileName()};
  std::set<QString> seen;
  QStringList named{plan.week};
  for (const PlanPeriod& p : plan.periods) named << p.week;
  for (const CalendarSource& c : CalendarSources(plan)) {
    if (!c.web) named << c.source;  // a web address is fetched wherever the plan is
  }
  for (const QString& n : named) {
    if (!n.isEmpty() && QDir::isRelativePath(n) && !n.startsWith(QStringLiteral("..")) && seen.insert(n).second) {
      files << n;
    }
  }
  QStringList words{QStringLiteral("cd"), ShellWord(QFileInfo(plan.path).absolutePath()), QStringLiteral("&&"),
                    QStringLiteral("sudo mkdir -p"), ShellWord(plans_folder), QStringLiteral("&&"),
                    QStringLiteral("sudo cp --parents")};
  for (const QString& f : files) words << ShellWord(f);
  words << ShellWord(plans_folder + u'/') << QStringLiteral("&&") << EnableCommand(unit);
  return words.join(u' ');
}

}  // namespace

QString UpkeepTimerUnit(const QString& plan_name) { return QStringLiteral("zmr-upkeep@%1.timer").arg(plan_name); }

ServiceAnswer SystemctlQuery::isEnabled(const QString& unit) const {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(QStringLiteral("systemctl"), {QStringLiteral("is-enabled"), unit});
  ServiceAnswer answer;
  if (!process.waitForStarted(kSystemctlWaitMs)) return answer;
  if (!process.waitForFinished(kSystemctlWaitMs)) {
    process.kill();
    process.waitForFinished(kSystemctlWaitMs);
    return answer;
  }
  answer.ran = process.exitStatus() == QProcess::NormalExit;
  answer.exit_code = process.exitCode();
  answer.output = QString::fromLocal8Bit(process.readAll()).section(u'\n', 0, 0).trimmed();
  return answer;
}

JobLine UnattendedJob(const YearPlan& plan, const ServiceQuery& query, const QString& plans_folder) {
  const QString unit = UpkeepTimerUnit(plan.name);
  if (!PlainInstanceName(plan.name)) {
    return {JobState::BadName,
            QStringLiteral("The unattended job needs a plan whose name is only letters, digits, '-', '_' and '.'; "
                           "save this plan under such a name."),
            QString()};
  }
  const QString expected = QDir(plans_folder).filePath(plan.name + QStringLiteral(".toml"));
  if (QFileInfo(plan.path).absoluteFilePath() != QFileInfo(expected).absoluteFilePath()) {
    return {JobState::Elsewhere,
            QStringLiteral("The unattended job only runs plans kept in %1. To copy this plan there with its files "
                           "and turn the job on:")
                .arg(plans_folder),
            CopyAndEnableCommand(plan, plans_folder, unit)};
  }
  const ServiceAnswer answer = query.isEnabled(unit);
  if (!answer.ran) {
    return {JobState::NoSystemd,
            QStringLiteral("Cannot tell whether the unattended job is on: systemd does not answer on this PC. "
                           "Where it runs, this turns the job on:"),
            EnableCommand(unit)};
  }
  // is-enabled says "enabled" (and exit 0) for a timer that starts with the PC.
  if (answer.exit_code == 0 && answer.output.startsWith(QStringLiteral("enabled"))) {
    return {JobState::On, QStringLiteral("The unattended job is on: %1 keeps the timer to this plan every hour.").arg(unit),
            QString()};
  }
  if (answer.output.startsWith(QStringLiteral("masked"))) {
    return {JobState::Masked, QStringLiteral("The unattended job is switched off for good (masked). To turn it on:"),
            QStringLiteral("sudo systemctl unmask %1 && %2").arg(unit, EnableCommand(unit))};
  }
  if (answer.output.contains(QStringLiteral("No such file")) || answer.output.startsWith(QStringLiteral("not-found"))) {
    return {JobState::NotInstalled,
            QStringLiteral("The unattended job is not installed on this PC (no zmr-upkeep@.timer). Once the "
                           "package is installed, this turns it on:"),
            EnableCommand(unit)};
  }
  return {JobState::Off, QStringLiteral("The unattended job is off for this plan. To turn it on:"), EnableCommand(unit)};
}

}  // namespace zmr
