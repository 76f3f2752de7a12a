#include "editor/ui/scheduleall.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QToolButton>
#include <array>
#include <cstring>

#include "editor/editor_hint.h"
#include "editor/editor_texts.h"
#include "ui/transient_note.h"
#include "windows/windows_world.h"

namespace zmr::testing {
namespace {

class FakeReport : public ScheduleReport {
 public:
  std::vector<int> modes;
  void PrintScheduleReport(int mode) override { modes.push_back(mode); }
};

// The window's controls, found by their names.
struct Controls {
  explicit Controls(const QObject& f) : form(f) {}
  template <typename T>
  T* c(const char* name) const {
    return Control<T>(form, name);
  }
  const QObject& form;
  QTableWidget* timergrid = c<QTableWidget>("timergrid");
  QLineEdit* timer_name = c<QLineEdit>("timer_name");
  QComboBox* timer_length = c<QComboBox>("timer_length");
  QLineEdit* time_on = c<QLineEdit>("time_on");
  QPushButton *bmon = c<QPushButton>("bmon"), *btue = c<QPushButton>("btue"), *bwed = c<QPushButton>("bwed"),
              *bthu = c<QPushButton>("bthu"), *bfri = c<QPushButton>("bfri"), *bsat = c<QPushButton>("bsat"),
              *bsun = c<QPushButton>("bsun");
  QToolButton *TS_Cut = c<QToolButton>("TS_Cut"), *TS_Copy = c<QToolButton>("TS_Copy"),
              *TS_Paste = c<QToolButton>("TS_Paste"), *TS_Del = c<QToolButton>("TS_Del"),
              *TS_Prop = c<QToolButton>("TS_Prop"), *TS_print = c<QToolButton>("TS_print");
  QPushButton* closebutton = c<QPushButton>("closebutton");
  QPushButton *bweekdays = c<QPushButton>("bweekdays"), *beveryday = c<QPushButton>("beveryday"),
              *bsameall = c<QPushButton>("bsameall");
  QLabel* edithint = c<QLabel>("edithint");
  QWidget* gridarea = c<QWidget>("gridarea");
  QToolButton *TS_Undo = c<QToolButton>("TS_Undo"), *TS_Redo = c<QToolButton>("TS_Redo");
  QLabel *tip1 = c<QLabel>("tip1"), *tip4 = c<QLabel>("tip4"), *Label2 = c<QLabel>("Label2"),
         *TS_CutCaption = c<QLabel>("TS_CutCaption");
};

// The editor window of a console with an open project, shown and active.
struct EditorWindow {
  explicit EditorWindow(const std::function<void(ProjectSetup&)>& week = {}, bool readonly = false) {
    ResetProject(w.data->project);
    if (week) {
      week(w.data->project);
    }
    path = w.dir.file(QStringLiteral("Week.zmr"));
    WriteProject(path, w.data->project);
    if (readonly) {
      chmod(QFile::encodeName(path).constData(), 0444);
    }
    w.data->state.project_path = path;
    w.data->state.project_open = true;
    w.console.report = &report;
    show();
  }
  void show() {
    form.FormShow();
    form.show();
    form.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
  }

  QPoint at(int row, int day) const {
    return ui.timergrid->visualRect(ui.timergrid->model()->index(row, day - 1)).center();
  }
  void click(int row, int day, Qt::KeyboardModifiers mods = {}) {
    ui.timergrid->scrollTo(ui.timergrid->model()->index(row, day - 1));
    QTest::mouseClick(ui.timergrid->viewport(), Qt::LeftButton, mods, at(row, day));
  }
  void dblclick(int row, int day) {
    click(row, day);
    QTest::mouseDClick(ui.timergrid->viewport(), Qt::LeftButton, {}, at(row, day));
  }
  void key(int k, Qt::KeyboardModifiers mods = {}) {
    QTest::keyClick(ui.timergrid, static_cast<Qt::Key>(k), mods);
  }
  QString cell(int row, int day) const { return ui.timergrid->item(row, day - 1)->text(); }
  // Keys typed into the focused widget, as a user types them.
  static void type(const QString& keys) { QTest::keyClicks(QApplication::focusWidget(), keys); }
  void typeTime(const QString& keys) {
    QTest::mouseClick(ui.time_on, Qt::LeftButton);
    ui.time_on->setCursorPosition(0);
    QTest::keyClicks(ui.time_on, keys);
  }
  // The entry row typed as a user types it: title, pulse, then the time.
  void enter(const QString& title, const QString& pulse, const QString& time) {
    QTest::mouseClick(ui.timer_name, Qt::LeftButton);
    ui.timer_name->selectAll();
    QTest::keyClicks(ui.timer_name, title);
    QTest::mouseClick(ui.timer_length->lineEdit(), Qt::LeftButton);
    ui.timer_length->lineEdit()->selectAll();
    QTest::keyClicks(ui.timer_length->lineEdit(), pulse);
    typeTime(time);
  }
  // The note the window shows now; empty when none is up.
  QString note() const {
    auto* shown = form.findChild<TransientNote*>("note");
    return shown != nullptr && !shown->isHidden() ? shown->text() : QString();
  }
  QStringList column(int day) const {
    QStringList texts;
    for (int row = 0; row < kGridRows && !cell(row, day).isEmpty(); ++row) {
      texts << cell(row, day);
    }
    return texts;
  }
  // Enabled states of Cut, Copy, Paste, Delete, Properties, Print.
  std::vector<bool> tools() const {
    return {ui.TS_Cut->isEnabled(), ui.TS_Copy->isEnabled(), ui.TS_Paste->isEnabled(),
            ui.TS_Del->isEnabled(), ui.TS_Prop->isEnabled(), ui.TS_print->isEnabled()};
  }
  std::vector<bool> menuItems() {
    form.PopupMenu1Popup();
    std::vector<bool> states;
    for (const char* name : {"Cut1", "Copy1", "Paste1", "Delete1"}) {
      states.push_back(Control(form.PopupMenu1(), name)->isEnabled());
    }
    return states;
  }
  std::vector<QPushButton*> days() const {
    return {ui.bmon, ui.btue, ui.bwed, ui.bthu, ui.bfri, ui.bsat, ui.bsun};
  }
  bool dayButtonsEnabled() const {
    for (QPushButton* b : days()) {
      if (!b->isEnabled()) {
        return false;
      }
    }
    return true;
  }

