// Whether the unattended job is on for a plan, whether the copy it runs is still that
// plan, and the command that turns it on.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cstdlib>

#include "plan/plan_install.h"
#include "plan/plan_reader.h"
#include "plan/upkeep_job.h"
#include "support/plan_fixtures.h"
#include "support/qt_printers.h"
#include "support/project_fixtures.h"
#include "support/scripted_systemd.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const QDate kToday(2026, 10, 23);

YearPlan PlanAt(const QString& path) {
  YearPlan plan;
  plan.path = path;
  plan.name = QFileInfo(path).completeBaseName();
  plan.week = "normal.zmr";
  return plan;
}

// PATH for the length of a test.
struct PathFor {
  explicit PathFor(const QString& folder) : old(qgetenv("PATH")) { qputenv("PATH", folder.toLocal8Bit()); }
  ~PathFor() { qputenv("PATH", old); }
  QByteArray old;
};

void WriteScript(const QString& path, const QByteArray& text) {
  QFile script(path);
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write(text);
  script.close();
  script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(UpkeepJob, WhatSystemdSaysBecomesOneLineAndACommand) {
  TempDir plans;
  JobContext context;
  context.plans_folder = QDir(plans.folder()).absolutePath();
  const YearPlan plan = PlanAt(context.plans_folder + "/north.toml");
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
    const ScriptedSystemd query(c.answer);
    const JobLine line = UnattendedJob(plan, query, context);
    EXPECT_EQ(query.asked, QStringList{"is-enabled zmr-upkeep@north.timer"});
    EXPECT_EQ(line.state, c.state) << c.answer.output.toStdString();
    EXPECT_EQ(line.command, c.command) << c.answer.output.toStdString();
    EXPECT_TRUE(line.text.startsWith(c.text_starts)) << line.text.toStdString();
  }
  // A PC that systemd does not run: systemctl answers all the same, and is not believed.
  ScriptedSystemd offline({true, 1, "System has not been booted with systemd as init system (PID 1). Can't operate."});
  offline.runs = false;
  const JobLine line = UnattendedJob(plan, offline, context);
  EXPECT_EQ(line.state, JobState::NoSystemd);
  EXPECT_EQ(line.text.toStdString(), "Cannot tell whether the unattended job is on: systemd does not answer on this PC. "
                                     "Where it runs, this turns the job on:");
  EXPECT_TRUE(offline.asked.isEmpty());
}

