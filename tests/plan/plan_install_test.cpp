// A plan installed for the unattended job: its copy stands alone (every file it names
// beside it, its port what it leads to on this PC, readable by the job's user), and
// installing again replaces the copy whole.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>

#include "link/port_map.h"
#include "link/port_names.h"
#include "plan/plan_days.h"
#include "plan/plan_install.h"
#include "plan/plan_reader.h"
#include "support/plan_fixtures.h"
#include "support/project_fixtures.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const QDateTime kNow(QDate(2026, 10, 23), QTime(7, 0));
const char kByIdName[] = "usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0";

unsigned ModeOf(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

class PlanInstall : public ::testing::Test {
 protected:
  PlanInstall() {
    // An exam week kept in another folder, named by its absolute path, of the same file
    // name as the usual week.
    QDir(elsewhere.folder()).mkdir("exams");
    QFile::copy(files.file("exams.zmr"), elsewhere.file("exams/normal.zmr"));
    files.write("north.toml", "port = \"COM1\"\nweek = \"normal.zmr\"\n"
                              "holidays = [{ file = \"terms.ics\", only = [\"half term\"] }]\n\n[[period]]\n"
                              "name = \"Exam week\"\nfrom = 2027-05-10\nto = 2027-05-14\nweek = \"" +
                                  elsewhere.file("exams/normal.zmr").toStdString() + "\"\n");
  }
  InstallResult Install(const QString& plan = {}, const QString& name = {}) {
    return InstallPlan({plan.isEmpty() ? files.file("north.toml") : plan, name, root.folder(), "COM2",
                        settings.folder() + "/", kNow});
  }
  QString plans() const { return PlansFolderUnder(root.folder()); }

  PlanFolder files;
  TempDir elsewhere, root, settings;
  // COM1 is a USB adapter with a by-id name, COM2 a built-in port.
  ScopedPortEnumerator ports{std::make_shared<ListedPorts>(std::vector<SerialDevice>{
      {"/dev/ttyUSB0", "FT232R USB UART", kByIdName, true}, {"/dev/ttyS0", "", "", false, true}})};
};

TEST_F(PlanInstall, TheCopyStandsAloneAndDecidesEveryDayAsThePlanDoes) {
  const InstallResult r = Install();
  ASSERT_EQ(r.outcome, InstallOutcome::Installed) << r.problem.toStdString();
  EXPECT_EQ(r.name, "north");
  EXPECT_EQ(r.plan_file, plans() + "/north.toml");
  EXPECT_EQ(r.copy_folder, plans() + "/north/1");
  EXPECT_EQ(r.files, 3);
  EXPECT_EQ(r.port_asked, "COM1");
  EXPECT_EQ(r.port, QString("/dev/serial/by-id/") + kByIdName);
  EXPECT_TRUE(r.warnings.isEmpty()) << r.warnings.join('\n').toStdString();

  const PlanReading copy = ReadPlan(r.plan_file, kNow.date());
  ASSERT_TRUE(copy.ok()) << FaultLines(copy.faults).join('\n').toStdString();
  EXPECT_EQ(copy.plan.port, r.port);
  EXPECT_EQ(copy.plan.week, "north/1/normal.zmr");
  EXPECT_EQ(copy.plan.periods.at(0).week, "north/1/normal-2.zmr") << "two files of one name keep apart";
  EXPECT_EQ(copy.plan.holidays, (std::vector<HolidayCalendar>{{"north/1/terms.ics", {"half term"}}}));
  const PlanReading plan = ReadPlan(files.file("north.toml"), kNow.date());
  for (int day = 0; day < 400; ++day) {
    const QDate date = kNow.date().addDays(day);
    const DayDecision a = DecideDay(plan.plan, date), b = DecideDay(copy.plan, date);
    ASSERT_EQ(a.bells, b.bells) << date.toString(Qt::ISODate).toStdString();
    if (a.bells) {
      EXPECT_EQ(std::memcmp(plan.plan.weeks.at(a.week).get(), copy.plan.weeks.at(b.week).get(), sizeof(ProjectSetup)), 0)
          << date.toString(Qt::ISODate).toStdString();
    }
  }
  // Readable by the job's user, whatever the umask of the one who installed it.
  for (const QString& folder : {plans(), plans() + "/north", r.copy_folder}) EXPECT_EQ(ModeOf(folder), 0755u);
  for (const QString& file : {r.plan_file, r.copy_folder + "/normal.zmr", r.copy_folder + "/normal-2.zmr",
                              r.copy_folder + "/terms.ics"}) {
    EXPECT_EQ(ModeOf(file), 0644u) << file.toStdString();
  }
  EXPECT_TRUE(files.read("north.toml").find("COM1") != std::string::npos) << "the plan itself is left as it was";
}

// The port the job gets is what the name leads to here; a COM<n> never goes into the copy.
TEST_F(PlanInstall, ThePortIsWhatItLeadsToOnThisPc) {
  ASSERT_TRUE(QDir().mkpath(settings.folder()));
  MapComPort(settings.folder() + "/", 3, *ParseNetworkAddress("rfc2217://10.0.4.20:2217").address);
  const ScopedPortMapFolder mapped(settings.folder() + "/");
  const struct {
    const char* port;  // in the plan; nullptr: none (this user's COM2)
    const char* installed;
  } cases[] = {
      {"COM1", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0"},
      {"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0"},
      {nullptr, "/dev/ttyS0"},
      {"COM3", "rfc2217://10.0.4.20:2217"},
      {"tcp://Bells.School.:4001", "tcp://bells.school.:4001"},
      {"/dev/timer-hall", "/dev/timer-hall"},
      {"rfc2217+tls://bells.school:7000", "rfc2217+tls://bells.school:7000"},
  };
  for (const auto& c : cases) {
    files.write("west.toml", (c.port != nullptr ? std::string("port = \"") + c.port + "\"\n" : std::string()) +
                                 "week = \"normal.zmr\"\n");
    QDir(settings.folder()).mkpath("tls");
    for (const char* f : {"tls/ca.pem", "tls/cert.pem", "tls/key.pem"}) {
      QFile pem(settings.folder() + "/" + f);
      ASSERT_TRUE(pem.open(QIODevice::WriteOnly));
      pem.write(f);
    }
    const InstallResult r = Install(files.file("west.toml"));
    ASSERT_EQ(r.outcome, InstallOutcome::Installed) << r.problem.toStdString();
    EXPECT_EQ(r.port, c.installed) << (c.port ? c.port : "none");
    EXPECT_EQ(ReadPlan(r.plan_file, kNow.date()).plan.port, c.installed);
  }
  files.write("west.toml", "port = \"COM5\"\nweek = \"normal.zmr\"\n");
  const InstallResult none = Install(files.file("west.toml"));
  EXPECT_EQ(none.outcome, InstallOutcome::NoPort);
  EXPECT_EQ(none.problem, "COM5 leads to no device on this PC");
}

// Old or new, never half: the plan file switches from one complete copy to the next; the
// copy it used stays until the next install, for a run that read the plan a moment before.
TEST_F(PlanInstall, InstallingAgainReplacesTheCopyWhole) {
  ASSERT_EQ(Install().outcome, InstallOutcome::Installed);
  QFile first_plan(plans() + "/north.toml");
  ASSERT_TRUE(first_plan.open(QIODevice::ReadOnly));
  const QByteArray first_text = first_plan.readAll();
  auto week = std::make_unique<ProjectSetup>();
  ResetProject(*week);
  AddPulse(*week, 3, 1, 10, 0, 4);
  WriteProject(files.file("normal.zmr"), *week);
  const InstallResult second = Install();
  ASSERT_EQ(second.outcome, InstallOutcome::Installed);
  EXPECT_EQ(second.copy_folder, plans() + "/north/2");
  EXPECT_EQ(QDir(plans() + "/north").entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"1", "2"}));
  // The plan as a run read it just before the switch still finds all its files.
  QFile old_plan(plans() + "/read-before.toml");
  ASSERT_TRUE(old_plan.open(QIODevice::WriteOnly));
  old_plan.write(first_text);
  old_plan.close();
  EXPECT_TRUE(ReadPlan(old_plan.fileName(), kNow.date()).ok());
  const PlanReading now = ReadPlan(second.plan_file, kNow.date());
  ASSERT_TRUE(now.ok());
  EXPECT_EQ(std::memcmp(now.plan.weeks.at(now.plan.week).get(), week.get(), sizeof(ProjectSetup)), 0);
  ASSERT_EQ(Install().outcome, InstallOutcome::Installed);
  EXPECT_EQ(QDir(plans() + "/north").entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"2", "3"}));

  // A folder the site keeps there is never taken for an old copy.
  QDir(plans() + "/north").mkdir("notes");
  // An install that fails on its way leaves the copy in use as it was, and nothing of its own.
  QFile::remove(plans() + "/north.toml");
  QDir(plans()).mkdir("north.toml");
  const InstallResult failed = Install();
  EXPECT_EQ(failed.outcome, InstallOutcome::Failed);
  EXPECT_EQ(failed.problem, "File access denied.");
  EXPECT_EQ(QDir(plans() + "/north").entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"2", "3", "notes"}));
}

