#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTextEdit>

#include "link/port_map.h"
#include "project/settings.h"
#include "ui/field_looks.h"
#include "windows/about.h"
#include "windows/programoptions.h"
#include "windows/start_up.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

struct OptionDialogsTest : ::testing::Test {
  OptionDialogsTest() { w.main().FormShow(); }

  void storeComPort(int n) {
    w.data->settings.com_port = static_cast<std::uint16_t>(n);
    SaveSettings(w.data->settings, w.dir.folder());
  }
  ProgramSettings storedSettings() {
    ProgramSettings stored;
    LoadSettings(stored, w.dir.folder());
    return stored;
  }
  QRadioButton* radio(QWidget& dialog, const char* group, int item) {
    return Control<QGroupBox>(dialog, group)->findChildren<QRadioButton*>()[item];
  }

  World w;
};

TEST_F(OptionDialogsTest, WelcomeShowsItsTextsAndAlwaysStoresThePortOnShowing) {
  storeComPort(3);
  TStartupForm& welcome = w.windows().StartupForm();
  for (int showing = 0; showing < 2; ++showing) {
    QFile::remove(w.iniPath());
    welcome.FormShow();
    EXPECT_EQ(welcome.portused().itemIndex(), 2);
    EXPECT_TRUE(radio(welcome, "portused", 2)->isChecked());
    EXPECT_EQ(radio(welcome, "portused", 2)->text(), "Com 3");
    // The group is cleared first, so the selection handler writes the unchanged port again.
    EXPECT_TRUE(QFileInfo::exists(w.iniPath())) << "showing " << showing;
    EXPECT_EQ(storedSettings().com_port, 3);
  }
  EXPECT_EQ(welcome.windowTitle(), "Welcome");
  EXPECT_EQ(Control<QLabel>(welcome, "tip1")->text(), kWelcomeTip1);
  EXPECT_EQ(Control<QLabel>(welcome, "tip2")->text(),
            "If you are not sure to which Port your Hardware is connected to, please use the Detect option provided below.");
  const QStringList steps = Control<QTextEdit>(welcome, "RichEdit2")->toPlainText().split(u'\n');
  ASSERT_EQ(steps.size(), 15);
  EXPECT_EQ(steps[1], "1.\tCreate a new ZMR Project file (*.psf). Once a Project file has ");
  EXPECT_EQ(steps[4], "2.\tUse the Schedule Details option, which allows you to create ");
  EXPECT_EQ(steps[8], "3.\tAs soon as you are satisfied with the configuration of your ZMR ");
}

// With timers in three buildings the host is what is read: the device line shows the
// address whole, wrapped, within the room the dialog gives it.
TEST_F(OptionDialogsTest, TheDeviceLineShowsANetworkAddressWhole) {
  const QString settings = w.dir.folder() + u'/';
  const ScopedPortMapFolder mapping(settings);
  MapComPort(settings, 3, *ParseNetworkAddress("rfc2217+tls://bells-north-building.school.example:2217").address);
  storeComPort(3);
  for (ConsoleDialog* dialog : std::initializer_list<ConsoleDialog*>{&w.windows().StartupForm(), &w.windows().programoptionsform()}) {
    dialog->FormShow();
    dialog->show();
    const auto* line = Control<QLabel>(*dialog, "portdevice");
    EXPECT_EQ(line->text(), "Com 3 is rfc2217+tls://bells-north-building.school.example:2217 (network, TLS)");
    const QStringList shown = ShownLines(*line);
    EXPECT_EQ(shown.join(QString()), line->text()) << dialog->objectName().toStdString();
    EXPECT_LE(shown.size() * line->fontMetrics().lineSpacing(), line->contentsRect().height())
        << dialog->objectName().toStdString() << ": " << shown.join('|').toStdString();
    // Nothing below is covered by the lines.
    for (const char* below : {"detectbut", "networkbut", "tip2"}) {
      const auto* other = dialog->findChild<QWidget*>(below);
      if (other != nullptr && other->geometry().left() < line->geometry().right() &&
          other->geometry().right() > line->geometry().left()) {
        EXPECT_GE(other->geometry().top(), line->geometry().bottom()) << below;
      }
    }
    dialog->hide();
  }
}

