// The rows of the jobs at a glance: what systemd's answers become, what a record this user
// may not read becomes, and the next change a plan makes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <iostream>

#include "plan/job_rows.h"
#include "plan/plan_days.h"
#include "plan/plan_install.h"
#include "support/forked_child.h"
#include "support/plan_fixtures.h"
#include "support/scripted_systemd.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;


TEST(JobRows, SystemctlTimesAreReadInEitherForm) {
  const QDateTime at(QDate(2027, 5, 10), QTime(7, 0, 5));
  EXPECT_EQ(SystemctlTime(QString("@%1").arg(at.toSecsSinceEpoch())), at);
  EXPECT_EQ(SystemctlTime("Mon 2027-05-10 07:00:05 CEST"), at);
  for (const char* none : {"n/a", "", "0", "@0", "@x", "soon"}) EXPECT_FALSE(SystemctlTime(none).isValid()) << none;
}

TEST(JobRows, EachJobSaysWhatSystemdAndTheRecordsSay) {
  PlanFolder files;
  TempDir root, state;
  files.write("north.toml", "port = \"tcp://10.0.4.20:4001\"\nweek = \"normal.zmr\"\n\n[[period]]\nname = \"Exam week\"\n"
                            "from = 2027-06-07\nto = 2027-06-11\nweek = \"exams.zmr\"\n");
  ASSERT_EQ(InstallPlan({files.file("north.toml"), "", root.folder(), "COM1", "", kMorning}).outcome,
            InstallOutcome::Installed);
  JobSources sources;
  sources.plans_folder = PlansFolderUnder(root.folder());
  sources.state_folder = state.folder();
  const struct {
    ServiceAnswer enabled;
    const char* job;
    const char* next_run;
  } cases[] = {
      {{true, 0, "enabled"}, "on", "not known"},
      {{true, 1, "disabled"}, "off", "none planned"},
      {{true, 1, "masked"}, "off for good (masked)", "none planned"},
      {{true, 4, "not-found"}, "not installed", "none planned"},
      {{false, 0, ""}, "not known", "none planned"},
  };
  for (const auto& c : cases) {
    const ScriptedSystemd systemd(c.enabled);
    const std::vector<JobRow> rows = JobRows(sources, systemd, kMorning);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].job, c.job) << c.enabled.output.toStdString();
    EXPECT_EQ(rows[0].next_run, c.next_run) << c.enabled.output.toStdString();
    EXPECT_EQ(rows[0].port, "tcp://10.0.4.20:4001");
    EXPECT_EQ(rows[0].holds, "nothing recorded");
    EXPECT_EQ(rows[0].last_run, "none recorded");
    EXPECT_EQ(rows[0].next_change, "Mon 7 Jun 2027: Exam week");
  }
  // The service's folder is closed to others: said so, and the last run is what systemd saw.
  ScriptedSystemd systemd({true, 0, "enabled"});
  systemd.shown["zmr-upkeep@north.service"] = {{"ExecMainExitTimestamp", "Fri 2026-10-23 06:00:03 CEST"},
                                                {"Result", "success"}, {"ExecMainStatus", "0"}};
  QFile(state.folder()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QFile(root.folder()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                      QFile::ExeOther);
  EXPECT_EQ(RunAsUnprivileged([&] {
              const std::vector<JobRow> rows = JobRows(sources, systemd, kMorning);
              std::cerr << rows.at(0).holds.toStdString() << '\n' << rows.at(0).last_run.toStdString() << '\n';
              return rows.at(0).holds == "cannot be read here (File access denied.)" &&
                             rows.at(0).last_run == "2026-10-23 06:00:03: done (exit 0)"
                         ? 0
                         : 1;
            }),
            0);
}

TEST(JobRows, TheNextChangeIsTheNextDayThatRingsOtherwise) {
  YearPlan plan;
  plan.week = "normal.zmr";
  plan.periods = {{"Sports day", QDate(2026, 10, 27), QDate(2026, 10, 27), "normal.zmr"},  // the same week: no change
                  {"Exam week", QDate(2026, 11, 9), QDate(2026, 11, 13), "exams.zmr"},
                  {"Christmas", QDate(2026, 12, 21), QDate(2027, 1, 3), ""}};
  const struct {
    QDate from;
    const char* text;
  } cases[] = {
      {QDate(2026, 10, 23), "Mon 9 Nov: Exam week"},
      {QDate(2026, 11, 10), "Sat 14 Nov: the plan's week"},
      {QDate(2026, 12, 1), "Mon 21 Dec: no bells (Christmas)"},
      {QDate(2026, 12, 25), "Mon 4 Jan 2027: the plan's week"},
  };
  for (const auto& c : cases) {
    const std::optional<DayDecision> change = NextChange(plan, c.from, 100);
    ASSERT_TRUE(change) << c.text;
    EXPECT_EQ(NextChangeText(*change, c.from), c.text);
  }
  EXPECT_FALSE(NextChange(plan, QDate(2027, 1, 4), 700));
}

}  // namespace
}  // namespace zmr
