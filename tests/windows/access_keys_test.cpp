// Menus by keyboard where captions share an access key: each press moves on to the
// next menu or item with it, round and round, and never runs a command.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

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
}

void CloseMenus() {
  while (QApplication::activePopupWidget() != nullptr) Press(Qt::Key_Escape);
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
  QTest::keyClick(main.windowHandle(), Qt::Key_H, Qt::AltModifier);
  EXPECT_EQ(OpenMenu().first, "&Hardware");
  Press(Qt::Key_H, Qt::AltModifier);
  EXPECT_EQ(OpenMenu().first, "&Help");
  Press(Qt::Key_H, Qt::AltModifier);
  EXPECT_EQ(OpenMenu().first, "&Hardware");
  CloseMenus();

  // In the Project menu P moves between "&Properties" and "&Print", whose submenu opens
  // on the way; the next P leaves it again.
  QTest::keyClick(main.windowHandle(), Qt::Key_P, Qt::AltModifier);
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
  CloseMenus();
  EXPECT_TRUE(w.runner.shown.empty()) << "no command ran";
  main.hide();
}

}  // namespace
}  // namespace zmr::testing
