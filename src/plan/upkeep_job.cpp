#include "plan/upkeep_job.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "link/stand_alone_port.h"
#include "plan/copy_compare.h"
#include "plan/plan_reader.h"

namespace zmr {
namespace {

// systemctl answers from the unit files at once; a hung D-Bus must not hang the window.
constexpr int kSystemctlWaitMs = 3000;
// Turning a timer on starts nothing but the timer; a daemon-reload reads every unit.
constexpr int kSystemctlEnableWaitMs = 30000;

// Quoted for a POSIX shell when it needs it.
QString ShellWord(const QString& word) {
  static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9_./@%+=:,-]+\\z"));
  if (safe.match(word).hasMatch()) return word;
  return QStringLiteral("'") + QString(word).replace(u'\'', QStringLiteral("'\\''")) + QStringLiteral("'");
}

QString EnableCommand(const QString& unit) { return QStringLiteral("sudo systemctl enable --now ") + unit; }

struct Ran {
  bool ran = false;
  int exit_code = 0;
  QString output;
};

Ran Systemctl(const QStringList& arguments, int wait_ms) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(QStringLiteral("systemctl"), arguments);
  Ran ran;
  if (!process.waitForStarted(wait_ms)) return ran;
  if (!process.waitForFinished(wait_ms)) {
    process.kill();
    process.waitForFinished(wait_ms);
    return ran;
  }
  ran.ran = process.exitStatus() == QProcess::NormalExit;
  ran.exit_code = process.exitCode();
  ran.output = QString::fromLocal8Bit(process.readAll()).trimmed();
  return ran;
}

// What systemd says of the job of a plan it finds where it looks; command: what turns
// the job on when it is off.
JobLine SystemdSays(const QString& unit, const ServiceQuery& query, const QString& on_text, const QString& command) {
  // Where systemd is not the service manager, systemctl still runs and answers "offline".
  const ServiceAnswer answer = query.running() ? query.isEnabled(unit) : ServiceAnswer{};
  if (!answer.ran) {
    return {JobState::NoSystemd,
            QStringLiteral("Cannot tell whether the unattended job is on: systemd does not answer on this PC. "
                           "Where it runs, this turns the job on:"),
            command};
  }
  // is-enabled says "enabled" (and exit 0) for a timer that starts with the PC.
  if (answer.exit_code == 0 && answer.output.startsWith(QStringLiteral("enabled"))) {
    return {JobState::On, on_text.arg(unit), QString()};
  }
  if (answer.output.startsWith(QStringLiteral("masked"))) {
    return {JobState::Masked, QStringLiteral("The unattended job is switched off for good (masked). To turn it on:"),
            QStringLiteral("sudo systemctl unmask %1 && %2").arg(unit, command)};
  }
  if (answer.output.contains(QStringLiteral("No such file")) || answer.output.startsWith(QStringLiteral("not-found"))) {
    return {JobState::NotInstalled,
            QStringLiteral("The unattended job is not installed on this PC (no zmr-upkeep@.timer). Once the "
                           "package is installed, this turns it on:"),
            command};
  }
  return {JobState::Off, QStringLiteral("The unattended job is off for this plan. To turn it on:"), command};
}

// A plan kept elsewhere: the job runs its installed copy, which must still be this plan.
JobLine InstalledCopyOf(const YearPlan& plan, const ServiceQuery& query, const JobContext& context) {
  const QString name = IsJobName(plan.name) ? plan.name : SuggestedJobName(plan.name);
  const QString command = InstallCommand(plan.path, name, context);
  const QString copy_file = QDir(context.plans_folder).filePath(name + QStringLiteral(".toml"));
  if (!QFileInfo::exists(copy_file)) {
    return {JobState::NotCopied,
            QStringLiteral("This plan is not installed for the unattended job. To copy it with its files to %1 "
                           "and turn the job on:")
                .arg(context.plans_folder),
            command};
  }
  const PlanReading copy = ReadPlan(copy_file, context.today);
  if (!copy.ok()) {
    return {JobState::CopyUnread,
            QStringLiteral("The job's copy of this plan (%1) cannot be read here: %2. To install this plan again:")
                .arg(copy_file, copy.faults.front().text),
            command};
  }
  const StandAlonePort port = StandAlonePortOf(plan.port.value_or(context.default_port));
  const QStringList differences =
      CopyDifferences(plan, port.port.isEmpty() ? plan.port.value_or(context.default_port) : port.port, copy.plan);
  if (!differences.isEmpty()) {
    return {JobState::CopyDiffers,
            QStringLiteral("The installed copy of this plan (%1) differs from it in %2. To install it again:")
                .arg(copy_file, differences.join(QStringLiteral(", "))),
            command};
  }
  return SystemdSays(UpkeepTimerUnit(name), query,
                     QStringLiteral("The unattended job is on: %1 keeps the timer to the installed copy of this plan "
                                    "every hour."),
                     command);
}

}  // namespace

