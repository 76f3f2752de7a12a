#include "ui/shared_access_keys.h"

#include <QAction>
#include <algorithm>
#include <vector>
#include <QCoreApplication>
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
    if (auto* menu = qobject_cast<QMenu*>(holder)) {
      return menu;
    }
  }
  return nullptr;
}

class SharedKeys : public QObject {
 public:
  explicit SharedKeys(QMenuBar& bar) : QObject(&bar) {}

  void watch(QMenu& menu) {
    menu.installEventFilter(this);
    for (QAction* action : menu.actions()) {
      if (action->menu() != nullptr) {
        watch(*action->menu());
      }
    }
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) {
      return false;
    }
    auto* sub = qobject_cast<QMenu*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (sub == nullptr || key->text().size() != 1 || (key->modifiers() & ~(Qt::AltModifier | Qt::ShiftModifier))) {
      return false;
    }
    const QChar letter = key->text().at(0).toUpper();
    QMenu* parent = ParentMenu(*sub);
    if (parent == nullptr || !ItemsWithKey(*sub, letter).empty()) {
      return false;  // the open submenu has an item of its own for the key
    }
    const std::vector<QAction*> shared = ItemsWithKey(*parent, letter);
    const auto here = std::find(shared.begin(), shared.end(), sub->menuAction());
    if (shared.size() < 2 || here == shared.end()) {
      return false;
    }
    // Back to the menu that holds the submenu, then on to the next item with the key.
    QAction* next = std::next(here) == shared.end() ? shared.front() : *std::next(here);
    sub->hide();
    parent->setActiveAction(next);
    return true;
  }
};

}  // namespace

void CycleSharedAccessKeys(QMenuBar& bar) {
  auto* keys = new SharedKeys(bar);  // owned by the bar
  for (QAction* action : bar.actions()) {
    if (action->menu() != nullptr) {
      keys->watch(*action->menu());
    }
  }
}

}  // namespace zmr
