// zmrctl install, jobs and on-failure in-process: what each prints, when the job is turned
// on, the jobs at a glance, the site's hook, and the priorities of upkeep's journal lines.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <sstream>

#include "hardware/week_state.h"
#include "link/port_names.h"
#include "plan/plan_install.h"
#include "plan/upkeep_record.h"
#include "project/project_file.h"
#include "project/settings.h"
#include "support/plan_fixtures.h"
#include "support/project_fixtures.h"
#include "support/recording_prompts.h"
#include "support/scripted_systemd.h"
#include "support/sim_port.h"
#include "support/temp_dir.h"
#include "zmrctl/zmrctl.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const char kByIdName[] = "usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0";

class ZmrctlInstallTest : public ::testing::Test {
 protected:
  ZmrctlInstallTest() {
    sim.clock.setNow(kMorning);
    sim.timer.setTimerClock(kMorning);
    env.program_folder = program.folder() + "/";
    env.system_root = root.folder();
    env.systemd = systemd;
    env.make_port = [this] {
      auto port = std::make_unique<FakePort>(sim.clock);
      port->attach("/dev/ttyUSB0", SimDevice(sim.timer));
      port->attach("/dev/serial/by-id/" + QString(kByIdName), SimDevice(sim.timer));
      return port;
    };
    files.write("north.toml", "port = \"COM1\"\nweek = \"normal.zmr\"\nholidays = [\"terms.ics\"]\n");
  }
  int Run(QStringList args) {
    out.str({});
    err.str({});
    return ctl::Run(args, env);
  }
  static std::vector<std::string> Lines(const std::ostringstream& stream) {
    std::vector<std::string> lines;
    std::istringstream in(stream.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  QString plans() const { return PlansFolderUnder(root.folder()); }

  PlanFolder files;
  TempDir program, root;
  SimulatedLink sim;
  std::shared_ptr<ScriptedSystemd> systemd = std::make_shared<ScriptedSystemd>();
  ScopedPortEnumerator ports{std::make_shared<ListedPorts>(
      std::vector<SerialDevice>{{"/dev/ttyUSB0", "FT232R USB UART", kByIdName, true}})};
  std::ostringstream out, err;
  ctl::Environment env{out, err, sim.clock};
};

// The job is turned on at once only by root, with systemd running, for this PC's own
// folders; every other time the command is printed for a person to run.
TEST_F(ZmrctlInstallTest, InstallSaysWhatItDidAndTurnsTheJobOnWhereItCan) {
  const std::string enable = "systemctl enable --now zmr-upkeep@north.timer";
  const struct Case {
    const char* name;
    bool root_option;
    bool root;
    bool systemd_runs;
    int enable_exit;
    std::vector<std::string> tail;  // what follows the two lines about the copy
    std::string err;
    int status;
  } cases[] = {
      {"--root", true, true, true, 0, {"to turn the job on where this copy is used, as root:", enable}, "", 0},
      {"a user", false, false, true, 0, {"to turn the job on, as root:", enable}, "", 0},
      {"no systemd", false, true, false, 0,
       {"systemd does not run on this PC; where it runs, this turns the job on:", enable}, "", 0},
      {"root", false, true, true, 0,
       {"turning the job on:", enable, "Created symlink /etc/systemd/system/timers.target.wants/...",
        "the job is on: zmr-upkeep@north.timer keeps the timer to the plan every hour"},
       "", 0},
      {"refused", false, true, true, 1,
       {"turning the job on:", enable, "Created symlink /etc/systemd/system/timers.target.wants/..."},
       "error: the job is installed but not on: " + enable + " failed (exit 1)\n", 6},
  };
  for (const Case& c : cases) {
    env.root = c.root;
    systemd->runs = c.systemd_runs;
    systemd->enable_answer.exit_code = c.enable_exit;
    systemd->asked.clear();
    QStringList args{"install", files.file("north.toml")};
    if (c.root_option) args << "--root" << root.folder();
    EXPECT_EQ(Run(args), c.status) << c.name;
    std::vector<std::string> expected{
        "installed " + files.file("north.toml").toStdString() + " as " + plans().toStdString() +
            "/north.toml, with 2 files in " + plans().toStdString() + "/north/" + std::to_string(&c - cases + 1),
        std::string("port: /dev/serial/by-id/") + kByIdName + " (COM1 on this PC)"};
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(Lines(out), expected) << c.name;
    EXPECT_EQ(err.str(), c.err) << c.name;
    EXPECT_EQ(systemd->asked, c.tail.front() == "turning the job on:" ? QStringList{"enable --now zmr-upkeep@north.timer"}
                                                                      : QStringList{})
        << c.name;
  }
  // An address is written in its one form; the line says how the plan wrote it.
  files.write("south.toml", "port = \"tcp://Bells.School:4001\"\nweek = \"normal.zmr\"\n");
  env.root = false;
  EXPECT_EQ(Run({"install", files.file("south.toml")}), 0);
  EXPECT_EQ(Lines(out).at(1), "port: tcp://bells.school:4001 (the plan writes tcp://Bells.School:4001)");
}

TEST_F(ZmrctlInstallTest, InstallRefusesAPlanItCannotCopyWithTheReason) {
  files.write("south.toml", "week = \"none.zmr\"\n");
  files.write("east wing.toml", "week = \"normal.zmr\"\n");
  files.write("west.toml", "port = \"COM4\"\nweek = \"normal.zmr\"\n");
  const struct {
    const char* plan;
    int status;
    std::string err;
  } cases[] = {
      {"south.toml", 3,
       "south.toml line 1: week 'none.zmr' is not there\nzmrctl: the plan is refused; nothing was installed\n"},
      {"east wing.toml", 2,
       "zmrctl: 'east wing' cannot name a job: a systemd instance is only letters, digits, '_', '.' and '-' "
       "(neither '.' nor '-' first), at most 200 of them; --name east-wing would do\n"},
      {"west.toml", 4,
       "zmrctl: the plan's port cannot be installed: COM4 leads to no device on this PC; name the port in the plan, "
       "or plug in its adapter\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run({"install", files.file(c.plan)}), c.status) << c.plan;
    EXPECT_EQ(err.str(), c.err) << c.plan;
    EXPECT_TRUE(out.str().empty()) << c.plan;
  }
  EXPECT_FALSE(QFileInfo::exists(plans())) << "nothing was written";
  EXPECT_EQ(Run({"install", files.file("east wing.toml"), "--name", "east-wing"}), 0) << err.str();
  EXPECT_TRUE(QFileInfo::exists(plans() + "/east-wing.toml"));
  EXPECT_EQ(Run({"install"}), 2);
  EXPECT_EQ(err.str(), "zmrctl: install takes one plan file\n");
  EXPECT_EQ(Run({"install", files.file("north.toml"), "--name"}), 2);
  EXPECT_EQ(Lines(err).front(), "zmrctl: --name needs a value");
}

// Run through sudo, "this user's settings" are those of the user who called sudo.
TEST_F(ZmrctlInstallTest, UnderSudoThePortIsTheCallingUsersPort) {
  EXPECT_EQ(SettingsFolderOfUser("/usr/lib/zmr-console/", "/home/office"), "/home/office/.config/zmr-console/");
  EXPECT_EQ(SettingsFolderOfUser("/home/office/zmr/build/bin/", "/home/office"), "/home/office/zmr/build/bin/");
  // A plan without a port takes the settings' port (here --settings, as the window gives it).
  TempDir settings;
  ProgramSettings stored;
  DefaultSettings(stored);
  stored.com_port = 1;
  const ProgramSettings::Bytes bytes = stored.toBytes();
  QFile ini(settings.file("timer.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  ini.close();
  files.write("south.toml", "week = \"normal.zmr\"\n");
  EXPECT_EQ(Run({"--settings", settings.folder(), "install", files.file("south.toml")}), 0) << err.str();
  EXPECT_EQ(Lines(out).at(1), std::string("port: /dev/serial/by-id/") + kByIdName + " (COM1 on this PC)");
  EXPECT_EQ(QFile(settings.file("timer.ini")).size(), static_cast<qint64>(kSettingsFileSize)) << "read, never written";
}

TEST_F(ZmrctlInstallTest, JobsShowsEveryInstalledPlanAtAGlance) {
  EXPECT_EQ(Run({"jobs"}), 0);
  EXPECT_EQ(Lines(out), std::vector<std::string>{"no plans are installed in " + plans().toStdString()});
  files.write("south.toml", "port = \"tcp://Bells.South:4001\"\nweek = \"normal.zmr\"\n\n[[period]]\n"
                            "name = \"Exam week\"\nfrom = 2026-11-09\nto = 2026-11-13\nweek = \"exams.zmr\"\n");
  for (const char* plan : {"north.toml", "south.toml"}) {
    ASSERT_EQ(InstallPlan({files.file(plan), "", root.folder(), "COM1", "", kMorning}).outcome, InstallOutcome::Installed);
  }
  const QString state = root.folder() + "/var/lib/zmr-console";
  auto week = std::make_unique<ProjectSetup>();
  RecordingPrompts prompts;
  ASSERT_EQ(ReadProjectFile(files.file("exams.zmr"), *week, prompts), OpenOutcome::Opened);
  RecordDownload(state, TimerKeyOf("tcp://bells.south:4001"), *week, kMorning.addSecs(-7200).toUTC());
  RecordUpkeepRun(state, {kMorning.addSecs(-3590).toUTC(), "/etc/zmr-console/plans/south.toml", UpkeepOutcome::Done, 0, {}});
  systemd->enabled = {true, 0, "enabled"};
  const QDateTime next = kMorning.addSecs(3600);
  systemd->shown["zmr-upkeep@north.timer"] = {{"NextElapseUSecRealtime", QString("@%1").arg(next.toSecsSinceEpoch())}};
  systemd->shown["zmr-upkeep@south.timer"] = {{"NextElapseUSecRealtime", "n/a"}};
  systemd->shown["zmr-upkeep@north.service"] = {
      {"ExecMainExitTimestamp", "Fri 2026-10-23 06:00:03 CEST"}, {"Result", "exit-code"}, {"ExecMainStatus", "5"}};
  auto when = [](const QDateTime& t) { return t.toString("yyyy-MM-dd HH:mm:ss").toStdString(); };
  EXPECT_EQ(Run({"jobs"}), 0);
  EXPECT_EQ(Lines(out), (std::vector<std::string>{
                            "north (" + plans().toStdString() + "/north.toml)",
                            std::string("  port:         /dev/serial/by-id/") + kByIdName,
                            "  timer holds:  nothing recorded",
                            "  job:          on",
                            "  last run:     2026-10-23 06:00:03: failed (exit 5)",
                            "  next run:     " + when(next),
                            "  next change:  Mon 26 Oct: no bells (holiday Half term (north/1/terms.ics))",
                            "south (" + plans().toStdString() + "/south.toml)",
                            "  port:         tcp://bells.south:4001",
                            "  timer holds:  exams.zmr since " +
                                kMorning.addSecs(-7200).toString("yyyy-MM-dd HH:mm").toStdString(),
                            "  job:          on",
                            "  last run:     " + when(kMorning.addSecs(-3590)) + ": done (exit 0)",
                            "  next run:     none planned",
                            "  next change:  Mon 9 Nov: Exam week",
                        }));
  systemd->runs = false;
  files.write("broken.toml", "week = 3\n");
  QFile::copy(files.file("broken.toml"), plans() + "/east.toml");
  EXPECT_EQ(Run({"jobs"}), 0);
  const std::vector<std::string> lines = Lines(out);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "systemd does not run on this PC: whether each job is on, and when it runs next, cannot be "
                      "known here.");
  EXPECT_EQ(lines[1], "east (" + plans().toStdString() + "/east.toml)");
  EXPECT_EQ(lines[2], "  refused: east.toml line 1: 'week' must be a text in quotes, not empty");
  EXPECT_EQ(lines[3], "  job:          systemd does not run here");
}

// systemd runs `zmrctl on-failure` for a failed job: the site's hook gets the plan's name
// and the run's lines, or nothing happens when the site has none.
TEST_F(ZmrctlInstallTest, OnFailureHandsTheLastRunToTheSitesHook) {
  const QString settings = QDir::cleanPath(root.folder() + "/etc/zmr-console");
  const QString state = root.folder() + "/var/lib/zmr-console";
  ASSERT_TRUE(QDir().mkpath(settings));
  const QString plan = "/etc/zmr-console/plans/north.toml";
  const QStringList args{"--state", state, "on-failure", plan};
  EXPECT_EQ(Run(args), 0) << "no hook: nothing to do";
  EXPECT_TRUE(out.str().empty() && err.str().empty());

  const QString hook = settings + "/on-failure";
  const QString got = root.file("got");
  auto write_hook = [&](const QByteArray& body, QFile::Permissions permissions) {
    QFile script(hook);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    script.write("#!/bin/sh\n{ echo \"name=$1\"; cat; } > " + got.toLocal8Bit() + "\n" + body);
    script.close();
    script.setPermissions(permissions);
  };
  const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
  auto received = [&] {
    QFile f(got);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
  };
  RecordUpkeepRun(state, {kMorning.toUTC(), plan, UpkeepOutcome::TimerFailed, 5,
                          {{UpkeepEventKind::Error, "Timer was not found, or there was a problem establishing a connection!"}}});
  const std::string at = kMorning.toString("yyyy-MM-dd HH:mm:ss").toStdString();
  write_hook("", owner | QFile::ReadOther | QFile::ExeOther);
  EXPECT_EQ(Run(args), 0) << err.str();
  EXPECT_EQ(received(), "name=north\nnorth: last run " + at + ": timer failed (exit 5)\n"
                        "north: error: Timer was not found, or there was a problem establishing a connection!\n");

  RecordUpkeepRun(state, {kMorning.toUTC(), plan, UpkeepOutcome::Done, 0, {{UpkeepEventKind::Note, "nothing to do"}}});
  EXPECT_EQ(Run(args), 0);
  EXPECT_EQ(received(), "name=north\nnorth: the job failed, but its last recorded run ended well; journalctl -u "
                        "zmr-upkeep@north.service says why\nnorth: last run " + at + ": done (exit 0)\nnorth: nothing to do\n");

  write_hook("exit 3\n", owner);
  EXPECT_EQ(Run(args), 6);
  EXPECT_EQ(err.str(), "error: " + hook.toStdString() + " ended with exit status 3\n");
  QFile::remove(got);
  write_hook("", owner | QFile::WriteGroup);
  EXPECT_EQ(Run(args), 6);
  EXPECT_EQ(err.str(), "error: " + hook.toStdString() + " could be changed by others than its owner or root; it is not run\n");
  EXPECT_EQ(received(), "") << "never run";
  write_hook("", QFile::ReadOwner | QFile::WriteOwner);
  EXPECT_EQ(Run(args), 6);
  EXPECT_EQ(err.str(), "error: " + hook.toStdString() + " is not an executable file\n");
}

// Under systemd, every line of a failed run goes to the journal as an error, a warning of a
// good run as a warning; in a terminal, lines are as they always were.
TEST_F(ZmrctlInstallTest, UpkeepLinesCarryTheirJournalPriorityUnderSystemd) {
  files.write("good.toml", "port = \"/dev/ttyUSB0\"\nweek = \"normal.zmr\"\n");
  files.write("bad.toml", "port = \"/dev/ttyUSB9\"\nweek = \"normal.zmr\"\n");
  sim.timer.setTimerClock(kMorning.addSecs(-3600));
  sim.clock.sync = {ClockSync::Unsynchronised, {}};
  for (const bool journal : {true, false}) {
    TempDir state;
    env.journal = journal;
    EXPECT_EQ(Run({"upkeep", "--state", state.folder(), files.file("good.toml"), files.file("bad.toml")}), 4);
    const std::vector<std::string> lines = Lines(out);
    ASSERT_GE(lines.size(), 4u) << out.str() << err.str();
    const std::string warn = journal ? "<4>" : "", error = journal ? "<3>" : "";
    EXPECT_EQ(lines[0].rfind(warn + "good: warning: left the clock as it is", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind(warn + "good: warning: The Date/Time difference", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("good: downloaded normal.zmr", 0), 0u) << lines[2];
    EXPECT_EQ(lines.back().rfind(error + "bad: port error: Unable to open com port", 0), 0u) << lines.back();
  }
}

}  // namespace
}  // namespace zmr
