#include "ui/shared_access_keys.h"

#include <QAction>
#include <algorithm>
#include <QPointer>
#include <utility>
#include <vector>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace zmr {
namespace {

// The access key of a caption ("&Print" -> 'P'); none for "&&" or no '&'.
QChar AccessKey(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (caption[i + 1] != '&') {
        return caption[i + 1].toUpper();
      }
      ++i;
    }
  }
  return {};
}

std::vector<QAction*> ItemsWithKey(const QMenu& menu, QChar key) {
  std::vector<QAction*> items;
  for (QAction* action : menu.actions()) {
    if (action->isVisible() && action->isEnabled() && !action->isSeparator() && AccessKey(action->text()) == key) {
      items.push_back(action);
    }
  }
  return items;
}

// The menu that holds `sub` as one of its items.
QMenu* ParentMenu(const QMenu& sub) {
  for (QObject* holder : sub.menuAction()->associatedObjects()) {
    if (auto* menu = qobject_cast<QMenu*>(holder); menu != nullptr && menu != &sub) {
      return menu;
    }
  }
  return nullptr;
}

// The letter of a key, for access keys; none for other keys.
QChar Letter(Qt::Key key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    return QChar(static_cast<char16_t>(key));
  }
  return {};
}

std::vector<QAction*> MenusWithKey(const QMenuBar& bar, QChar key) {
  std::vector<QAction*> menus;
  for (QAction* action : bar.actions()) {
    if (action->isVisible() && action->isEnabled() && AccessKey(action->text()) == key) {
      menus.push_back(action);
    }
  }
  return menus;
}

// Qt takes turns between menus that share an access key by counting the presses it
// dispatched, whenever they were, and on X11 the Alt of each press closes the menu that
// is up, so its turns do not follow what the user sees. This filter takes those keys
// over: a press while none of the menus is up opens the first, a press while one is up
// (or was, until its Alt) opens the next. It also leaves a submenu a shared key opened.
class SharedKeys : public QObject {
 public:
  explicit SharedKeys(QMenuBar& bar) : QObject(&bar), bar_(bar) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease &&
        event->type() != QEvent::ShortcutOverride) {
      return false;
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) {
      return false;
    }
    if (key.key() == Qt::Key_Alt) {
      // Alt closes the menu that is up (as X11 does anyway), and a letter pressed before
      // Alt is let go moves on from that menu.
      if (event->type() == QEvent::KeyPress && openMenu() != nullptr) {
        open_at_alt_ = openMenu();
        closeMenus();
      } else if (event->type() == QEvent::KeyRelease) {
        open_at_alt_ = nullptr;
      }
      return false;
    }
    if (event->type() == QEvent::KeyRelease) {
      return false;
    }
    const QChar letter = Letter(static_cast<Qt::Key>(key.key()));
    if (letter.isNull()) {
      return false;
    }
    auto* menu = qobject_cast<QMenu*>(widget);
    if (menu != nullptr && (key.modifiers() != Qt::AltModifier || !ItemsWithKey(*menu, letter).empty())) {
      return event->type() == QEvent::KeyPress && leaveSubmenu(*menu, letter, key.modifiers());
    }
    if (menu != nullptr ? !ofTheBar(*menu) : widget->window() != bar_.window() || key.modifiers() != Qt::AltModifier) {
      return false;
    }
    const std::vector<QAction*> menus = MenusWithKey(bar_, letter);
    if (menus.size() < 2) {
      return false;
    }
    // Accepted as an override, the key comes as a key press instead of a shortcut; in a
    // menu that is up it may not come at all, so there the override acts.
    event->accept();
    const bool acts = event->type() == (menu != nullptr ? QEvent::ShortcutOverride : QEvent::KeyPress);
    if (event->type() == QEvent::ShortcutOverride) {
      acted_ = acts;
    } else if (std::exchange(acted_, false)) {
      return true;
    }
    if (acts) {
      QAction* current = openMenu() != nullptr ? openMenu() : open_at_alt_.data();
      const auto here = std::find(menus.begin(), menus.end(), current);
      QAction* next = here == menus.end() || std::next(here) == menus.end() ? menus.front() : *std::next(here);
      open_at_alt_ = nullptr;
      closeMenus();
      bar_.setActiveAction(next);
    }
    return true;
  }

 private:
  void closeMenus() {
    for (QAction* action : bar_.actions()) {
      if (action->menu() != nullptr && action->menu()->isVisible()) {
        action->menu()->close();
      }
    }
  }

  // The menu is one of the bar's, or a submenu of one.
  bool ofTheBar(const QMenu& menu) const {
    const QMenu* top = &menu;
    while (const QMenu* up = ParentMenu(*top)) {
      top = up;
    }
    return bar_.actions().contains(top->menuAction());
  }

  // The bar's menu that is up, if one is (the application's popup stack is no guide
  // while a shortcut is being tried).
  QAction* openMenu() const {
    for (QAction* action : bar_.actions()) {
      if (action->menu() != nullptr && action->menu()->isVisible()) {
        return action;
      }
    }
    return nullptr;
  }

  // A letter pressed in a submenu that has no item for it, while the menu holding the
  // submenu has several: back to that menu, on to the next of them.
  static bool leaveSubmenu(QMenu& sub, QChar letter, Qt::KeyboardModifiers modifiers) {
    if (modifiers & ~(Qt::AltModifier | Qt::ShiftModifier)) {
      return false;
    }
    QMenu* parent = ParentMenu(sub);
    if (parent == nullptr || !ItemsWithKey(sub, letter).empty()) {
      return false;
    }
    const std::vector<QAction*> shared = ItemsWithKey(*parent, letter);
    const auto here = std::find(shared.begin(), shared.end(), sub.menuAction());
    if (shared.size() < 2 || here == shared.end()) {
      return false;
    }
    sub.hide();
    parent->setActiveAction(std::next(here) == shared.end() ? shared.front() : *std::next(here));
    return true;
  }

  QMenuBar& bar_;
  QPointer<QAction> open_at_alt_;  // the menu that was up when Alt went down
  bool acted_ = false;              // this press was acted on at its override
};

}  // namespace

void CycleSharedAccessKeys(QMenuBar& bar) {
  // It sees the keys of every window: the window's own before any shortcut is tried,
  // and the open menus'. Owned by the bar, it goes with it.
  QCoreApplication::instance()->installEventFilter(new SharedKeys(bar));
}

}  // namespace zmr
