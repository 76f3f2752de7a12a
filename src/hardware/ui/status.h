#pragma once
// ZMR Status: what the timer reports about itself, read once each time the dialog is
// shown; sets the timer's clock, tests its output and copies a report to the clipboard.
#include <QTimer>
#include <memory>

#include "hardware/date_texts.h"
#include "ui/timer_dialog.h"
#include "link/timer_commands.h"

namespace Ui {
class Tstatusform;
}

namespace zmr {

class Tstatusform : public TimerDialog {
 public:
  explicit Tstatusform(Console& console, QWidget* parent = nullptr);
  ~Tstatusform() override;

  Ui::Tstatusform& ui() { return *ui_; }
  QTimer& ShowTimer() { return show_timer_; }
  // Tests fix the date and time formats of the copy report.
  void setFormats(const DateTimeFormats& formats) { formats_ = formats; }

  void FormShow() override;
  void ShowTimerTimer();
  void RefreshStatus();
  void updatebutClick();
  void BitBtn1Click();
  void TestringbellbutClick();
  void Button3Click();
  void Label11Click();

  // The copy report as it would be placed on the clipboard now.
  QString reportText() const;

 private:
  void showFields(const StatusTexts& texts);
  StatusTexts shownFields() const;

  Console& console_;
  std::unique_ptr<Ui::Tstatusform> ui_;
  QTimer show_timer_;
  DateTimeFormats formats_ = DateTimeFormats::System();
};

inline const QString kStatusTip1 = QStringLiteral(
    "The Unit Status dialog provides information by communicating with the ZMR Hardware. All the details are "
    "read from the ZMR Hardware, and using the \"Copy to Clipboard\" Icon you can conveniently copy it's contents "
    "to the clipboard and paste it into a fault report or e-mail for support at: ");
inline const QString kStatusTip3 = QStringLiteral(
    "The Synchronize Date Time Option is used to make sure that the ZMR Hardware's onboard clock is synchronized "
    "with your PC's current BIOS date/time.");
inline const QString kStatusTip4 = QStringLiteral(
    "The Test Output Icon allows you to test the ZMR output. Selecting this option will close the ZMR output "
    "relay, and activate the device you have connected to the ZMR for 3 seconds.");
inline const QString kStatusTip6 = QStringLiteral(
    "Do not assume your PC's clock is accurate or correct. Always verify that the time on your PC is in fact "
    "correct before using the Synchronize Date/Time option. Inaccuracy might have unintended consequences in "
    "time critical/safety applications.");
inline constexpr int kShowTimerMs = 60;

// The notes that say a command succeeded; they go away by themselves.
inline const QString kClockSetNote = QStringLiteral("The timer's clock now runs with this PC's clock.");
inline const QString kOutputTestedNote = QStringLiteral("Output test sent: the timer closes its relay for 3 seconds.");
inline const QString kReportCopiedNote = QStringLiteral("Status report copied to the clipboard.");

}  // namespace zmr
