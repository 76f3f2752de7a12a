#pragma once
// Compile and Download Data: sends the open project's week to the timer, reports each
// step, compares the clocks, and sets the timer's clock from the PC's.
#include <memory>

#include "hardware/date_texts.h"
#include "hardware/download_view.h"
#include "ui/timer_dialog.h"

namespace Ui {
class Tcompileform;
}

namespace zmr {

class Tcompileform : public TimerDialog, public DownloadView {
 public:
  explicit Tcompileform(Console& console, QWidget* parent = nullptr);
  ~Tcompileform() override;

  Ui::Tcompileform& ui() { return *ui_; }
  // Tests fix the date and time formats the report lines use.
  void setFormats(const DateTimeFormats& formats) { formats_ = formats; }

  void FormShow() override;
  void downloadbutClick();
  void updatebutClick();
  void closebutClick();
  void tip7Click();
  void tip9Click();

  // DownloadView
  void addLine(const QString& line) override;
  void clearLines() override;
  void setProgress(int position, int maximum) override;
  void setDownloadEnabled(bool enabled) override;
  void setUpdateEnabled(bool enabled) override;
  void setCloseEnabled(bool enabled) override;

 private:
  void openHelp();

  Console& console_;
  std::unique_ptr<Ui::Tcompileform> ui_;
  DateTimeFormats formats_ = DateTimeFormats::System();
};

inline const QString kCompileTip1 = QStringLiteral(
    "The current Project schedule with events will be downloaded to the connected ZMR Hardware. The Status "
    "Report will provide visual/text details during this process, showing important steps and their progress. "
    "You do not need to interact with this process, unless and error has occurred, upon which an appropriate "
    "message will be displayed.");
inline const QString kCompileTip2 = QStringLiteral(
    "The Synchronize Date Time Option is used to make sure that the ZMR Hardware's onboard clock is synchronized "
    "with your PC's current BIOS date/time.");
inline const QString kCompileTip4 = QStringLiteral(
    "Do not assume your PC's clock is accurate or correct. Always verify that the time on your PC is in fact "
    "correct before using the Synchronize Date/Time option. Inaccuracy might have unintended consequences in "
    "time critical/safety applications.");
// The label shows "&&" as one "&".
inline const QString kCompileTip6 = QStringLiteral("1. Date/Time difference between PC && ZMR clocks.");
inline const QString kCompileTip8 = QStringLiteral("2. The ZMR Hardware has not been Activated.");
// In program_folder/HTMLHelp.
inline const QString kCompileHelpPage = QStringLiteral("compile.htm");

}  // namespace zmr
