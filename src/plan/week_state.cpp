#include "plan/week_state.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QtGlobal>

#include "base/errors.h"
#include "base/file_io.h"
#include "hardware/schedule_format.h"
#include "link/port_names.h"

namespace zmr {
namespace {

// A record file is a few short lines; anything longer is not ours.
constexpr std::size_t kMaxRecordBytes = 4096;
// A record at most this far in the future is still trusted: the clock went back an hour.
constexpr qint64 kFutureSlackSecs = 2 * 3600;
const QString kHashKey = QStringLiteral("week-sha256=");
const QString kWhenKey = QStringLiteral("when=");
const QString kPortKey = QStringLiteral("port=");

}  // namespace

QString WeekHash(const ProjectSetup& project) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  for (int day = 1; day <= kDays; ++day) {
    for (const DayChunk& chunk : ChunksOfDay(project, day)) {
      hash.addData(QByteArrayView(reinterpret_cast<const char*>(chunk.data()), static_cast<qsizetype>(chunk.size())));
    }
  }
  return QString::fromLatin1(hash.result().toHex());
}

QString PortKey(const QString& port_name) {
  const QString device = PortDevice(port_name);
  if (device.isEmpty()) return port_name;
  // /dev/serial/by-id/... and the node it links to are one timer.
  const QString canonical = QFileInfo(device).canonicalFilePath();
  return canonical.isEmpty() ? device : canonical;
}

QString DefaultStateFolder() {
  const QString systemd = qEnvironmentVariable("STATE_DIRECTORY").section(':', 0, 0);
  if (!systemd.isEmpty()) return systemd;
  QString base = qEnvironmentVariable("XDG_STATE_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.local/state");
  return base + QStringLiteral("/zmr-console");
}

QString WeekStateStore::fileFor(const QString& port_name) const {
  // "/dev/ttyUSB0" -> "%2Fdev%2FttyUSB0.week": one plain file name per port, readable.
  return QDir(folder_).filePath(QString::fromLatin1(QUrl::toPercentEncoding(PortKey(port_name))) +
                                QStringLiteral(".week"));
}

std::optional<WeekRecord> WeekStateStore::held(const QString& port_name) const {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadFileStart(fileFor(port_name), kMaxRecordBytes);
  } catch (const IoError&) {
    return std::nullopt;
  }
  WeekRecord record;
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  for (const QString& line : text.split('\n')) {
    if (line.startsWith(kHashKey)) record.week_hash = line.mid(kHashKey.size());
    if (line.startsWith(kWhenKey)) record.when = QDateTime::fromString(line.mid(kWhenKey.size()), Qt::ISODate);
  }
  if (record.week_hash.size() != 64 || !record.when.isValid()) return std::nullopt;
  record.when = record.when.toUTC();
  return record;
}

void WeekStateStore::record(const QString& port_name, const WeekRecord& record) const {
  if (!QDir().mkpath(folder_)) throw IoError("File access denied");
  const QByteArray text = (kPortKey + PortKey(port_name) + '\n' + kHashKey + record.week_hash + '\n' + kWhenKey +
                           record.when.toUTC().toString(Qt::ISODate) + '\n')
                              .toUtf8();
  ReplaceFile(fileFor(port_name),
              std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.constData()),
                                            static_cast<std::size_t>(text.size())),
              ReplaceMode::CreateOrReplace);
}

bool WeekStateStore::Fresh(const std::optional<WeekRecord>& record, const QString& week_hash, const QDateTime& now) {
  if (!record || record->week_hash != week_hash) return false;
  const qint64 age = record->when.secsTo(now.toUTC());
  return age >= -kFutureSlackSecs && age <= static_cast<qint64>(kWeekTrustDays) * 24 * 3600;
}

QString RecordDownload(const QString& state_folder, const QString& port_name, const ProjectSetup& project,
                       const QDateTime& now) {
  try {
    WeekStateStore(state_folder).record(port_name, {WeekHash(project), now.toUTC()});
    return {};
  } catch (const IoError& e) {
    return QStringLiteral("The download was not recorded in %1: %2")
        .arg(state_folder, QString::fromStdString(WithFullStop(e.what())));
  }
}

}  // namespace zmr
