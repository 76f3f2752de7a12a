// Menus by keyboard where captions share an access key: each press moves on to the
// next menu or item with it, round and round, and never runs a command.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <QMainWindow>

#include "windows/mainform.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

// The open menu (the one that takes the keys) and its highlighted item, as captions.
std::pair<QString, QString> OpenMenu() {
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (menu == nullptr) return {};
  return {menu->title(), menu->activeAction() != nullptr ? menu->activeAction()->text() : QString()};
}

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* target = QApplication::activePopupWidget();
  ASSERT_NE(target, nullptr);
  QTest::keyClick(target, key, modifiers);
  QCoreApplication::processEvents();  // a menu may open once the key is done with
}

// Alt+letter as X11 delivers it: the Alt goes to the menu that is up (and closes it),
// the letter to the window.
void AltKey(QWidget& window, Qt::Key key) {
  if (QWidget* popup = QApplication::activePopupWidget()) {
    QTest::keyPress(popup, Qt::Key_Alt, Qt::AltModifier);
  }
  QTest::keyClick(window.windowHandle(), key, Qt::AltModifier);
  QCoreApplication::processEvents();
}

// Escape until no menu is open and the menu bar has let go of the keyboard.
void CloseMenus(QMenuBar& bar) {
  while (QApplication::activePopupWidget() != nullptr) Press(Qt::Key_Escape);
  if (bar.activeAction() != nullptr) QTest::keyClick(&bar, Qt::Key_Escape);
  EXPECT_EQ(bar.activeAction(), nullptr);
}

TEST(AccessKeys, SharedKeysMoveOnToTheNextMenuAndItemRoundAndRound) {
  TempDir projects;
  const QString path = projects.file("Hall.zmr");
  WriteEmptyProject(path);
  World w{{path}};
  TMainform& main = w.started();
  main.show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));

  // Alt+H: "&Hardware" first, then "&Help", then "&Hardware" again.
  AltKey(main, Qt::Key_H);
  EXPECT_EQ(OpenMenu().first, "&Hardware");
  AltKey(main, Qt::Key_H);
  EXPECT_EQ(OpenMenu().first, "&Help");
  AltKey(main, Qt::Key_H);
  EXPECT_EQ(OpenMenu().first, "&Hardware");
  CloseMenus(*main.menuBar());
  // Closed and pressed afresh, in any state the turns were left: the first one again.
  for (int presses = 1; presses <= 3; ++presses) {
    AltKey(main, Qt::Key_H);
    EXPECT_EQ(OpenMenu().first, "&Hardware") << presses;
    for (int k = 1; k < presses; ++k) AltKey(main, Qt::Key_H);
    CloseMenus(*main.menuBar());
  }

  // In the Project menu P moves between "&Properties" and "&Print", whose submenu opens
  // on the way; the next P leaves it again.
  AltKey(main, Qt::Key_P);
  ASSERT_EQ(OpenMenu().first, "&Project");
  const std::pair<QString, QString> expected[] = {
      {"&Project", "&Properties"}, {"&Print", ""}, {"&Project", "&Properties"}, {"&Print", ""}};
  for (const auto& step : expected) {
    Press(Qt::Key_P);
    EXPECT_EQ(OpenMenu().first, step.first);
    if (step.first == "&Project") {
      EXPECT_EQ(OpenMenu().second, step.second);
    }
  }
  CloseMenus(*main.menuBar());
  EXPECT_TRUE(w.runner.shown.empty()) << "no command ran";
  main.hide();
}

}  // namespace
}  // namespace zmr::testing
