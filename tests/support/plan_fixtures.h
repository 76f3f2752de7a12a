#pragma once
// A folder with what year plans name: two weeks, a holiday calendar and a few bad files.
#include <QDateTime>
#include <QString>
#include <string>

#include "support/temp_dir.h"

namespace zmr::testing {

// A Friday morning before half term, the day the plans of these tests are looked at.
inline const QDateTime kMorning(QDate(2026, 10, 23), QTime(7, 0));

// normal.zmr and exams.zmr (valid, different weeks, each with events Monday to Friday
// only); terms.ics with "Half term"
// 2026-10-26..2026-10-30 and "May Day" 2027-05-03; broken.ics and not-a-week.zmr.
class PlanFolder {
 public:
  PlanFolder();
  QString file(const QString& name) const { return dir_.file(name); }
  QString folder() const { return dir_.folder(); }
  void write(const QString& name, const std::string& bytes) const;
  std::string read(const QString& name) const;

 private:
  TempDir dir_;
};

}  // namespace zmr::testing
