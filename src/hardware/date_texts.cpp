#include "hardware/date_texts.h"

#include <QLocale>
#include <QRegularExpression>

namespace zmr {
namespace {

QString PadFirstField(QString text, QChar separator) {
  if (text.size() >= 2 && text.at(1) == separator) {
    text.prepend('0');
  }
  return text;
}

}  // namespace

DateTimeFormats DateTimeFormats::System() {
  const QLocale locale = QLocale::system();
  QString time = locale.timeFormat(QLocale::LongFormat);
  time.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
  return {locale.dateFormat(QLocale::ShortFormat), time.trimmed()};
}

QString ReportDateTime(const QDateTime& value, const DateTimeFormats& formats) {
  const QString date = PadFirstField(value.date().toString(formats.short_date), '/');
  const QString time = PadFirstField(value.time().toString(formats.long_time), ':');
  return date + ' ' + time;
}

}  // namespace zmr
