// The editor window itself: its parts put together, each showing, closing, the keys
// that belong to the whole window. The entry row, the grid and the tool strip have files
// of their own beside this one.
#include "editor/ui/scheduleall.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include "editor/editor_texts.h"
#include "editor/ui/time_field.h"
#include "ui/field_looks.h"
#include "ui/transient_note.h"
#include "ui_scheduleall.h"

namespace zmr {
namespace {

const QString kTip1 = QStringLiteral(
    "1: Start by entering an optional name/title for the timer you are scheduling, followed by selecting the "
    "Pulse Time - which is the time that the output will be activated. Enter the ON time, in HOUR:MINUTE "
    "e.g. "
    "03:15 will imply 3:15 AM, whereas 15:15 will mean 3:15 PM.");
const QString kTip2 = QStringLiteral(
    "2: Once a valid ON Time and Pulse Time has been selected, you can add this event to the schedule grid "
    "by "
    "using the Paste Insert Icon next to each day. You can add this event to several days if required.");
const QString kTip3 = QStringLiteral(
    "3: STEP 1 and 2 can be repeated for as many times as necessary to set up your schedule, up to 120 "
    "events "
    "per day.");
const QString kTip4 = QStringLiteral(
    "NOTE: To edit an event already added to the schedule grid, you can double-click on the selected event "
    "or "
    "select the Properties Icon in the Task Bar on the left-hand of the Timer Schedule Dialog.This allows "
    "you to "
    "change all details related to the selected event.");

}  // namespace

Tscheduleallform::Tscheduleallform(Console& console, QWidget* parent)
    : ConsoleDialog(parent),
      console_(console),
      ui_(new Ui::Tscheduleallform),
      editor_(console.data, console.prompts, *this) {
  ui_->setupUi(this);
  // The window grows to show more of the week, up to the whole screen.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::WindowMaximizeButtonHint);
  setSizeGripEnabled(true);
  buildEntryRow();
  buildTools();
  buildGrid();
  connect(ui_->closebutton, &QPushButton::clicked, this, &Tscheduleallform::closebuttonClick);
}

Tscheduleallform::~Tscheduleallform() = default;

void Tscheduleallform::FormShow() {
  ui_->tip1->setText(kTip1);
  ui_->tip2->setText(kTip2);
  ui_->tip3->setText(kTip3);
  ui_->tip4->setText(kTip4);
  ui_->timer_length->clear();
  for (int s = kMinPulseSeconds; s <= kMaxPulseSeconds; ++s) {
    ui_->timer_length->addItem(QString::number(s));
  }
  // Nothing of an earlier showing survives: not a refused or half-typed time, a click
  // under way, the scroll position or where the focus was.
  exit_refused_ = refocusing_ = mouse_down_ = skip_release_ = false;
  time_on_at_entry_.clear();
  editor_.ClearGrid();
  ui_->timergrid->setCurrentCell(0, 0);
  ui_->timergrid->scrollToTop();
  clearEntryFields();
  ui_->timer_length->setEnabled(true);
  ui_->timergrid->setRowCount(kGridRows);
  editor_.Reset();  // copy buffer free, no event open, read-only taken from the file
  setClipboardButtons(false, false, false);
  const bool readonly = editor_.readonly();
  setWindowTitle(readonly ? QStringLiteral("Timer Schedule (READ ONLY)") : QStringLiteral("Timer Schedule"));
  setDayButtonsEnabled(!readonly);
  for (QWidget* field : entryWidgets()) {
    field->setEnabled(!readonly);
    ShowReadOnlyLook(*field, readonly);
  }
  ui_->TS_print->setEnabled(console_.report != nullptr);
  editor_.FillGrid();
  (readonly ? static_cast<QWidget*>(ui_->timergrid) : ui_->timer_name)->setFocus(Qt::OtherFocusReason);
}

void Tscheduleallform::closebuttonClick() { reject(); }

void Tscheduleallform::showNote(const QString& text) { NoteOf(*this).show(text); }

bool Tscheduleallform::eventFilter(QObject* watched, QEvent* event) {
  QTableWidget* grid = ui_->timergrid;
  if (watched == grid && event->type() == QEvent::KeyPress) {
    return gridKey(static_cast<QKeyEvent*>(event));
  }
  if (watched == grid->viewport()) {
    if (event->type() == QEvent::Resize) {
      fitColumns();
    }
    return gridMouse(event);
  }
  if (watched == ui_->gridarea && event->type() == QEvent::Resize) {
    fitWholeRows();
    return false;
  }
  if (watched == ui_->timer_name || watched == ui_->timer_length || watched == ui_->time_on) {
    return fieldEvent(watched, event);
  }
  return ConsoleDialog::eventFilter(watched, event);
}

void Tscheduleallform::keyPressEvent(QKeyEvent* event) {
  // Enter presses the focused button only (there is no default button), and Escape does
  // not close the window: it closes by its own button.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->click();
    }
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  ConsoleDialog::keyPressEvent(event);
}

void Tscheduleallform::showEvent(QShowEvent* event) {
  const QScreen* screen = this->screen();
  if (screen != nullptr && !isMaximized()) {
    // A small screen gets the window at the size it can hold, never below the smallest.
    const QRect room = screen->availableGeometry();
    resize(size().boundedTo(room.size()).expandedTo(minimumSize()));
    move(room.center() - rect().center());
  }
  ConsoleDialog::showEvent(event);
}

}  // namespace zmr
