// Whether the unattended job is on for a plan, and the command that turns it on.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cstdlib>

#include "plan/upkeep_job.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;

class AnsweredQuery : public ServiceQuery {
 public:
  explicit AnsweredQuery(ServiceAnswer answer) : answer_(std::move(answer)) {}
  ServiceAnswer isEnabled(const QString& unit) const override {
    asked = unit;
    return answer_;
  }
  mutable QString asked;

 private:
  ServiceAnswer answer_;
};

YearPlan PlanAt(const QString& path) {
  YearPlan plan;
  plan.path = path;
  plan.name = QFileInfo(path).completeBaseName();
  plan.week = "normal.zmr";
  return plan;
}

TEST(UpkeepJob, WhatSystemdSaysBecomesOneLineAndACommand) {
  TempDir plans;
  const QString folder = QDir(plans.folder()).absolutePath();
  const YearPlan plan = PlanAt(folder + "/north.toml");
  const QString enable = "sudo systemctl enable --now zmr-upkeep@north.timer";
  struct Case {
    ServiceAnswer answer;
    JobState state;
    QString command;
    const char* text_starts;
  } cases[] = {
      {{true, 0, "enabled"}, JobState::On, "", "The unattended job is on: zmr-upkeep@north.timer"},
      {{true, 0, "enabled-runtime"}, JobState::On, "", "The unattended job is on"},
      {{true, 1, "disabled"}, JobState::Off, enable, "The unattended job is off for this plan."},
      {{true, 1, "masked"}, JobState::Masked, "sudo systemctl unmask zmr-upkeep@north.timer && " + enable,
       "The unattended job is switched off for good"},
      {{true, 1, "Failed to get unit file state for zmr-upkeep@north.timer: No such file or directory"},
       JobState::NotInstalled, enable, "The unattended job is not installed on this PC"},
      {{true, 4, "not-found"}, JobState::NotInstalled, enable, "The unattended job is not installed"},
      {{false, 0, ""}, JobState::NoSystemd, enable, "Cannot tell whether the unattended job is on"},
      {{true, 0, "static"}, JobState::Off, enable, "The unattended job is off"},
  };
  for (const Case& c : cases) {
    const AnsweredQuery query(c.answer);
    const JobLine line = UnattendedJob(plan, query, folder);
    EXPECT_EQ(query.asked, "zmr-upkeep@north.timer");
    EXPECT_EQ(line.state, c.state) << c.answer.output.toStdString();
    EXPECT_EQ(line.command, c.command) << c.answer.output.toStdString();
    EXPECT_TRUE(line.text.startsWith(c.text_starts)) << line.text.toStdString();
  }
}

TEST(UpkeepJob, APlanElsewhereIsCopiedWithItsFilesBeforeTheJobCanRunIt) {
  YearPlan plan = PlanAt("/home/office/school year/north.toml");
  // A web calendar stays an address; only files travel with the plan.
  plan.holidays = {{"terms.ics", {}}, {"/srv/shared/staff.ics", {}}, {"webcal://school.example/terms", {"holiday"}}};
  plan.periods = {{"Exams", QDate(2027, 5, 10), QDate(2027, 5, 14), "weeks/exam's.zmr"},
                  {"Resits", QDate(2027, 6, 1), QDate(2027, 6, 2), "weeks/exam's.zmr"},
                  {"Christmas", QDate(2026, 12, 21), QDate(2027, 1, 3), ""}};
  const AnsweredQuery never({true, 0, "enabled"});
  const JobLine line = UnattendedJob(plan, never, "/etc/zmr-console/plans");
  EXPECT_EQ(line.state, JobState::Elsewhere);
  EXPECT_TRUE(never.asked.isEmpty()) << "the job for a plan of that name runs another file";
  EXPECT_EQ(line.command,
            "cd '/home/office/school year' && sudo mkdir -p /etc/zmr-console/plans && "
            "sudo cp --parents north.toml normal.zmr 'weeks/exam'\\''s.zmr' terms.ics /etc/zmr-console/plans/ && "
            "sudo systemctl enable --now zmr-upkeep@north.timer");
}

TEST(UpkeepJob, ANameThatCannotBeAnInstanceIsSaidSo) {
  for (const char* name : {"north wing", "-north", "nörth"}) {
    const AnsweredQuery never({true, 0, "enabled"});
    const JobLine line = UnattendedJob(PlanAt(QString("/etc/zmr-console/plans/%1.toml").arg(name)), never);
    EXPECT_EQ(line.state, JobState::BadName) << name;
    EXPECT_TRUE(line.command.isEmpty());
  }
}

// The real seam: systemctl found on PATH (a stand-in script), or not there at all.
TEST(UpkeepJob, SystemctlIsAskedThroughThePath) {
  TempDir bin;
  const QByteArray old_path = qgetenv("PATH");
  struct PathBack {
    QByteArray path;
    ~PathBack() { qputenv("PATH", path); }
  } back{old_path};
  qputenv("PATH", QDir(bin.folder()).absolutePath().toLocal8Bit());
  EXPECT_FALSE(SystemctlQuery().isEnabled("zmr-upkeep@north.timer").ran);

  QFile script(bin.file("systemctl"));
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\n[ \"$1\" = is-enabled ] && [ \"$2\" = zmr-upkeep@north.timer ] || exit 9\n"
               "echo disabled\nexit 1\n");
  script.close();
  script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const ServiceAnswer answer = SystemctlQuery().isEnabled("zmr-upkeep@north.timer");
  EXPECT_TRUE(answer.ran);
  EXPECT_EQ(answer.exit_code, 1);
  EXPECT_EQ(answer.output, "disabled");
}

}  // namespace
}  // namespace zmr