  World w;
  FakeReport report;
  QString path;
  Tscheduleallform& form = w.windows().scheduleallform();
  Controls ui{form};
};

void SchoolMonday(ProjectSetup& p) {
  AddPulse(p, 1, 1, 8, 0, 5, QStringLiteral("First bell"));
  AddPulse(p, 1, 2, 9, 45, 3);
  AddPulse(p, 1, 3, 10, 0, 3);
}

const std::vector<bool> kNoTools{false, false, false, false, false, true};

TEST(EditorWindow, ShapeNamesTipsAndTabOrder) {
  EditorWindow e;
  Tscheduleallform& f = e.form;
  EXPECT_EQ(f.objectName(), "scheduleallform");
  EXPECT_EQ(f.windowTitle(), "Timer Schedule");
  // It grows, up to the whole screen; at its smallest it fits a screen 800 pixels wide.
  EXPECT_TRUE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_LT(f.minimumWidth(), f.maximumWidth());
  EXPECT_LE(f.minimumWidth(), 800);
  EXPECT_LE(f.minimumHeight(), 480);
  e.ui.edithint->setText(QString(300, 'x'));  // a long hint is shortened, the window stays narrow
  EXPECT_LE(f.layout()->totalMinimumSize().width(), 800);
  QTableWidget& g = *e.ui.timergrid;
  EXPECT_EQ(g.rowCount(), 120);
  EXPECT_EQ(g.columnCount(), 7);
  EXPECT_EQ(g.verticalHeader()->width(), 36);
  EXPECT_EQ(g.verticalHeaderItem(0)->text(), "1");
  EXPECT_EQ(g.verticalHeaderItem(119)->text(), "120");
  EXPECT_GE(g.columnWidth(6), 80);
  EXPECT_EQ(g.rowHeight(119), 20);
  EXPECT_EQ(g.editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(g.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_FALSE(g.horizontalHeader()->isVisible());
  EXPECT_EQ(e.ui.timer_length->count(), 59);
  EXPECT_EQ(e.ui.timer_length->itemText(0), "1");
  EXPECT_EQ(e.ui.timer_length->itemText(58), "59");
  EXPECT_EQ(e.ui.time_on->displayText(), "__:__");
  EXPECT_TRUE(e.ui.tip1->text().startsWith("1: Start by entering"));
  EXPECT_TRUE(e.ui.tip4->text().endsWith("related to the selected event."));
  for (QPushButton* b : e.days()) {
    EXPECT_EQ(b->toolTip(), "Paste Insert Scheduled Item");
    EXPECT_GE(b->width(), 80);
    EXPECT_EQ(b->height(), 34);
    EXPECT_FALSE(b->icon().isNull());
  }
  const struct {
    QPushButton* button;
    const char *text, *name, *tip;
  } several[] = {
      {e.ui.bweekdays, "Mon\u2013Fri", "Monday to Friday", "Paste Insert Scheduled Item on Monday to Friday"},
      {e.ui.beveryday, "Every day", "Every day", "Paste Insert Scheduled Item on every day of the week"},
      {e.ui.bsameall, "Same on\nall days", "Same on all days",
       "Gives the events at this time on the other days the title and pulse of the opened event."},
  };
  for (const auto& b : several) {
    EXPECT_EQ(b.button->text(), QString::fromUtf8(b.text));
    EXPECT_EQ(b.button->accessibleName(), b.name);
    EXPECT_EQ(b.button->toolTip(), b.tip);
    EXPECT_EQ(b.button->accessibleDescription(), b.tip);
  }
  EXPECT_EQ(e.ui.bwed->accessibleName(), "Wed");
  EXPECT_EQ(e.ui.TS_Prop->accessibleName(), "Properties");
  EXPECT_EQ(e.ui.TS_Del->toolTip(), "The Delete Icon will remove the selected event.");
  EXPECT_EQ(e.ui.TS_Del->accessibleDescription(), e.ui.TS_Del->toolTip());
  EXPECT_TRUE(e.ui.TS_CutCaption->font().italic());
  EXPECT_EQ(e.ui.Label2->buddy(), e.ui.timer_length);
  EXPECT_EQ(e.ui.closebutton->size(), QSize(105, 32));

  // Every control that takes the keyboard or the mouse is named for a screen reader.
  for (QWidget* child : f.findChildren<QWidget*>()) {
    const bool interactive = child->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(child);
    if (interactive && child->isVisibleTo(&f) && child->parentWidget() != e.ui.timergrid &&
        !qobject_cast<QScrollBar*>(child) && child->objectName() != "qt_scrollarea_viewport") {
      QAccessibleInterface* face = QAccessible::queryAccessibleInterface(child);
      ASSERT_NE(face, nullptr);
      EXPECT_FALSE(face->text(QAccessible::Name).isEmpty())
          << child->objectName().toStdString() << " " << child->metaObject()->className();
    }
  }

  std::vector<QString> order;
  QWidget* w = e.ui.timer_name;
  do {
    order.push_back(w->objectName());
    w = w->nextInFocusChain();
    while (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&f) || w->objectName().isEmpty() ||
           w->objectName().startsWith("qt_")) {
      w = w->nextInFocusChain();
    }
  } while (w != e.ui.timer_name);
  EXPECT_EQ(order, (std::vector<QString>{"timer_name", "timer_length", "time_on", "bmon", "btue", "bwed",
                                         "bthu", "bfri", "bsat", "bsun", "bweekdays", "beveryday", "bsameall",
                                         "timergrid", "closebutton"}));
}

TEST(EditorWindow, ItGrowsAndTheGridShowsWholeRowsUnderDayButtonsThatFollowTheirColumns) {
  EditorWindow e;
  Tscheduleallform& f = e.form;
  const QTableWidget& g = *e.ui.timergrid;
  const auto check = [&](const char* what) {
    SCOPED_TRACE(what);
    const int rows = g.viewport()->height() / kGridRowHeight;
    EXPECT_EQ(g.viewport()->height() % kGridRowHeight, 0) << g.viewport()->height();
    EXPECT_LE(g.geometry().bottom(), e.ui.gridarea->height());
    EXPECT_LT(e.ui.gridarea->height() - g.height(), kGridRowHeight);  // no room left for one more row
    // Row `rows` - 1 is the last one in sight, whole; the next one starts below the view.
    EXPECT_EQ(g.rowViewportPosition(rows - 1) + g.rowHeight(rows - 1), g.viewport()->height());
    for (int day = 1; day <= kDays; ++day) {
      const QPushButton* b = e.days()[day - 1];
      const int column_x =
          g.x() + g.frameWidth() + g.verticalHeader()->width() + g.columnViewportPosition(day - 1);
      EXPECT_EQ(b->x(), column_x) << day;
      EXPECT_EQ(b->width(), g.columnWidth(day - 1)) << day;
      EXPECT_GE(b->width(), kDayColumnWidth) << day;
    }
    return rows;
  };
  // Opened at its own size, a day of 13 bells is seen whole.
  EXPECT_GE(check("as opened"), 13);
  f.resize(f.minimumSize());
  EXPECT_GE(check("smallest"), kGridMinimumRows);
  f.resize(790, 527);
  check("odd size");
  f.showMaximized();
  QApplication::processEvents();
  EXPECT_EQ(f.frameGeometry().size(), f.screen()->availableGeometry().size());
  EXPECT_GT(check("maximised"), 25);
  f.showNormal();
}

TEST(EditorWindow, MainWindowCommandsOpenIt) {
  EditorWindow e;
  e.w.runner.shown.clear();
  TMainform& main = e.w.main();
  main.RefreshMainMenu();
  Control(main, "TriggerDetails1")->trigger();
  Control(main, "toolbuttrigsall")->trigger();
  Control<QToolButton>(main, "bigtriggerdetailsbut")->click();
  EXPECT_EQ(e.w.runner.shown, std::vector<QString>(3, "scheduleallform"));
}

TEST(EditorWindow, AvailabilityAfterShowClickDoubleClickAndFieldFocus) {
  EditorWindow e(SchoolMonday);
  EXPECT_EQ(e.tools(), kNoTools);
  EXPECT_EQ(e.menuItems(), std::vector<bool>(4, false));
  EXPECT_TRUE(e.dayButtonsEnabled());
  EXPECT_EQ(e.column(1), (QStringList{"08:00, 5", "09:45, 3", "10:00, 3"}));

  e.click(1, 1);
  EXPECT_EQ(e.form.editor().state().current_row, 1);
  EXPECT_EQ(e.tools(), (std::vector<bool>{true, true, false, true, true, true}));
  EXPECT_EQ(e.menuItems(), (std::vector<bool>{true, true, false, true}));
  e.click(5, 3);
  EXPECT_EQ(e.form.editor().state().current_day, 3);
  EXPECT_EQ(e.tools(), kNoTools);

  // Copy, then an empty cell offers Paste.
  e.click(0, 1);
  e.ui.TS_Copy->click();
  EXPECT_FALSE(e.ui.TS_Paste->isEnabled());  // unchanged until the next click
  e.click(4, 2);
  EXPECT_EQ(e.tools(), (std::vector<bool>{false, false, true, false, false, true}));

  // A double-click opens the event: its details in the fields, the day buttons off.
  e.dblclick(0, 1);
  EXPECT_EQ(e.ui.time_on->text(), "08:00");
  EXPECT_EQ(e.ui.timer_length->currentText(), "5");
  EXPECT_EQ(e.ui.timer_name->text(), "First bell");
  EXPECT_TRUE(e.form.editor().state().event_edit_mode);
  EXPECT_FALSE(e.dayButtonsEnabled());
  EXPECT_EQ(e.tools(), (std::vector<bool>{true, true, true, true, true, true}));

  // Entering a field takes the clipboard and properties buttons away.
  e.ui.timer_name->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(e.tools(), kNoTools);
  // A click ends the edit, clears the fields and brings the buttons back.
  e.click(2, 1);
  EXPECT_FALSE(e.form.editor().state().event_edit_mode);
  EXPECT_TRUE(e.ui.timer_name->text().isEmpty());
  EXPECT_TRUE(e.dayButtonsEnabled());
  EXPECT_EQ(e.tools(), (std::vector<bool>{true, true, true, true, true, true}));

  // Arrow keys move the current cell and take the position as a click does.
  e.ui.timergrid->setFocus();
  e.key(Qt::Key_Right);
  EXPECT_EQ(e.form.editor().state().current_day, 2);
  EXPECT_EQ(e.tools(), (std::vector<bool>{false, false, true, false, false, true}));

  // After closing and opening again, Paste waits for a new copy.
  e.ui.closebutton->click();
  e.show();
  e.click(4, 2);
  EXPECT_FALSE(e.ui.TS_Paste->isEnabled());
}

TEST(EditorWindow, TypingAnEventAndTheDayButtonsInsertIt) {
  EditorWindow e(SchoolMonday);
  e.ui.timer_name->setFocus();
  QTest::keyClicks(e.ui.timer_name, "Lunch");
  e.ui.timer_length->setFocus();
  e.ui.timer_length->lineEdit()->selectAll();
  QTest::keyClicks(e.ui.timer_length->lineEdit(), "10");
  e.ui.time_on->setFocus();
  e.ui.time_on->setCursorPosition(0);
  QTest::keyClicks(e.ui.time_on, "1230");
  EXPECT_EQ(e.ui.time_on->displayText(), "12:30");
  QTest::mouseClick(e.ui.bmon, Qt::LeftButton);
  QTest::mouseClick(e.ui.bfri, Qt::LeftButton);
  EXPECT_TRUE(e.w.prompts.boxes.empty());
  EXPECT_EQ(e.column(1), (QStringList{"08:00, 5", "09:45, 3", "10:00, 3", "12:30, 10"}));
  EXPECT_EQ(e.column(5), QStringList{"12:30, 10"});
  EXPECT_EQ(e.w.data->project.slot(5, 1).title.text(), "Lunch");
  EXPECT_TRUE(e.w.data->state.project_changed);
  QTest::mouseClick(e.ui.bfri, Qt::LeftButton);
  EXPECT_EQ(e.w.prompts.texts(), std::vector<QString>{kTimeExistsText});

  // Enter on a focused day button presses it; Escape leaves the window open.
  e.ui.time_on->clear();
  e.ui.time_on->setFocus();
  e.ui.time_on->setCursorPosition(0);
  QTest::keyClicks(e.ui.time_on, "0630");
  e.ui.bsat->setFocus(Qt::TabFocusReason);
  QTest::keyClick(e.ui.bsat, Qt::Key_Return);
  EXPECT_EQ(e.column(6), QStringList{"06:30, 10"});
  QTest::keyClick(e.ui.bsat, Qt::Key_Escape);
  EXPECT_TRUE(e.form.isVisible());

  // A one-digit hour: the first position left blank.
  e.ui.time_on->clear();
  e.ui.time_on->setFocus();
  e.ui.time_on->setCursorPosition(1);
  QTest::keyClicks(e.ui.time_on, "705");
  QTest::mouseClick(e.ui.bsun, Qt::LeftButton);
  EXPECT_EQ(e.column(7), QStringList{"07:05, 10"});
}

TEST(EditorWindow, TheTimeFieldRefusesToBeLeftWithADigitMissing) {
  EditorWindow e(SchoolMonday);
  e.ui.time_on->setFocus();
  e.ui.time_on->setCursorPosition(0);
  QTest::keyClicks(e.ui.time_on, "08");
  QTest::mouseClick(e.ui.bmon, Qt::LeftButton);  // the press takes the focus away
  EXPECT_EQ(e.w.prompts.texts(), std::vector<QString>{kMaskErrorText});
  EXPECT_TRUE(e.ui.time_on->hasFocus());
  EXPECT_EQ(e.column(1).size(), 3);  // and the click inserted nothing
  // Escape abandons the change; then the field lets the focus go.
  QTest::keyClick(e.ui.time_on, Qt::Key_Escape);
  EXPECT_EQ(e.ui.time_on->displayText(), "__:__");
  EXPECT_TRUE(e.form.isVisible());
  e.ui.timer_name->setFocus(Qt::TabFocusReason);
  EXPECT_TRUE(e.ui.timer_name->hasFocus());
  EXPECT_EQ(e.w.prompts.boxes.size(), 1u);
}

TEST(EditorWindow, LeavingOrEnterInAFieldWritesTheOpenedEventBack) {
  EditorWindow e(SchoolMonday);
  e.dblclick(1, 1);
  ASSERT_EQ(e.ui.time_on->text(), "09:45");
  e.ui.timer_length->setFocus(Qt::MouseFocusReason);
  e.ui.timer_length->lineEdit()->selectAll();
  QTest::keyClicks(e.ui.timer_length->lineEdit(), "7");
  QTest::keyClick(e.ui.timer_length, Qt::Key_Return);
  EXPECT_EQ(e.column(1), (QStringList{"08:00, 5", "09:45, 7", "10:00, 3"}));
  EXPECT_TRUE(e.form.isVisible());  // Enter is no default button
  e.ui.time_on->setFocus(Qt::TabFocusReason);
  e.ui.time_on->selectAll();
  QTest::keyClicks(e.ui.time_on, "1100");
  e.ui.timer_name->setFocus(Qt::TabFocusReason);  // leaving the field writes it back
  EXPECT_EQ(e.column(1), (QStringList{"08:00, 5", "10:00, 3", "11:00, 7"}));
  // Clicked into and out of with the mouse, the pulse field writes back too.
  QTest::mouseClick(e.ui.timer_length->lineEdit(), Qt::LeftButton);
  ASSERT_TRUE(e.ui.timer_length->hasFocus());
  e.ui.timer_length->lineEdit()->selectAll();
  QTest::keyClicks(e.ui.timer_length->lineEdit(), "9");
  QTest::mouseClick(e.ui.timer_name, Qt::LeftButton);
  EXPECT_EQ(e.column(1), (QStringList{"08:00, 5", "10:00, 3", "11:00, 9"}));
  EXPECT_TRUE(e.w.prompts.boxes.empty());
  EXPECT_EQ(ReadBytes(e.path).size(), sizeof(ProjectSetup));
}

TEST(EditorWindow, KeysAndPopupItemsCutCopyPasteDelete) {
  EditorWindow e(SchoolMonday);
  QGuiApplication::clipboard()->setText("before");
  e.click(0, 1);
  e.click(1, 1, Qt::ShiftModifier);  // rows 1 and 2 of Monday
  e.key(Qt::Key_C, Qt::ControlModifier);
  e.click(0, 2);
  e.key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(e.column(2), (QStringList{"08:00, 5", "09:45, 3"}));
  // Delete with Shift, Ctrl or Alt does nothing; alone it deletes.
  for (auto mods : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
    e.key(Qt::Key_Delete, mods);
  }
  EXPECT_EQ(e.column(2).size(), 2);
  e.key(Qt::Key_Delete);  // the tool buttons keep their state through the paste: Delete is off
  EXPECT_EQ(e.column(2).size(), 2);
  e.click(0, 2);
  e.key(Qt::Key_Delete);
  EXPECT_EQ(e.column(2), QStringList{"09:45, 3"});
  // Cut from the keyboard, paste from the pop-up menu.
  e.click(2, 1);
  e.key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(e.column(1).size(), 2);
  e.click(0, 4);
  e.form.popupAt(e.at(0, 4));
  EXPECT_TRUE(e.form.PopupMenu1().isVisible());
  Control(e.form.PopupMenu1(), "Paste1")->trigger();
  e.form.PopupMenu1().hide();
  EXPECT_EQ(e.column(4), QStringList{"10:00, 3"});
  e.click(0, 4);
  e.form.popupAt(e.at(0, 4));
  Control(e.form.PopupMenu1(), "Delete1")->trigger();
  e.form.PopupMenu1().hide();
  EXPECT_TRUE(e.column(4).isEmpty());
  // Ctrl+V on a Paste that is off does nothing; the keys never reach the system clipboard.
  e.click(0, 5);
  e.ui.TS_Paste->setEnabled(false);
  e.key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_TRUE(e.column(5).isEmpty());
  // Shift+arrows extend the selection from the current cell.
  e.click(0, 1);
  e.key(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(e.form.selection().bottom_row, 1);
  e.key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(HeldCount(e.form.editor().state().copy_buffer), 2);
  // The right button opens the menu without moving the current cell or the selection.
  QTest::mousePress(e.ui.timergrid->viewport(), Qt::RightButton, {}, e.at(5, 3));
  QTest::mouseRelease(e.ui.timergrid->viewport(), Qt::RightButton, {}, e.at(5, 3));
  EXPECT_EQ(e.ui.timergrid->currentRow(), 1);
  EXPECT_EQ(e.ui.timergrid->currentColumn(), 0);
  EXPECT_EQ(e.form.selection().top_row, 0);
  // Dragging selects a rectangle (the current cell follows the mouse): two columns are refused.
  QTest::mousePress(e.ui.timergrid->viewport(), Qt::LeftButton, {}, e.at(1, 1));
  QWidget* viewport = e.ui.timergrid->viewport();
  QMouseEvent drag(QEvent::MouseMove, e.at(0, 2), viewport->mapToGlobal(e.at(0, 2)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &drag);
  QTest::mouseRelease(e.ui.timergrid->viewport(), Qt::LeftButton, {}, e.at(1, 2));
  const GridSelection sel = e.form.selection();
  EXPECT_EQ((std::array{sel.left_day, sel.right_day, sel.top_row, sel.bottom_row}), (std::array{1, 2, 0, 1}));
  e.form.popupAt(e.at(1, 2));
  Control(e.form.PopupMenu1(), "Copy1")->trigger();
  e.form.PopupMenu1().hide();
  EXPECT_EQ(e.w.prompts.texts(), std::vector<QString>{kOneDayOnlyText});
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

TEST(EditorWindow, ReadOnlyShowsButChangesNothing) {
  EditorWindow e(SchoolMonday, /*readonly=*/true);
  EXPECT_EQ(e.form.windowTitle(), "Timer Schedule (READ ONLY)");
  EXPECT_FALSE(e.dayButtonsEnabled());
  EXPECT_FALSE(e.ui.timer_name->isEnabled());
  EXPECT_FALSE(e.ui.timer_length->isEnabled());
  EXPECT_FALSE(e.ui.time_on->isEnabled());
  // They look it, as the properties dialog's do: the window's colour, not a field's white.
  const std::vector<QWidget*> fields{e.ui.timer_name, e.ui.timer_length, e.ui.timer_length->lineEdit(),
                                     e.ui.time_on};
  for (QWidget* field : fields) {
    EXPECT_EQ(field->palette().color(QPalette::Base), field->palette().color(QPalette::Window))
        << field->objectName().toStdString();
  }
  e.click(0, 1);
  EXPECT_EQ(e.tools(), (std::vector<bool>{false, false, false, false, true, true}));
  // A caption greys with its picture.
  for (const char* name : {"TS_Cut", "TS_Copy", "TS_Paste", "TS_Del", "TS_Prop", "TS_print"}) {
    EXPECT_EQ(Control<QLabel>(e.form, (std::string(name) + "Caption").c_str())->isEnabled(),
              Control<QToolButton>(e.form, name)->isEnabled())
        << name;
  }
  EXPECT_EQ(e.menuItems(), std::vector<bool>(4, false));
  for (int k : {Qt::Key_X, Qt::Key_C, Qt::Key_V}) {
    e.key(k, Qt::ControlModifier);
  }
  e.key(Qt::Key_Delete);
  EXPECT_EQ(e.column(1).size(), 3);
  e.dblclick(0, 1);
  EXPECT_EQ(e.ui.time_on->text(), "08:00");
  EXPECT_EQ(e.ui.timer_name->text(), "First bell");
  e.ui.TS_print->click();
  EXPECT_EQ(e.report.modes, std::vector<int>{kReportPreview});
  EXPECT_FALSE(e.w.data->state.project_changed);
  EXPECT_TRUE(e.w.prompts.boxes.empty());

  // The attribute is read again at each showing.
  chmod(QFile::encodeName(e.path).constData(), 0644);
  e.show();
  EXPECT_EQ(e.form.windowTitle(), "Timer Schedule");
  EXPECT_TRUE(e.dayButtonsEnabled());
  for (QWidget* field : fields) {
    EXPECT_EQ(field->palette().color(QPalette::Base), QApplication::palette(field).color(QPalette::Base))
        << field->objectName().toStdString();
  }
}

TEST(EditorWindow, PrintIsOffWithoutAReportAndPropertiesOpensTheEvent) {
  EditorWindow e(SchoolMonday);
  e.w.console.report = nullptr;
  e.show();
  EXPECT_FALSE(e.ui.TS_print->isEnabled());
  e.click(2, 1);
  e.ui.TS_Prop->click();
  EXPECT_EQ(e.ui.time_on->text(), "10:00");
  EXPECT_FALSE(e.dayButtonsEnabled());
}

TEST(EditorWindow, AnEmptyUntouchedTimeFieldLetsTheFocusGoOnTabAndClick) {
  EditorWindow e(SchoolMonday);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // from the title to the pulse time
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_TRUE(e.ui.time_on->hasFocus());
  QTest::keyClick(e.ui.time_on, Qt::Key_Tab);
  EXPECT_TRUE(e.ui.bmon->hasFocus());
  EXPECT_TRUE(e.w.prompts.boxes.empty());
  // Clicked into and then a day button: the insert's own check speaks.
  QTest::mouseClick(e.ui.time_on, Qt::LeftButton);
  ASSERT_TRUE(e.ui.time_on->hasFocus());
  QTest::mouseClick(e.ui.bmon, Qt::LeftButton);
  EXPECT_EQ(e.w.prompts.texts(), std::vector<QString>{kInvalidTimeText});
  EXPECT_FALSE(e.ui.time_on->hasFocus());
  // After a click on the grid has emptied the fields, the field is as good as new.
  e.click(0, 2);
  e.w.prompts.boxes.clear();
  QTest::mouseClick(e.ui.time_on, Qt::LeftButton);
  e.click(1, 2);
  EXPECT_TRUE(e.w.prompts.boxes.empty());
}

TEST(EditorWindow, EveryShowingStartsCleanWhateverTheLastOneLeft) {
  EditorWindow e(SchoolMonday);
  e.click(0, 1);
  e.click(2, 1, Qt::ShiftModifier);
  e.ui.timergrid->verticalScrollBar()->setValue(50);
  e.typeTime("1");  // half a time, then the title bar's close box
  e.form.close();
  ASSERT_FALSE(e.form.isVisible());
  e.show();
  EXPECT_EQ(e.ui.time_on->displayText(), "__:__");
  EXPECT_FALSE(e.ui.time_on->isModified());
  EXPECT_EQ(QApplication::focusWidget(), e.ui.timer_name);
  EXPECT_TRUE(e.ui.timergrid->selectedItems().isEmpty());
  EXPECT_EQ(e.ui.timergrid->verticalScrollBar()->value(), 0);
  EXPECT_EQ((std::pair{e.ui.timergrid->currentRow(), e.ui.timergrid->currentColumn()}), (std::pair{0, 0}));
  e.click(1, 1);
  EXPECT_TRUE(e.w.prompts.boxes.empty());
  EXPECT_EQ(e.tools(), (std::vector<bool>{true, true, false, true, true, true}));
}

TEST(EditorWindow, TypingInTheGridMovesNothingAndNoKeyReachesTheSystemClipboard) {
  EditorWindow e(SchoolMonday);  // 08:00, 09:45, 10:00
  e.dblclick(0, 1);
  ASSERT_EQ(e.ui.time_on->text(), "08:00");
  // Type-ahead would jump to "09:45" or "10:00" and end the edit.
  QTest::keyClicks(e.ui.timergrid, "1907a ");
  EXPECT_EQ(e.ui.timergrid->currentRow(), 0);
  EXPECT_EQ(e.ui.time_on->text(), "08:00");
  EXPECT_TRUE(e.form.editor().state().event_edit_mode);

  QGuiApplication::clipboard()->setText("before");
  const QList<QKeySequence> ours{QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_X),
                                 QKeySequence(Qt::CTRL | Qt::Key_V)};
  int sent = 0;
  for (auto standard : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::SelectAll}) {
    for (const QKeySequence& keys : QKeySequence::keyBindings(standard)) {
      if (!ours.contains(keys)) {
        QTest::keySequence(e.ui.timergrid, keys);
        ++sent;
      }
    }
  }
  EXPECT_GE(sent, 3);  // Ctrl+Insert, Shift+Delete, Shift+Insert at least
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
  EXPECT_EQ(e.column(1).size(), 3);
  EXPECT_EQ(HeldCount(e.form.editor().state().copy_buffer), 0);
  EXPECT_EQ(e.ui.timergrid->selectedItems().size(), 1);
}

TEST(EditorWindow, AfterAChangeNothingShowsSelectedUntilTheNextClick) {
  EditorWindow e(SchoolMonday);
  e.click(0, 1);
  e.key(Qt::Key_C, Qt::ControlModifier);
  e.click(0, 2);
  ASSERT_EQ(e.ui.timergrid->selectedItems().size(), 1);
  e.key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(e.column(2), QStringList{"08:00, 5"});
  EXPECT_TRUE(e.ui.timergrid->selectedItems().isEmpty());
  EXPECT_EQ(e.tools(), (std::vector<bool>{false, false, true, false, false, true}));
  e.key(Qt::Key_Delete);
  EXPECT_EQ(e.column(2).size(), 1);
  // An insert from a day button leaves nothing selected either.
  e.click(1, 1);
  e.typeTime("1200");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);  // to the pulse time
  e.type("5");
  QTest::mouseClick(e.ui.bmon, Qt::LeftButton);
  EXPECT_EQ(e.column(1).size(), 4);
  EXPECT_TRUE(e.ui.timergrid->selectedItems().isEmpty());
  // A click selects again, and the tools act on what it selected.
  e.click(0, 2);
  EXPECT_EQ(e.ui.timergrid->selectedItems().size(), 1);
  e.key(Qt::Key_Delete);
  EXPECT_TRUE(e.column(2).isEmpty());
}

// Every day stored out of time order: 10:0d, 08:3d, 09:1d.
void UnsortedWeek(ProjectSetup& p) {
  for (int d = 1; d <= kDays; ++d) {
    AddPulse(p, d, 1, 10, d, 5);
    AddPulse(p, d, 2, 8, 30 + d, 5);
    AddPulse(p, d, 3, 9, 10 + d, 5);
  }
}

TEST(EditorWindow, AWriteBackOrPasteSortsItsOwnDayAndADeleteOrInsertAllSeven) {
  const std::vector<int> all{1, 2, 3, 4, 5, 6, 7};
  const struct {
    const char* what;
    std::function<void(EditorWindow&)> act;
    std::vector<int> sorted;
  } cases[] = {
      {"write-back",
       [](EditorWindow& e) {
         e.dblclick(0, 2);
         QTest::mouseClick(e.ui.timer_length->lineEdit(), Qt::LeftButton);
         e.ui.timer_length->lineEdit()->selectAll();
         e.type("7\r");
       },
       {2}},
      {"paste",
       [](EditorWindow& e) {
         e.click(0, 1);
         e.key(Qt::Key_C, Qt::ControlModifier);
         e.click(5, 3);
         e.key(Qt::Key_V, Qt::ControlModifier);
       },
       {3}},
      {"delete",
       [](EditorWindow& e) {
         e.click(1, 4);
         e.key(Qt::Key_Delete);
       },
       all},
      {"cut",
       [](EditorWindow& e) {
         e.click(1, 5);
         e.key(Qt::Key_X, Qt::ControlModifier);
       },
       all},
      {"insert",
       [](EditorWindow& e) {
         e.typeTime("1200");
         QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
         e.type("5");
         QTest::mouseClick(e.ui.bsun, Qt::LeftButton);
       },
       all},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EditorWindow e(UnsortedWeek);
    c.act(e);
    EXPECT_TRUE(e.w.prompts.boxes.empty());
    std::vector<int> sorted;
    for (int d = 1; d <= kDays; ++d) {
      const QStringList column = e.column(d);
      if (std::is_sorted(column.begin(), column.end())) {
        sorted.push_back(d);
      }
    }
    EXPECT_EQ(sorted, c.sorted);
  }
}

TEST(EditorWindow, OnOffAndOtherKindsOpenReadOnly) {
  EditorWindow e([](ProjectSetup& p) {
    p.slot(1, 1) = MakeEvent(EventKind::On, "Heating", 6, 0, 0);
    p.slot(1, 2) = MakeEvent(static_cast<EventKind>(9), "Odd", 7, 0, 3);
    p.slot(1, 3) = MakeEvent(EventKind::Off, {}, 18, 0, 0);
  });
  EXPECT_EQ(e.column(1), (QStringList{"06:00, On", "07:00, ", "18:00, Off"}));
  for (int row : {0, 1, 2}) {
    SCOPED_TRACE(row);
    e.dblclick(row, 1);
    EXPECT_TRUE(e.form.editor().state().event_edit_mode);
    EXPECT_FALSE(e.dayButtonsEnabled());
    QTest::mouseClick(e.ui.time_on, Qt::LeftButton);
    e.ui.time_on->selectAll();
    e.type("1111\r");
    QTest::mouseClick(e.ui.timer_name, Qt::LeftButton);  // leaving the field writes nothing back either
    EXPECT_EQ(e.column(1), (QStringList{"06:00, On", "07:00, ", "18:00, Off"}));
  }
  EXPECT_FALSE(e.w.data->state.project_changed);
  EXPECT_TRUE(e.w.prompts.boxes.empty());
}

TEST(EditorWindow, TimesTypedOrPastedAsPeopleWriteThem) {
  const struct {
    const char* keys;
    const char* shown;  // what the field shows; the cell what every insert stores
  } cases[] = {{"7:05", "_7:05"}, {"7.15", "_7:15"}, {" 725", "_7:25"}, {"0735", "07:35"}, {"07:45", "07:45"}};
  EditorWindow e;
  e.ui.timer_length->setEditText("5");
  int day = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    e.typeTime(c.keys);
    EXPECT_EQ(e.ui.time_on->displayText(), c.shown);
    QTest::mouseClick(e.days()[day++], Qt::LeftButton);
    EXPECT_EQ(e.column(day), QStringList{QString(c.shown).replace('_', '0') + ", 5"});
  }
  // Tabbed into, the whole field is selected: the keys replace it.
  e.ui.time_on->setText("11:11");
  e.ui.timer_length->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  e.type("8:10");
  EXPECT_EQ(e.ui.time_on->displayText(), "_8:10");
  // Pasted with the keys or from the field's menu.
  QGuiApplication::clipboard()->setText(" 7:05 ");
  e.ui.time_on->clear();
  QTest::keyClick(e.ui.time_on, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(e.ui.time_on->displayText(), "_7:05");
  QGuiApplication::clipboard()->setText("0930");
  e.ui.time_on->clear();
  QTimer::singleShot(0, [] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    Control(*menu, "edit-paste")->trigger();
    menu->close();
  });
  QContextMenuEvent menu_key(QContextMenuEvent::Keyboard, {5, 5}, e.ui.time_on->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(e.ui.time_on, &menu_key);
  EXPECT_EQ(e.ui.time_on->displayText(), "09:30");
  e.form.activateWindow();  // the menu took the keyboard
  ASSERT_TRUE(QTest::qWaitForWindowActive(&e.form));
  // A time still incomplete keeps the field's own refusal.
  e.click(0, 1);
  e.typeTime("7:");
  QTest::mouseClick(e.ui.bsun, Qt::LeftButton);
  EXPECT_EQ(e.w.prompts.texts(), std::vector<QString>{kMaskErrorText});
  EXPECT_EQ(e.column(7), QStringList{});
}

TEST(EditorWindow, UndoAndRedoFromKeysButtonsAndMenu) {
  EditorWindow e(SchoolMonday);
  const std::vector<bool> off{false, false};
  const auto undo_states = [&] { return std::vector<bool>{e.ui.TS_Undo->isEnabled(), e.ui.TS_Redo->isEnabled()}; };
  EXPECT_EQ(undo_states(), off);
  EXPECT_EQ(e.ui.TS_Undo->accessibleName(), "Undo");
  EXPECT_FALSE(e.ui.TS_Redo->toolTip().isEmpty());
  const QStringList monday = e.column(1);
  e.click(0, 1);
  e.key(Qt::Key_Delete);
  EXPECT_EQ(undo_states(), (std::vector<bool>{true, false}));
  e.w.data->state.project_changed = false;
  e.key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(e.column(1), monday);
  EXPECT_TRUE(e.w.data->state.project_changed);  // Close and Exit warn again
  const std::vector<std::uint8_t> saved = ReadBytes(e.path);  // and the file holds the week put back
  ASSERT_EQ(saved.size(), sizeof(ProjectSetup));
  EXPECT_EQ(std::memcmp(saved.data(), &e.w.data->project, sizeof(ProjectSetup)), 0);
  EXPECT_EQ(undo_states(), (std::vector<bool>{false, true}));
  e.key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(e.column(1).size(), 2);
  QTest::mouseClick(e.ui.TS_Undo, Qt::LeftButton);
  EXPECT_EQ(e.column(1), monday);
  QTest::keyClick(e.ui.timergrid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(e.column(1).size(), 2);
  e.form.popupAt(e.at(0, 1));
  EXPECT_EQ(e.menuItems(), (std::vector<bool>{false, false, false, false}));
  QAction* undo1 = Control(e.form.PopupMenu1(), "Undo1");
  EXPECT_TRUE(undo1->isEnabled());
  EXPECT_FALSE(undo1->toolTip().isEmpty());
  undo1->trigger();
  e.form.PopupMenu1().hide();
  EXPECT_EQ(e.column(1), monday);
  e.click(2, 1);
  QTest::mouseClick(e.ui.TS_Redo, Qt::LeftButton);
  EXPECT_EQ(e.column(1).size(), 2);
  // Ctrl+Z in a text field undoes its typing, not the week; from a day button, the week.
  QTest::mouseClick(e.ui.timer_name, Qt::LeftButton);
  e.type("Lunch");
  QTest::keyClick(e.ui.timer_name, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(e.ui.timer_name->text(), "");
  EXPECT_EQ(e.column(1).size(), 2);
  e.ui.bwed->setFocus(Qt::TabFocusReason);
  QTest::keyClick(e.ui.bwed, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(e.column(1), monday);
  EXPECT_TRUE(e.w.prompts.boxes.empty());
  // The next showing starts without a history.
  e.form.close();
  e.show();
  EXPECT_EQ(undo_states(), off);
  e.key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(e.column(1), monday);
}

TEST(EditorWindow, ReadOnlyHasNoUndo) {
  EditorWindow e(SchoolMonday, /*readonly=*/true);
  e.click(0, 1);
  EXPECT_FALSE(e.ui.TS_Undo->isEnabled());
  EXPECT_FALSE(e.ui.TS_Redo->isEnabled());
  e.form.PopupMenu1Popup();
  EXPECT_FALSE(Control(e.form.PopupMenu1(), "Undo1")->isEnabled());
}

TEST(EditorWindow, ACellTellsItsTitleOnHoverAndToAScreenReader) {
  EditorWindow e([](ProjectSetup& p) {
    SchoolMonday(p);
    p.slot(2, 1) = MakeEvent(EventKind::On, "Heating", 6, 0, 0);
  });
  QWidget* viewport = e.ui.timergrid->viewport();
  const auto hover = [&](int row, int day) {
    QHelpEvent tip(QEvent::ToolTip, e.at(row, day), viewport->mapToGlobal(e.at(row, day)));
    QApplication::sendEvent(viewport, &tip);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  EXPECT_EQ(hover(0, 1), "First bell");
  EXPECT_EQ(hover(0, 2), "Heating (switches the output on)");
  EXPECT_EQ(hover(1, 1), "(no title)");
  EXPECT_EQ(e.cell(0, 1), "08:00, 5");
  QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(e.ui.timergrid);
  ASSERT_NE(grid->tableInterface(), nullptr);
  EXPECT_EQ(grid->tableInterface()->cellAt(0, 0)->text(QAccessible::Description), "First bell");
  // A change moves the tips with their events.
  e.click(0, 1);
  e.key(Qt::Key_Delete);
  EXPECT_EQ(hover(0, 1), "(no title)");
  EXPECT_EQ(grid->tableInterface()->cellAt(2, 0)->text(QAccessible::Description), "");
  QToolTip::hideText();
}

TEST(EditorWindow, MonToFriAndEveryDayInsertIntoTheirDaysAndNameTheRefusedOnes) {
  EditorWindow e(SchoolMonday);  // Monday: 08:00, 09:45, 10:00
  e.enter("Break", "4", "0945");
  QTest::mouseClick(e.ui.bweekdays, Qt::LeftButton);
  EXPECT_EQ(e.w.prompts.texts(),
            std::vector<QString>{"Not added to Mon: This Scheduled time already exists!"});
  for (int day = 2; day <= 5; ++day) {
    EXPECT_EQ(e.column(day), QStringList{"09:45, 4"}) << day;
  }
  EXPECT_TRUE(e.column(6).isEmpty());
  e.typeTime("1200");
  QTest::mouseClick(e.ui.beveryday, Qt::LeftButton);
  for (int day = 1; day <= kDays; ++day) {
    EXPECT_TRUE(e.column(day).contains("12:00, 4")) << day;
  }
  EXPECT_EQ(e.w.data->project.slot(7, 1).title.text(), "Break");
  // One press, one undo.
  QTest::mouseClick(e.ui.TS_Undo, Qt::LeftButton);
  EXPECT_EQ(e.column(7), QStringList{});
  EXPECT_EQ(e.column(2), QStringList{"09:45, 4"});
  // While an event is open they are off, as the day buttons are; read-only they never come on.
  e.dblclick(0, 1);
  EXPECT_FALSE(e.ui.bweekdays->isEnabled());
  EXPECT_FALSE(e.ui.beveryday->isEnabled());
  e.click(4, 1);
  EXPECT_TRUE(e.ui.bweekdays->isEnabled());
  EXPECT_EQ(e.w.prompts.boxes.size(), 1u);

  EditorWindow view(SchoolMonday, /*readonly=*/true);
  view.click(0, 1);
  for (QPushButton* b : {view.ui.bweekdays, view.ui.beveryday, view.ui.bsameall}) {
    EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  }
  EXPECT_EQ(view.ui.edithint->text(), kReadOnlyHint);
}

TEST(EditorWindow, SameOnAllDaysGivesTheOpenedEventsTitleAndPulseToItsTimeOnTheOtherDays) {
  EditorWindow e([](ProjectSetup& p) {
    for (int d = 1; d <= 5; ++d) {
      AddPulse(p, d, 1, 10, 15, 3, d == 2 ? QStringLiteral("Short break") : QStringLiteral("Short brake"));
    }
  });
  EXPECT_FALSE(e.ui.bsameall->isEnabled());
  e.dblclick(0, 1);
  EXPECT_TRUE(e.ui.bsameall->isEnabled());
  QTest::mouseClick(e.ui.timer_name, Qt::LeftButton);
  e.ui.timer_name->selectAll();
  e.type("Short break");
  QTest::mouseClick(e.ui.timer_length->lineEdit(), Qt::LeftButton);  // leaving the title writes it back
  e.ui.timer_length->lineEdit()->selectAll();
  e.type("6");
  QTest::mouseClick(e.ui.bsameall, Qt::LeftButton);  // leaving the pulse writes it back, then the step
  for (int d = 1; d <= 5; ++d) {
    EXPECT_EQ(e.w.data->project.slot(d, 1).title.text(), "Short break") << d;
    EXPECT_EQ(e.cell(0, d), "10:15, 6") << d;
  }
  EXPECT_EQ(e.note(), "Title and pulse of 10:15 copied to Tue, Wed, Thu, Fri.");
  EXPECT_TRUE(e.w.prompts.boxes.empty());
  EXPECT_TRUE(e.form.editor().state().event_edit_mode);
  // One undo takes the four days back, the write-backs stay.
  QTest::mouseClick(e.ui.TS_Undo, Qt::LeftButton);
  EXPECT_EQ(e.w.data->project.slot(3, 1).title.text(), "Short brake");
  EXPECT_EQ(e.w.data->project.slot(1, 1).title.text(), "Short break");
}

TEST(EditorWindow, TheHintSaysHowToGoOnAndLeavingAnEventKeepsThePulseTyped) {
  EditorWindow e(SchoolMonday);
  EXPECT_EQ(e.ui.edithint->text(), kEnteringHint);
  e.enter("", "5", "");
  e.dblclick(1, 1);  // 09:45, pulse 3
  EXPECT_EQ(e.ui.timer_length->currentText(), "3");
  EXPECT_EQ(e.ui.edithint->text(), EditorHint(EditMoment::Opened, 1, "09:45"));
  QTest::mouseClick(e.ui.timer_length->lineEdit(), Qt::LeftButton);
  e.ui.timer_length->lineEdit()->selectAll();
  e.type("7\r");
  EXPECT_EQ(e.cell(1, 1), "09:45, 7");
  EXPECT_EQ(e.ui.edithint->text(), "09:45 on Mon saved. To enter a new event, click an empty cell.");
  EXPECT_FALSE(e.dayButtonsEnabled());
  e.click(6, 2);
  EXPECT_TRUE(e.dayButtonsEnabled());
  EXPECT_EQ(e.ui.timer_length->currentText(), "5");
  EXPECT_EQ(e.ui.timer_name->text(), "");
  EXPECT_EQ(e.ui.time_on->displayText(), "__:__");
  EXPECT_EQ(e.ui.edithint->text(), kEnteringHint);
  // The pulse goes straight on into the next event.
  e.typeTime("1100");
  QTest::mouseClick(e.ui.btue, Qt::LeftButton);
  EXPECT_EQ(e.column(2), QStringList{"11:00, 5"});
  EXPECT_TRUE(e.w.prompts.boxes.empty());
}

TEST(EditorWindow, ABellAtNightInADayWeekGetsANoteAndStays) {
  EditorWindow e(SchoolMonday);
  e.enter("Staff meeting", "5", "0330");
  QTest::mouseClick(e.ui.bwed, Qt::LeftButton);
  EXPECT_EQ(e.note(), "03:30 is at night");
  EXPECT_EQ(e.column(3), QStringList{"03:30, 5"});
  EXPECT_TRUE(e.w.prompts.boxes.empty());
  // The week now rings at night: the next one is meant.
  e.form.findChild<TransientNote*>("note")->hide();
  e.typeTime("0400");
  QTest::mouseClick(e.ui.bwed, Qt::LeftButton);
  EXPECT_EQ(e.note(), "");
  EXPECT_EQ(e.column(3), (QStringList{"03:30, 5", "04:00, 5"}));
}

}  // namespace
}  // namespace zmr::testing