// Over TLS the job needs this PC's files that are set: the CA and certificate for all to
// read, the key for root and the job's group only, and the job joins that group. One not
// set is none of the job's either.
TEST_F(PlanInstall, ATimerOverTlsTakesThisPcsTlsFilesAlong) {
  files.write("north.toml", "port = \"tcp+tls://bells.school:7001\"\nweek = \"normal.zmr\"\n");
  const QString tls = QDir(root.folder()).absolutePath() + "/etc/zmr-console/tls";
  QDir(settings.folder()).mkdir("tls");
  auto set = [&](const char* f) {
    QFile pem(settings.folder() + "/tls/" + f);
    ASSERT_TRUE(pem.open(QIODevice::WriteOnly));
    pem.write(QByteArray("-----BEGIN ") + f);
  };
  set("cert.pem");
  set("key.pem");
  InstallResult r = Install();
  ASSERT_EQ(r.outcome, InstallOutcome::Installed) << r.problem.toStdString();
  EXPECT_EQ(r.tls_files, (QStringList{tls + "/cert.pem", tls + "/key.pem"})) << "no CA: the system's CAs";

  set("ca.pem");
  const QString group = QString::fromLocal8Bit(::getgrgid(::getegid())->gr_name);
  InstallRequest request{files.file("north.toml"), "", root.folder(), "COM2", settings.folder() + "/", kNow, group};
  r = InstallPlan(request);
  ASSERT_EQ(r.outcome, InstallOutcome::Installed) << r.problem.toStdString();
  EXPECT_EQ(r.tls_files, (QStringList{tls + "/ca.pem", tls + "/cert.pem", tls + "/key.pem"}));
  EXPECT_EQ(ModeOf(tls + "/ca.pem"), 0644u);
  EXPECT_EQ(ModeOf(tls + "/key.pem"), 0640u);
  EXPECT_EQ(QFileInfo(tls + "/key.pem").groupId(), ::getegid());
  EXPECT_TRUE(r.unit_changed);
  QFile drop_in(TlsDropInUnder(root.folder(), "north"));
  ASSERT_TRUE(drop_in.open(QIODevice::ReadOnly));
  EXPECT_TRUE(drop_in.readAll().endsWith("[Service]\nSupplementaryGroups=" + group.toUtf8() + "\n"));
  drop_in.close();

  request.key_group = "zmr-no-such-group";
  r = InstallPlan(request);
  EXPECT_EQ(ModeOf(tls + "/key.pem"), 0600u) << "without the group, root's alone";
  EXPECT_EQ(r.warnings, QStringList{"the group zmr-no-such-group does not exist on this PC, so the job cannot read " +
                                    tls + "/key.pem: make it (groupadd --system zmr-no-such-group) and install again"});

  // This PC's certificate and key cleared: the job shows none either, and leaves the group.
  QFile::remove(settings.folder() + "/tls/cert.pem");
  QFile::remove(settings.folder() + "/tls/key.pem");
  r = InstallPlan(request);
  EXPECT_EQ(r.tls_files, QStringList{tls + "/ca.pem"});
  EXPECT_FALSE(QFileInfo::exists(tls + "/key.pem"));
  EXPECT_FALSE(QFileInfo::exists(TlsDropInUnder(root.folder(), "north")));

  // Back to a plain timer: the job leaves the group again.
  set("cert.pem");
  set("key.pem");
  request.key_group = group;
  ASSERT_TRUE(InstallPlan(request).unit_changed);
  files.write("north.toml", "port = \"tcp://bells.school:7001\"\nweek = \"normal.zmr\"\n");
  r = Install();
  EXPECT_TRUE(r.unit_changed);
  EXPECT_FALSE(QFileInfo::exists(TlsDropInUnder(root.folder(), "north")));
  EXPECT_FALSE(Install().unit_changed);
}

TEST_F(PlanInstall, AFolderTheJobsUserCannotSearchIsSaid) {
  ASSERT_TRUE(QDir().mkpath(root.folder() + "/etc/zmr-console"));
  QFile(root.folder() + "/etc/zmr-console").setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const InstallResult r = Install();
  ASSERT_EQ(r.outcome, InstallOutcome::Installed);
  const QString closed = QDir(root.folder()).absolutePath() + "/etc/zmr-console";
  EXPECT_EQ(r.warnings, QStringList{"the job's user cannot reach the plan through " + closed +
                                    ": make it searchable (chmod o+x " + closed + ")"});
}

}  // namespace
}  // namespace zmr
