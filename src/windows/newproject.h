#pragma once
// Project Properties: creates a project (through New) or shows and stores the summary
// of the open one (through Properties).
#include <QDate>
#include <functional>
#include <memory>

#include "project/summary_edit.h"
#include "ui/console.h"

namespace Ui {
class Tnewprojectform;
}
class QLineEdit;

namespace zmr {

class Tnewprojectform : public ConsoleDialog {
 public:
  Tnewprojectform(Console& console, ProjectView& main_window, QWidget* parent = nullptr);
  ~Tnewprojectform() override;

  Ui::Tnewprojectform& ui() { return *ui_; }
  // Tests fix the date that the summary records.
  void setToday(std::function<QDate()> today) { today_ = std::move(today); }

  void FormShow() override;
  void butnextClick();
  void butcancelClick();

  SummaryFields fields() const;

 protected:
  // Sees every key press of the dialog's controls before they do.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::array<QLineEdit*, 7> lineFields() const;
  void setFields(const SummaryFields& fields);

  Console& console_;
  ProjectView& main_window_;
  std::unique_ptr<Ui::Tnewprojectform> ui_;
  std::function<QDate()> today_ = [] { return QDate::currentDate(); };
  qsizetype comments_limit_ = kCommentsInputLimit;  // in stored characters
};

// The text with each tab character made a blank.
QString WithoutTabs(const QString& text);

inline const QString kPropertiesTip = QStringLiteral(
    "Please fill in the relevant details as needed. The details entered in this \u201CSummary Dialog\u201D "
    "allows you to generate a printable report, as record of the current projectsday-to-day schedules "
    "including detailed setting chosen.");

}  // namespace zmr
