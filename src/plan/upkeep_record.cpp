#include "plan/upkeep_record.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <array>

#include "base/errors.h"
#include "base/file_io.h"

namespace zmr {
namespace {

// A run tells a few dozen lines at most; a file far larger is not ours.
constexpr std::size_t kMaxRunRecordBytes = 1 << 20;
constexpr int kPathHashHexChars = 12;

const QString kWhen = QStringLiteral("when");
const QString kPlan = QStringLiteral("plan");
const QString kOutcome = QStringLiteral("outcome");
const QString kExitStatus = QStringLiteral("exit_status");
const QString kEvents = QStringLiteral("events");
const QString kKind = QStringLiteral("kind");
const QString kText = QStringLiteral("text");

// The kinds as the file names them, in the order of UpkeepEventKind.
const std::array<QString, 5> kKindNames{QStringLiteral("note"), QStringLiteral("warning"), QStringLiteral("error"),
                                        QStringLiteral("port error"), QStringLiteral("refusal")};

QString AbsolutePlan(const QString& plan_path) { return QFileInfo(plan_path).absoluteFilePath(); }

}  // namespace

QString UpkeepRunFile(const QString& state_folder, const QString& plan_path) {
  const QString plan = AbsolutePlan(plan_path);
  const QByteArray hash = QCryptographicHash::hash(plan.toUtf8(), QCryptographicHash::Sha256).toHex();
  return QDir(state_folder)
      .filePath(QStringLiteral("runs/%1-%2.json")
                    .arg(QFileInfo(plan).completeBaseName(), QString::fromLatin1(hash.left(kPathHashHexChars))));
}

QString RecordUpkeepRun(const QString& state_folder, const UpkeepRunRecord& run) {
  QJsonArray events;
  for (const UpkeepEvent& e : run.events) {
    events.append(QJsonObject{{kKind, kKindNames.at(static_cast<std::size_t>(e.kind))}, {kText, e.text}});
  }
  const QJsonObject object{{kWhen, run.when.toUTC().toString(Qt::ISODate)},
                           {kPlan, AbsolutePlan(run.plan)},
                           {kOutcome, UpkeepOutcomeText(run.outcome)},
                           {kExitStatus, run.exit_status},
                           {kEvents, events}};
  const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Indented);
  const QString file = UpkeepRunFile(state_folder, run.plan);
  try {
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) throw IoError("File access denied");
    ReplaceFile(file,
                std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                              static_cast<std::size_t>(bytes.size())),
                ReplaceMode::CreateOrReplace);
    return {};
  } catch (const IoError& e) {
    return QStringLiteral("The run was not recorded in %1: %2")
        .arg(state_folder, Sentence(e));
  }
}

std::optional<UpkeepRunRecord> LastUpkeepRun(const QString& state_folder, const QString& plan_path) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadFileStart(UpkeepRunFile(state_folder, plan_path), kMaxRunRecordBytes);
  } catch (const IoError&) {
    return std::nullopt;
  }
  const QJsonObject o =
      QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())))
          .object();
  UpkeepRunRecord run;
  run.when = QDateTime::fromString(o.value(kWhen).toString(), Qt::ISODate);
  run.plan = o.value(kPlan).toString();
  run.exit_status = o.value(kExitStatus).toInt(-1);
  const std::optional<UpkeepOutcome> outcome = UpkeepOutcomeNamed(o.value(kOutcome).toString());
  if (!run.when.isValid() || run.plan.isEmpty() || !outcome || run.exit_status < 0) return std::nullopt;
  run.outcome = *outcome;
  run.when = run.when.toUTC();
  for (const QJsonValue& value : o.value(kEvents).toArray()) {
    const QJsonObject e = value.toObject();
    const auto kind = std::find(kKindNames.begin(), kKindNames.end(), e.value(kKind).toString());
    if (kind == kKindNames.end()) return std::nullopt;
    run.events.push_back({static_cast<UpkeepEventKind>(kind - kKindNames.begin()), e.value(kText).toString()});
  }
  return run;
}

QString UpkeepRunOutcome(const UpkeepRunRecord& run) {
  return QStringLiteral("%1: %2 (exit %3)")
      .arg(run.when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), UpkeepOutcomeText(run.outcome))
      .arg(run.exit_status);
}

QString UpkeepRunHeadline(const UpkeepRunRecord& run) { return QStringLiteral("last run ") + UpkeepRunOutcome(run); }

QString LastRunSummary(const std::optional<UpkeepRunRecord>& run) {
  if (!run) return QStringLiteral("No upkeep run of this plan is recorded yet.");
  QStringList lines{QStringLiteral("Upkeep's ") + UpkeepRunHeadline(*run)};
  if (run->outcome != UpkeepOutcome::Done) {
    for (const UpkeepEvent& e : run->events) {
      if (e.kind != UpkeepEventKind::Note) lines << UpkeepEventLine(e);
    }
  }
  return lines.join(u'\n');
}

}  // namespace zmr