// A plan kept in the office's folder runs as its installed copy: the line says whether
// there is one, whether it still is this plan, and offers `zmrctl install` until it is.
TEST(UpkeepJob, APlanKeptElsewhereIsOfferedItsInstallUntilTheCopyIsItAndTheJobOn) {
  PlanFolder files;
  TempDir root;
  files.write("north.toml", "port = \"/dev/ttyUSB7\"\nweek = \"normal.zmr\"\nholidays = [\"terms.ics\"]\n");
  JobContext context;
  context.plans_folder = PlansFolderUnder(root.folder());
  context.today = kToday;
  const QString install = "sudo zmrctl install " + files.file("north.toml");
  const QString copy = context.plans_folder + "/north.toml";
  auto line = [&](ServiceAnswer answer = {true, 1, "disabled"}) {
    const PlanReading reading = ReadPlan(files.file("north.toml"), kToday);
    EXPECT_TRUE(reading.ok());
    return UnattendedJob(reading.plan, ScriptedSystemd(answer), context);
  };
  auto installed = [&] {
    InstallRequest request{files.file("north.toml"), "", root.folder(), "COM1", "", QDateTime(kToday, QTime(7, 0))};
    ASSERT_EQ(InstallPlan(request).outcome, InstallOutcome::Installed);
  };
  const QString again = "The installed copy of this plan (" + copy + ") differs from it in %1. To install it again:";

  JobLine l = line();
  EXPECT_EQ(l.state, JobState::NotCopied);
  EXPECT_EQ(l.text, "This plan is not installed for the unattended job. To copy it with its files to " +
                        context.plans_folder + " and turn the job on:");
  EXPECT_EQ(l.command, install);

  installed();
  l = line();
  EXPECT_EQ(l.state, JobState::Off);
  EXPECT_EQ(l.command, install) << "one command installs and turns the job on";
  l = line({true, 0, "enabled"});
  EXPECT_EQ(l.state, JobState::On);
  EXPECT_EQ(l.text, "The unattended job is on: zmr-upkeep@north.timer keeps the timer to the installed copy of "
                    "this plan every hour.");
  EXPECT_TRUE(l.command.isEmpty());
  EXPECT_EQ(line({true, 1, "masked"}).command, "sudo systemctl unmask zmr-upkeep@north.timer && " + install);

  // Each part edited since the install is named; installing again makes the copy this plan.
  const struct {
    std::string plan;
    QString parts;
  } edits[] = {
      {"port = \"/dev/ttyUSB8\"\nweek = \"normal.zmr\"\nholidays = [\"terms.ics\"]\n", "the port"},
      {"port = \"/dev/ttyUSB7\"\nweek = \"exams.zmr\"\nclock_tolerance = 9\n",
       "the clock tolerance, the usual week, the holiday calendars"},
      {"port = \"/dev/ttyUSB7\"\nweek = \"normal.zmr\"\nholidays = [\"terms.ics\"]\n\n[[period]]\nname = \"Exams\"\n"
       "from = 2027-05-10\nto = 2027-05-14\nweek = \"exams.zmr\"\n",
       "the periods"},
  };
  const std::string base = files.read("north.toml");
  for (const auto& edit : edits) {
    files.write("north.toml", edit.plan);
    l = line();
    EXPECT_EQ(l.state, JobState::CopyDiffers) << edit.plan;
    EXPECT_EQ(l.text.toStdString(), again.arg(edit.parts).toStdString());
    EXPECT_EQ(l.command, install);
    installed();
    EXPECT_EQ(line().state, JobState::Off) << edit.plan;
    files.write("north.toml", base);
    installed();
  }
  // The week's bytes count, whatever its name: the same file changed is a change.
  auto week = std::make_unique<ProjectSetup>();
  ResetProject(*week);
  WriteProject(files.file("normal.zmr"), *week);
  EXPECT_EQ(line().text, again.arg("the usual week"));

  {
    QFile broken(copy);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("week = 3\n");
  }
  l = line();
  EXPECT_EQ(l.state, JobState::CopyUnread);
  EXPECT_EQ(l.text, "The job's copy of this plan (" + copy +
                        ") cannot be read here: 'week' must be a text in quotes, not empty. To install this plan again:");
}

TEST(UpkeepJob, AJobsNameIsAnInstanceAsItStandsAndTheCommandSaysEverythingNeeded) {
  const struct {
    const char* name;
    bool ok;
    const char* suggestion;
  } names[] = {
      {"north", true, "north"},          {"north-wing_2.b", true, "north-wing_2.b"},
      {"north wing", false, "north-wing"}, {"-north", false, "north"},
      {".north", false, "north"},        {"nörth", false, "n-rth"},
      {"Süd Flügel!", false, "S-d-Fl-gel"}, {"***", false, "plan"},
      {"north\n", false, "north"},
  };
  for (const auto& n : names) {
    EXPECT_EQ(IsJobName(n.name), n.ok) << n.name;
    EXPECT_EQ(SuggestedJobName(n.name), n.suggestion) << n.name;
    EXPECT_TRUE(IsJobName(SuggestedJobName(n.name))) << n.name;
  }
  EXPECT_FALSE(IsJobName(QString(kMaxJobNameLength + 1, 'a')));
  EXPECT_EQ(SuggestedJobName(QString(kMaxJobNameLength + 9, 'a')).size(), kMaxJobNameLength);

  JobContext context;
  EXPECT_EQ(InstallCommand("/srv/plans/north.toml", "north", context), "sudo zmrctl install /srv/plans/north.toml");
  // A line break is quoted like any other character a shell would act on.
  EXPECT_EQ(InstallCommand("/srv/plans/north.toml\n", "north", context).toStdString(), "sudo zmrctl install '/srv/plans/north.toml\n'");
  context.zmrctl = "/home/office/zmr build/zmrctl";
  context.settings_folder = "/home/office/my settings/";
  EXPECT_EQ(InstallCommand("/home/office/school year/north wing.toml", "north-wing", context),
            "sudo '/home/office/zmr build/zmrctl' --settings '/home/office/my settings/' install "
            "'/home/office/school year/north wing.toml' --name north-wing");
  // A plan whose name cannot be one gets the suggestion in its command.
  context = {};
  context.plans_folder = "/etc/zmr-console/plans";
  const JobLine line = UnattendedJob(PlanAt("/home/office/north wing.toml"), ScriptedSystemd(), context);
  EXPECT_EQ(line.command, "sudo zmrctl install '/home/office/north wing.toml' --name north-wing");
  // In the plans folder itself such a name cannot run at all.
  EXPECT_EQ(UnattendedJob(PlanAt("/etc/zmr-console/plans/north wing.toml"), ScriptedSystemd(), context).state,
            JobState::BadName);
}

