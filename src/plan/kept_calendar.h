#pragma once
// The last good copy of each web calendar, kept in the state folder for the day the
// network or the school's server is down. One file per address holds the copy with its
// validators and when the server last vouched for it, replaced whole and crash-safe, so
// runs of several plans (or programs) that fetch the same address never see half of one.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>
#include <optional>

#include "plan/calendar_fetch.h"

namespace zmr {

struct KeptCalendar {
  QUrl address;        // as fetched
  QDateTime checked;   // UTC: fetched, or confirmed unchanged by a 304
  Validators validators;
  QByteArray body;
};

// <state>/calendars/<host>-<12 hex of the address's SHA-256>.kept
QString KeptCalendarFile(const QString& state_folder, const QUrl& address);

// Nothing kept (no file, or one that is not a copy of this address) is nullopt.
std::optional<KeptCalendar> ReadKeptCalendar(const QString& state_folder, const QUrl& address);

// Creates the folder when needed. Throws IoError.
void KeepCalendar(const QString& state_folder, const KeptCalendar& kept);

// How old a copy checked at `checked` is at `now`: "40 minutes", "5 hours", "3 days".
QString CopyAge(const QDateTime& checked, const QDateTime& now);

}  // namespace zmr
