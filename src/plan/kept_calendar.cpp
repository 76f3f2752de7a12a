#include "plan/kept_calendar.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "base/errors.h"
#include "base/file_io.h"
#include "plan/calendar_reader.h"

namespace zmr {
namespace {

// The head of a kept file: these lines, then an empty line, then the calendar as served.
const QByteArray kFirstLine = QByteArrayLiteral("zmr-console kept calendar 1");
const QByteArray kAddress = QByteArrayLiteral("address: ");
const QByteArray kChecked = QByteArrayLiteral("checked: ");
const QByteArray kEtag = QByteArrayLiteral("etag: ");
const QByteArray kLastModified = QByteArrayLiteral("last-modified: ");
// Room for the head beside the largest calendar the reader takes.
constexpr std::size_t kMaxHeadBytes = 64 * 1024;
constexpr int kAddressHashHexChars = 12;

constexpr qint64 kSecsPerMinute = 60;
constexpr qint64 kSecsPerHour = 60 * kSecsPerMinute;
constexpr qint64 kSecsPerDay = 24 * kSecsPerHour;
// Below these an age is told in the smaller unit: "90 minutes", "36 hours".
constexpr qint64 kMinutesUpTo = 2 * kSecsPerHour;
constexpr qint64 kHoursUpTo = 2 * kSecsPerDay;

// A header value goes on one line: a server's value that would break it is not kept.
QByteArray OneLine(const QByteArray& value) { return value.contains('\n') || value.contains('\r') ? QByteArray() : value; }

QString Units(qint64 n, const char* unit) { return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(unit)).arg(n == 1 ? "" : "s"); }

}  // namespace

QString KeptCalendarFile(const QString& state_folder, const QUrl& address) {
  const QByteArray text = address.toString(QUrl::FullyEncoded).toUtf8();
  const QByteArray hash = QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex();
  QString host = address.host();
  host.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9.-]")), QStringLiteral("_"));
  return QDir(state_folder)
      .filePath(QStringLiteral("calendars/%1-%2.kept").arg(host, QString::fromLatin1(hash.left(kAddressHashHexChars))));
}

std::optional<KeptCalendar> ReadKeptCalendar(const QString& state_folder, const QUrl& address) {
  std::vector<std::uint8_t> raw;
  try {
    raw = ReadFileStart(KeptCalendarFile(state_folder, address), kMaxCalendarBytes + kMaxHeadBytes);
  } catch (const IoError&) {
    return std::nullopt;
  }
  const QByteArray bytes(reinterpret_cast<const char*>(raw.data()), static_cast<qsizetype>(raw.size()));
  const qsizetype end = bytes.indexOf("\n\n");
  if (end < 0 || end > static_cast<qsizetype>(kMaxHeadBytes)) return std::nullopt;
  const QList<QByteArray> head = bytes.left(end).split('\n');
  if (head.value(0) != kFirstLine) return std::nullopt;
  KeptCalendar kept;
  for (const QByteArray& line : head.mid(1)) {
    if (line.startsWith(kAddress)) kept.address = QUrl::fromEncoded(line.mid(kAddress.size()));
    if (line.startsWith(kChecked)) kept.checked = QDateTime::fromString(QString::fromLatin1(line.mid(kChecked.size())), Qt::ISODate);
    if (line.startsWith(kEtag)) kept.validators.etag = line.mid(kEtag.size());
    if (line.startsWith(kLastModified)) kept.validators.last_modified = line.mid(kLastModified.size());
  }
  if (kept.address != address || !kept.checked.isValid()) return std::nullopt;
  kept.checked = kept.checked.toUTC();
  kept.body = bytes.mid(end + 2);
  return kept;
}

void KeepCalendar(const QString& state_folder, const KeptCalendar& kept) {
  const QString file = KeptCalendarFile(state_folder, kept.address);
  if (!QDir().mkpath(QFileInfo(file).absolutePath())) throw IoError("File access denied");
  QByteArray bytes = kFirstLine + '\n' + kAddress + kept.address.toEncoded() + '\n' + kChecked +
                     kept.checked.toUTC().toString(Qt::ISODate).toLatin1() + '\n';
  if (const QByteArray etag = OneLine(kept.validators.etag); !etag.isEmpty()) bytes += kEtag + etag + '\n';
  if (const QByteArray modified = OneLine(kept.validators.last_modified); !modified.isEmpty()) {
    bytes += kLastModified + modified + '\n';
  }
  bytes += '\n' + kept.body;
  ReplaceFile(file,
              std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                            static_cast<std::size_t>(bytes.size())),
              ReplaceMode::CreateOrReplace);
}

QString CopyAge(const QDateTime& checked, const QDateTime& now) {
  const qint64 secs = std::max<qint64>(0, checked.secsTo(now));
  if (secs < kMinutesUpTo) return Units(secs / kSecsPerMinute, "minute");
  if (secs < kHoursUpTo) return Units(secs / kSecsPerHour, "hour");
  return Units(secs / kSecsPerDay, "day");
}

}  // namespace zmr