// The real seam: systemctl found on PATH (a stand-in script), or not there at all.
TEST(UpkeepJob, SystemctlIsAskedThroughThePath) {
  TempDir bin;
  const PathFor path(QDir(bin.folder()).absolutePath());
  EXPECT_FALSE(SystemctlQuery().isEnabled("zmr-upkeep@north.timer").ran);
  EXPECT_TRUE(SystemctlQuery().show("zmr-upkeep@north.timer", {"NextElapseUSecRealtime"}).empty());
  EXPECT_FALSE(SystemctlQuery().enableNow("zmr-upkeep@north.timer", false).ran);

  WriteScript(bin.file("systemctl"),
              "#!/bin/sh\necho \"$*\" >> " + bin.file("asked").toLocal8Bit() + "\n"
              "case \"$1\" in\n"
              "is-enabled) echo disabled; exit 1;;\n"
              "show) echo NextElapseUSecRealtime=@1778392800; echo 'LastTriggerUSec=n/a'; echo 'broken line';;\n"
              "daemon-reload) ;;\n"
              "enable) echo 'Created symlink /etc/systemd/system/timers.target.wants/'\"$3\"'.';;\n"
              "*) exit 9;;\n"
              "esac\n");
  const ServiceAnswer answer = SystemctlQuery().isEnabled("zmr-upkeep@north.timer");
  EXPECT_TRUE(answer.ran);
  EXPECT_EQ(answer.exit_code, 1);
  EXPECT_EQ(answer.output.toStdString(), "disabled");
  const auto shown = SystemctlQuery().show("zmr-upkeep@north.timer", {"NextElapseUSecRealtime", "LastTriggerUSec"});
  EXPECT_EQ(shown, (std::map<QString, QString>{{"NextElapseUSecRealtime", "@1778392800"}, {"LastTriggerUSec", "n/a"}}));
  const ServiceAnswer enabled = SystemctlQuery().enableNow("zmr-upkeep@north.timer", true);
  EXPECT_EQ(enabled.exit_code, 0);
  EXPECT_EQ(enabled.output.toStdString(), "Created symlink /etc/systemd/system/timers.target.wants/zmr-upkeep@north.timer.");
  QFile asked(bin.file("asked"));
  ASSERT_TRUE(asked.open(QIODevice::ReadOnly));
  EXPECT_EQ(asked.readAll(),
            "is-enabled zmr-upkeep@north.timer\n"
            "show --timestamp=unix --property=NextElapseUSecRealtime,LastTriggerUSec zmr-upkeep@north.timer\n"
            "daemon-reload\nenable --now zmr-upkeep@north.timer\n");
}

TEST(UpkeepJob, TheCommandNamesTheZmrctlBesideTheProgram) {
  TempDir program, elsewhere;
  const QString folder = QDir(program.folder()).absolutePath();
  EXPECT_EQ(ZmrctlCommand(folder), "zmrctl") << "none beside it: the one on the PATH";
  WriteScript(program.file("zmrctl"), "#!/bin/sh\n");
  {
    const PathFor path(QDir(elsewhere.folder()).absolutePath());
    EXPECT_EQ(ZmrctlCommand(folder), folder + "/zmrctl") << "a build folder: its own, by its path";
  }
  const PathFor path(folder);
  EXPECT_EQ(ZmrctlCommand(folder), "zmrctl") << "the installed one is the one on the PATH";
}

}  // namespace
}  // namespace zmr