TEST_F(OptionDialogsTest, ChoosingAPortStoresItAtOnce) {
  TStartupForm& welcome = w.windows().StartupForm();
  welcome.FormShow();
  radio(welcome, "portused", 5)->click();
  EXPECT_EQ(w.data->settings.com_port, 6);
  EXPECT_EQ(storedSettings().com_port, 6);

  Tprogramoptionsform& options = w.windows().programoptionsform();
  options.FormShow();
  EXPECT_EQ(options.selectcomms().itemIndex(), 5);
  radio(options, "selectcomms", 4)->click();
  EXPECT_EQ(storedSettings().com_port, 5);
}

TEST_F(OptionDialogsTest, OptionsStoresThePortOnlyWhenShowingChangesTheSelection) {
  storeComPort(3);
  Tprogramoptionsform& options = w.windows().programoptionsform();
  Control(w.main(), "Ports1")->trigger();
  EXPECT_EQ(w.runner.shown, std::vector<QString>{"programoptionsform"});
  EXPECT_EQ(options.selectcomms().itemIndex(), 2);
  EXPECT_EQ(Control<QLabel>(options, "tip1")->text(),
            "Your ZMR Hardware is connected to your PC's Communications port (a standard RS-232 connector & cable "
            "is used).\r\nSelecting the correct COM port will allow ZMR-Console to communicate with the connected "
            "ZMR Hardware. If this communications process fails, an appropriate ERROR message will be generated. "
            "You can thus use the Detect option to ensure, that the correct port is assigned or make sure that the "
            "ZMR Hardware is correctly connected and powered.");

  QFile::remove(w.iniPath());
  options.FormShow();  // Com 3 is selected already: the handler does not run
  EXPECT_FALSE(QFileInfo::exists(w.iniPath()));

  w.data->settings.com_port = 2;  // changed elsewhere (the welcome dialog, detection)
  options.FormShow();
  EXPECT_EQ(options.selectcomms().itemIndex(), 1);
  EXPECT_EQ(storedSettings().com_port, 2);
}

TEST_F(OptionDialogsTest, TheWelcomeAndAboutCheckBoxesAreMirrorImages) {
  TStartupForm& welcome = w.windows().StartupForm();
  Taboutform& about = w.windows().aboutform();
  welcome.FormShow();
  auto* dont_show = Control<QCheckBox>(welcome, "CheckBox1");
  EXPECT_FALSE(dont_show->isChecked());
  dont_show->click();
  EXPECT_EQ(storedSettings().show_welcome, 0);

  Control(w.main(), "About1")->trigger();
  auto* show = Control<QCheckBox>(about, "showwelcome");
  EXPECT_FALSE(show->isChecked());
  show->click();
  EXPECT_EQ(w.data->settings.show_welcome, 1);
  EXPECT_EQ(storedSettings().show_welcome, 1);
  about.FormShow();
  EXPECT_TRUE(show->isChecked());
  show->click();
  EXPECT_EQ(storedSettings().show_welcome, 0);
}

TEST_F(OptionDialogsTest, AboutShowsVersionDateAndOpensTheMakersLinks) {
  Taboutform& about = w.windows().aboutform();
  about.FormShow();
  EXPECT_EQ(about.windowTitle(), "About: ZMR - Console");
  EXPECT_EQ(Control<QLabel>(about, "aboutversion")->text(), "V2.0");
  EXPECT_EQ(Control<QLabel>(about, "aboutreleasedate")->text(), "FEBRUARY 2004");
  EXPECT_EQ(Control<QLabel>(about, "Label6")->text().count(u'\n'), 3);  // four lines
  // Where the settings live: here the test's program folder, which takes files.
  const QLabel* place = Control<QLabel>(about, "settingsfile");
  EXPECT_EQ(place->toolTip(), w.iniPath());
  EXPECT_EQ(place->accessibleName(), "Settings file:");
  EXPECT_LE(place->fontMetrics().horizontalAdvance(place->text()), place->width());
  about.Label2Click();
  about.Label1Click();
  EXPECT_EQ(w.prompts.opened,
            (std::vector<QString>{"mailto:" + Control<QLabel>(about, "Label2")->text(), kMakerWeb}));
  EXPECT_TRUE(w.prompts.opened[0].endsWith(".example"));
}

}  // namespace
}  // namespace zmr::testing