QString UpkeepTimerUnit(const QString& plan_name) { return QStringLiteral("zmr-upkeep@%1.timer").arg(plan_name); }
QString UpkeepServiceUnit(const QString& plan_name) { return QStringLiteral("zmr-upkeep@%1.service").arg(plan_name); }

bool IsJobName(const QString& name) {
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9_.-]*\\z"));
  return name.size() <= kMaxJobNameLength && plain.match(name).hasMatch();
}

QString SuggestedJobName(const QString& name) {
  static const QRegularExpression others(QStringLiteral("[^A-Za-z0-9_.-]+"));
  static const QRegularExpression ends(QStringLiteral("^[.-]+|[.-]+$"));
  QString suggested = QString(name).replace(others, QStringLiteral("-")).remove(ends).left(kMaxJobNameLength);
  return suggested.isEmpty() ? QStringLiteral("plan") : suggested;
}

bool SystemctlQuery::running() const { return QFileInfo(QStringLiteral("/run/systemd/system")).isDir(); }

ServiceAnswer SystemctlQuery::isEnabled(const QString& unit) const {
  const Ran ran = Systemctl({QStringLiteral("is-enabled"), unit}, kSystemctlWaitMs);
  return {ran.ran, ran.exit_code, ran.output.section(u'\n', 0, 0).trimmed()};
}

std::map<QString, QString> SystemctlQuery::show(const QString& unit, const QStringList& properties) const {
  const Ran ran = Systemctl({QStringLiteral("show"), QStringLiteral("--timestamp=unix"),
                             QStringLiteral("--property=") + properties.join(u','), unit},
                            kSystemctlWaitMs);
  std::map<QString, QString> values;
  if (!ran.ran || ran.exit_code != 0) return values;
  for (const QString& line : ran.output.split(u'\n')) {
    const qsizetype equals = line.indexOf(u'=');
    if (equals > 0) values[line.left(equals)] = line.mid(equals + 1).trimmed();
  }
  return values;
}

ServiceAnswer SystemctlQuery::enableNow(const QString& unit, bool reload) const {
  QString output;
  if (reload) {
    const Ran reloaded = Systemctl({QStringLiteral("daemon-reload")}, kSystemctlEnableWaitMs);
    if (!reloaded.ran || reloaded.exit_code != 0) return {reloaded.ran, reloaded.exit_code, reloaded.output};
  }
  const Ran ran = Systemctl({QStringLiteral("enable"), QStringLiteral("--now"), unit}, kSystemctlEnableWaitMs);
  return {ran.ran, ran.exit_code, ran.output};
}

QString ZmrctlCommand(const QString& program_folder) {
  const QString beside = QDir(program_folder).filePath(QStringLiteral("zmrctl"));
  if (!QFileInfo(beside).isExecutable()) return QStringLiteral("zmrctl");
  const QString on_path = QStandardPaths::findExecutable(QStringLiteral("zmrctl"));
  if (!on_path.isEmpty() && QFileInfo(on_path).canonicalFilePath() == QFileInfo(beside).canonicalFilePath()) {
    return QStringLiteral("zmrctl");
  }
  return QFileInfo(beside).absoluteFilePath();
}

QString InstallCommand(const QString& plan_path, const QString& name, const JobContext& context) {
  QStringList words{QStringLiteral("sudo"), ShellWord(context.zmrctl)};
  if (!context.settings_folder.isEmpty()) words << QStringLiteral("--settings") << ShellWord(context.settings_folder);
  words << QStringLiteral("install") << ShellWord(QFileInfo(plan_path).absoluteFilePath());
  if (name != QFileInfo(plan_path).completeBaseName()) words << QStringLiteral("--name") << ShellWord(name);
  return words.join(u' ');
}

JobLine UnattendedJob(const YearPlan& plan, const ServiceQuery& query, const JobContext& context) {
  const QString expected = QDir(context.plans_folder).filePath(plan.name + QStringLiteral(".toml"));
  if (QFileInfo(plan.path).absoluteFilePath() != QFileInfo(expected).absoluteFilePath()) {
    return InstalledCopyOf(plan, query, context);
  }
  if (!IsJobName(plan.name)) {
    return {JobState::BadName,
            QStringLiteral("The unattended job needs a plan whose name is only letters, digits, '-', '_' and '.'; "
                           "save this plan under such a name."),
            QString()};
  }
  const QString unit = UpkeepTimerUnit(plan.name);
  return SystemdSays(unit, query,
                     QStringLiteral("The unattended job is on: %1 keeps the timer to this plan every hour."),
                     EnableCommand(unit));
}

}  // namespace zmr
