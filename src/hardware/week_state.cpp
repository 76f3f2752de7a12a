#include "hardware/week_state.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QtGlobal>

#include "base/errors.h"
#include "base/file_io.h"
#include "hardware/schedule_format.h"
#include "link/network_address.h"
#include "link/port_names.h"

namespace zmr {
namespace {

// A record file is a few short lines; anything longer is not ours.
constexpr std::size_t kMaxRecordBytes = 4096;
constexpr int kHashHexSize = 64;
// A record at most this far in the future is still trusted: the clock went back an hour.
constexpr qint64 kFutureSlackSecs = 2 * 3600;
constexpr qint64 kSecsPerDay = 24 * 3600;
const QString kHashKey = QStringLiteral("week-sha256=");
const QString kWhenKey = QStringLiteral("when=");
const QString kPortKey = QStringLiteral("port=");
// What a cleared record holds instead of a hash.
const QString kUnknown = QStringLiteral("unknown");

// The record under one key: nullopt when there is no file at all, else what it says
// (an empty hash for a cleared or foreign record).
std::optional<WeekRecord> ReadRecord(const QString& path) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadFileStart(path, kMaxRecordBytes);
  } catch (const IoError&) {
    if (!QFileInfo::exists(path)) return std::nullopt;
    return WeekRecord{};
  }
  WeekRecord record;
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  for (const QString& line : text.split('\n')) {
    if (line.startsWith(kHashKey)) record.week_hash = line.mid(kHashKey.size());
    if (line.startsWith(kWhenKey)) record.when = QDateTime::fromString(line.mid(kWhenKey.size()), Qt::ISODate);
  }
  if (record.week_hash.size() != kHashHexSize || !record.when.isValid()) return WeekRecord{};
  record.when = record.when.toUTC();
  return record;
}

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

TimerKey TimerKeyOf(const QString& port_name) {
  const QString device = PortDevice(port_name);
  if (device.isEmpty()) return {port_name, port_name};
  if (IsNetworkPortName(device)) {
    const ParsedAddress parsed = ParseNetworkAddress(device);
    return {parsed.address ? CanonicalTimerAddress(*parsed.address) : device, device};
  }
  const QString canonical = QFileInfo(device).canonicalFilePath();
  const QString node = canonical.isEmpty() ? device : canonical;
  const QString by_id = SerialByIdPath(node);
  return {by_id.isEmpty() ? node : by_id, node};
}

QString DefaultStateFolder() {
  const QString systemd = qEnvironmentVariable("STATE_DIRECTORY").section(':', 0, 0);
  if (!systemd.isEmpty()) return systemd;
  QString base = qEnvironmentVariable("XDG_STATE_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.local/state");
  return base + QStringLiteral("/zmr-console");
}

QString WeekStateStore::fileFor(const QString& key) const {
  // "/dev/ttyUSB0" -> "%2Fdev%2FttyUSB0.week": one plain file name per timer, readable.
  return QDir(folder_).filePath(QString::fromLatin1(QUrl::toPercentEncoding(key)) + QStringLiteral(".week"));
}

std::optional<WeekRecord> WeekStateStore::held(const TimerKey& timer) const {
  std::optional<WeekRecord> record = ReadRecord(fileFor(timer.key));
  // A record under the stable key, even a cleared one, wins over the old key's.
  if (!record && timer.legacy != timer.key) record = ReadRecord(fileFor(timer.legacy));
  if (!record || record->week_hash.isEmpty()) return std::nullopt;
  return record;
}

void WeekStateStore::write(const TimerKey& timer, const QString& hash, const QDateTime& when) const {
  if (!QDir().mkpath(folder_)) throw IoError("File access denied");
  const QByteArray text =
      (kPortKey + timer.key + '\n' + kHashKey + hash + '\n' + kWhenKey + when.toUTC().toString(Qt::ISODate) + '\n')
          .toUtf8();
  ReplaceFile(fileFor(timer.key),
              std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.constData()),
                                            static_cast<std::size_t>(text.size())),
              ReplaceMode::CreateOrReplace);
}

void WeekStateStore::record(const TimerKey& timer, const WeekRecord& record) const {
  write(timer, record.week_hash, record.when);
}

void WeekStateStore::forget(const TimerKey& timer) const {
  write(timer, kUnknown, QDateTime::currentDateTimeUtc());
}

bool WeekStateStore::Fresh(const std::optional<WeekRecord>& record, const QString& week_hash, const QDateTime& now) {
  if (!record || record->week_hash != week_hash) return false;
  const qint64 age = record->when.secsTo(now.toUTC());
  return age >= -kFutureSlackSecs && age <= static_cast<qint64>(kWeekTrustDays) * kSecsPerDay;
}

namespace {

QString NotRecorded(const QString& state_folder, const IoError& e) {
  return QStringLiteral("The download was not recorded in %1: %2")
      .arg(state_folder, Sentence(e));
}

}  // namespace

QString ForgetDownload(const QString& state_folder, const TimerKey& timer) {
  try {
    WeekStateStore(state_folder).forget(timer);
    return {};
  } catch (const IoError& e) {
    return NotRecorded(state_folder, e);
  }
}

QString RecordDownload(const QString& state_folder, const TimerKey& timer, const ProjectSetup& project,
                       const QDateTime& now) {
  try {
    WeekStateStore(state_folder).record(timer, {WeekHash(project), now.toUTC()});
    return {};
  } catch (const IoError& e) {
    return NotRecorded(state_folder, e);
  }
}

bool TimerHoldsWeek(const QString& state_folder, const TimerKey& timer, const ProjectSetup& project) {
  const std::optional<WeekRecord> held = WeekStateStore(state_folder).held(timer);
  return held && held->week_hash == WeekHash(project);
}

}  // namespace zmr
