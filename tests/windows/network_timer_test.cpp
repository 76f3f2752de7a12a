// "Network timer ..." in the welcome and Program Options dialogs: the address is typed,
// checked (form, then whether anything answers there) and stored beside timer.ini.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QGroupBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTest>
#include <cerrno>

#include "link/port_map.h"
#include "link/timer_link.h"
#include "project/settings.h"
#include "support/fake_clock.h"
#include "support/fake_port.h"
#include "support/ser2net_process.h"
#include "windows/programoptions.h"
#include "windows/start_up.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

struct NetworkTimerTest : ::testing::Test {
  NetworkTimerTest() {
    w.main().FormShow();
    EXPECT_TRUE(listening.listen(QHostAddress::LocalHost));
  }

  // One showing of the network dialog: each entry is typed over the field and sent
  // with Enter, as a user does.
  void Type(std::vector<QString> entries) {
    w.runner.scripts.push_back([this, entries](ConsoleDialog& dialog) {
      auto* field = Control<QLineEdit>(dialog, "networkaddress");
      prompt = Control<QLabel>(dialog, "networkprompt")->text();
      shown_text = field->text();
      for (const QString& entry : entries) {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, entry);
        QTest::mouseClick(Control<QPushButton>(dialog, "networkok"), Qt::LeftButton);
      }
      accepted = dialog.result() == QDialog::Accepted;
    });
  }
  QString Mapped(int n) { return ReadPortMap(w.dir.folder()).count(n) ? ReadPortMap(w.dir.folder()).at(n).text() : ""; }
  QString Listening() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(listening.serverPort()); }

  FakeClock clock;
  FakePort port{clock};
  TimerLink link{port, clock};
  World w{{}, &link};
  QTcpServer listening;  // something that answers on loopback
  QString prompt, shown_text;
  bool accepted = false;
};

TEST_F(NetworkTimerTest, OptionsStoresACheckedAddressForTheChosenPort) {
  Tprogramoptionsform& options = w.windows().programoptionsform();
  options.FormShow();
  Control<QGroupBox>(options, "selectcomms")->findChildren<QRadioButton*>()[2]->click();

  Type({"rfc2217://[fd00::20:2217", "tcp://10.0.4.20:99999", Listening()});
  QTest::mouseClick(Control<QPushButton>(options, "networkbut"), Qt::LeftButton);

  EXPECT_EQ(w.runner.shown.back(), "networktimerform");
  EXPECT_EQ(prompt, "The address of the timer that Com 3 leads to (leave it empty for this PC's own port):");
  EXPECT_EQ(shown_text, "");
  EXPECT_EQ(w.prompts.texts(), (std::vector<QString>{"Close the IPv6 address with ] and put :PORT after it.",
                                                     "The port number must be 1 to 65535."}));
  EXPECT_TRUE(accepted);
  EXPECT_EQ(Mapped(3), Listening());
  EXPECT_EQ(Control<QLabel>(options, "portdevice")->text(), Listening().prepend("Com 3 is ") + " (network, cleartext)");
  EXPECT_FALSE(link.port().isOpen());  // the next request connects to the new address
  EXPECT_EQ(QFileInfo(w.iniPath()).size(), kSettingsFileSize);
  EXPECT_EQ(w.data->settings.com_port, 3);
}

TEST_F(NetworkTimerTest, NothingAnsweringAsksBeforeStoringAndEmptyGoesBackToThePcsOwnPort) {
  const int closed = FreeLoopbackPort();
  const QString address = QStringLiteral("rfc2217://127.0.0.1:%1").arg(closed);
  const QString question = QString("Unable to open com port (win error code: %1)\nNothing accepts connections at "
                                   "127.0.0.1 port %2. Check that ser2net or the device server runs there and "
                                   "listens on that port.\n\nStore %3 for Com 1 anyway?")
                               .arg(ECONNREFUSED)
                               .arg(closed)
                               .arg(address);
  TStartupForm& welcome = w.windows().StartupForm();
  welcome.FormShow();  // com_port 1

  w.prompts.answers = {BoxAnswer::No};
  Type({address});
  QTest::mouseClick(Control<QPushButton>(welcome, "networkbut"), Qt::LeftButton);
  EXPECT_FALSE(accepted);  // the dialog stays for a correction
  EXPECT_EQ(Mapped(1), "");
  ASSERT_EQ(w.prompts.boxes.size(), 1u);
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Warning);
  EXPECT_EQ(w.prompts.boxes[0].text, question);
  EXPECT_TRUE(w.prompts.cursorBackBeforeEveryBox());

  w.prompts.answers = {BoxAnswer::Yes};
  Type({address});
  QTest::mouseClick(Control<QPushButton>(welcome, "networkbut"), Qt::LeftButton);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(Mapped(1), address);
  EXPECT_EQ(Control<QLabel>(welcome, "portdevice")->text(), "Com 1 is " + address + " (network, cleartext)");

  Type({""});
  QTest::mouseClick(Control<QPushButton>(welcome, "networkbut"), Qt::LeftButton);
  EXPECT_EQ(shown_text, address);  // the dialog starts from the stored address
  EXPECT_TRUE(accepted);
  EXPECT_EQ(Mapped(1), "");
  EXPECT_FALSE(Control<QLabel>(welcome, "portdevice")->text().contains("network"));
}

TEST_F(NetworkTimerTest, BothButtonsCarryTheirCaptionAndAreReachedByTab) {
  for (ConsoleDialog* dialog : std::initializer_list<ConsoleDialog*>{&w.windows().StartupForm(),
                                                                     &w.windows().programoptionsform()}) {
    auto* button = Control<QPushButton>(*dialog, "networkbut");
    EXPECT_EQ(button->text(), "Network timer ...");
    EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(Control<QPushButton>(*dialog, "detectbut")->nextInFocusChain(), button);
  }
}

}  // namespace
}  // namespace zmr::testing
