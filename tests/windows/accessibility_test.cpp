// A screen reader's view of every window the program makes: each control that takes
// input must announce a name, and one with a hint its description. The walk is over
// whatever windows exist, so windows added later are checked without a new test.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>

#include "plan/ui/yearplan.h"
#include "project/settings.h"
#include "windows/about.h"
#include "windows/newproject.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

// Parts that Qt builds into its own composite controls are announced through them.
// The line of an editable combo box is not: a screen reader lands on it by itself.
bool InsideComposite(const QWidget* widget) {
  for (const QWidget* up = widget->parentWidget(); up != nullptr && !up->isWindow(); up = up->parentWidget()) {
    const auto* combo = qobject_cast<const QComboBox*>(up);
    if (combo != nullptr && combo->lineEdit() == widget) return false;
    if (qobject_cast<const QAbstractItemView*>(up) || qobject_cast<const QAbstractSpinBox*>(up) || combo != nullptr) {
      return true;
    }
  }
  return false;
}

bool TakesInput(const QWidget* widget) {
  if (widget->objectName().startsWith(QLatin1String("qt_")) || qobject_cast<const QScrollBar*>(widget) ||
      InsideComposite(widget)) {
    return false;
  }
  if (qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
      qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget) ||
      qobject_cast<const QAbstractSlider*>(widget) || qobject_cast<const QAbstractItemView*>(widget)) {
    return true;
  }
  if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
    return group->isCheckable();
  }
  // The rest (text fields, links, grids of later windows) by whether the keyboard can
  // reach them; a read-only text it cannot reach is a picture of words.
  return (widget->focusPolicy() & Qt::TabFocus) != 0;
}

QString Path(const QWidget* widget) {
  QStringList names;
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    names.prepend(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
  }
  return names.join(u'/');
}

// Every nameless control and every control whose hint is not announced, by its path.
QStringList Unannounced(const QWidget& window) {
  QStringList faults;
  QList<QWidget*> widgets = window.findChildren<QWidget*>();
  widgets.prepend(const_cast<QWidget*>(&window));
  for (QWidget* widget : widgets) {
    if (widget->window() != &window || !TakesInput(widget)) {
      continue;
    }
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    if (face == nullptr || face->text(QAccessible::Name).trimmed().isEmpty()) {
      faults << Path(widget) + ": no name";
      continue;
    }
    const bool hinted = !widget->toolTip().isEmpty() || !widget->statusTip().isEmpty();
    if (hinted && face->text(QAccessible::Description).trimmed().isEmpty()) {
      faults << Path(widget) + ": hint not announced";
    }
  }
  // Menus announce each entry by its caption without the access-key mark.
  QList<QWidget*> menus;
  for (QMenu* menu : window.findChildren<QMenu*>()) menus << menu;
  for (QMenuBar* bar : window.findChildren<QMenuBar*>()) menus << bar;
  if (auto* menu = qobject_cast<const QMenu*>(&window)) menus << const_cast<QMenu*>(menu);
  for (QWidget* menu : menus) {
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator() && action->isVisible() && QString(action->text()).remove(u'&').trimmed().isEmpty()) {
        faults << Path(menu) + "/" + action->objectName() + ": menu entry without a name";
      }
    }
  }
  return faults;
}

// The main window and every window it holds: dialogs, menus, the help window; and the
// windows of their own beside it, with theirs.
QList<QWidget*> ProgramWindows(QWidget& main) {
  QList<QWidget*> roots{&main};
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->parentWidget() == nullptr && dynamic_cast<ConsoleDialog*>(top) != nullptr) roots << top;
  }
  QList<QWidget*> windows;
  for (QWidget* root : roots) {
    windows << root;
    for (QWidget* child : root->findChildren<QWidget*>()) {
      if (child->isWindow()) windows << child;
    }
  }
  return windows;
}

TEST(Accessibility, EveryControlOfEveryWindowAnnouncesItsNameAndHint) {
  TempDir projects;
  const QString path = projects.file("Hall & Gym.zmr");
  WriteEmptyProject(path);
  World w;
  TMainform& main = w.started();
  // A recent entry is shown, the help window exists, and every window has been shown once.
  PushRecentProject(w.data->settings, path);
  main.RefreshMainMenu();
  w.prompts.shell_opens = false;
  Control(main, "Help2")->trigger();
  ASSERT_TRUE(Control(main, "menufile1")->isVisible());
  for (QWidget* window : ProgramWindows(main)) {
    if (auto* dialog = dynamic_cast<ConsoleDialog*>(window)) {
      dialog->FormShow();
    }
  }
  const QList<QWidget*> windows = ProgramWindows(main);
  EXPECT_GE(windows.size(), 1 + 4 + 1 + 6) << "the main window, its dialogs, the help window and the menus";
  for (const bool project_open : {false, true}) {
    w.data->state.project_open = project_open;
    main.RefreshMainMenu();
    for (QWidget* window : windows) {
      EXPECT_EQ(Unannounced(*window), QStringList()) << Path(window).toStdString();
    }
  }
  EXPECT_TRUE(windows.contains(&w.windows().yearplanform()));
  // What a newcomer hears on the start screen.
  QAccessibleInterface* tile = QAccessible::queryAccessibleInterface(Control<QWidget>(main, "bignewbut"));
  EXPECT_EQ(tile->text(QAccessible::Name), "New project");
  EXPECT_EQ(tile->text(QAccessible::Description), "Create a New Project ...");
  QAccessibleInterface* title =
      QAccessible::queryAccessibleInterface(Control<QWidget>(w.windows().newprojectform(), "smTitle"));
  EXPECT_EQ(title->text(QAccessible::Name), "Title");
}

TEST(Accessibility, TheWalkFindsANamelessControl) {
  World w;
  TMainform& main = w.started();
  auto* bare = new QLineEdit(Control<QWidget>(w.windows().aboutform(), "Button1")->parentWidget());
  bare->setObjectName("bare");
  bare->setToolTip("a hint");
  EXPECT_EQ(Unannounced(w.windows().aboutform()), QStringList{"Mainform/aboutform/bare: no name"});
  bare->setAccessibleName("Bare");
  EXPECT_TRUE(Unannounced(w.windows().aboutform()).isEmpty());
  delete bare;
  // The typed line of an editable list is announced by itself.
  w.windows().yearplanform().FormShow();
  auto* ports = Control<QComboBox>(w.windows().yearplanform(), "portname");
  const QString port_name = ports->lineEdit()->accessibleName();
  ports->lineEdit()->setAccessibleName(QString());
  EXPECT_EQ(Unannounced(w.windows().yearplanform()), QStringList{"yearplanform/planparts/everydaybox/portname/QLineEdit: no name"});
  ports->lineEdit()->setAccessibleName(port_name);
  Control(main, "menufile2")->setVisible(true);  // shown without its file name
  EXPECT_EQ(Unannounced(main), QStringList{"Mainform/MainMenu1/Project1/menufile2: menu entry without a name"});
}

}  // namespace
}  // namespace zmr::testing
