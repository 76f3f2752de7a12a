#include "editor/ui/scheduleall.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <array>

#include "editor/editor_texts.h"
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
  EXPECT_EQ(f.size(), QSize(728, 473));
  EXPECT_EQ(f.minimumSize(), f.maximumSize());
  EXPECT_EQ(f.windowTitle(), "Timer Schedule");
  QTableWidget& g = *e.ui.timergrid;
  EXPECT_EQ(g.geometry(), QRect(90, 80, 629, 255));
  EXPECT_EQ(g.rowCount(), 120);
  EXPECT_EQ(g.columnCount(), 7);
  EXPECT_EQ(g.verticalHeader()->width(), 36);
  EXPECT_EQ(g.verticalHeaderItem(0)->text(), "1");
  EXPECT_EQ(g.verticalHeaderItem(119)->text(), "120");
  EXPECT_EQ(g.columnWidth(6), 80);
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
    EXPECT_EQ(b->size(), QSize(80, 34));
    EXPECT_FALSE(b->icon().isNull());
  }
  EXPECT_EQ(e.ui.bwed->accessibleName(), "Wed");
  EXPECT_EQ(e.ui.TS_Prop->accessibleName(), "Properties");
  EXPECT_EQ(e.ui.TS_Del->toolTip(), "The Delete Icon will remove the selected event.");
  EXPECT_EQ(e.ui.TS_Del->accessibleDescription(), e.ui.TS_Del->toolTip());
  EXPECT_TRUE(e.ui.TS_CutCaption->font().italic());
  EXPECT_EQ(e.ui.Label2->buddy(), e.ui.timer_length);
  EXPECT_EQ(e.ui.closebutton->geometry(), QRect(616, 4, 105, 32));

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
                                         "bthu", "bfri", "bsat", "bsun", "timergrid", "closebutton"}));
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

}  // namespace
}  // namespace zmr::testing
