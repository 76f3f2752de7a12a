#include "ui/others_wait.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include "ui/transient_note.h"

namespace zmr {
namespace {

bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Shortcut:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

bool Within(const QWidget* window, const QWidget* busy) {
  for (const QWidget* w = window; w != nullptr; w = w->parentWidget()) {
    if (w == busy) return true;
  }
  return false;
}

// The widget an event is for: a shortcut goes to an action, which belongs to a window.
QWidget* WidgetOf(QObject* receiver) {
  for (QObject* o = receiver; o != nullptr; o = o->parent()) {
    if (o->isWidgetType()) return static_cast<QWidget*>(o);
  }
  return nullptr;
}

}  // namespace

OthersWait::OthersWait(QWidget& busy_window, QString note) : busy_(&busy_window), note_(std::move(note)) {
  qApp->installEventFilter(this);
}

OthersWait::~OthersWait() { qApp->removeEventFilter(this); }

bool OthersWait::eventFilter(QObject* watched, QEvent* event) {
  if (busy_ == nullptr || !IsInput(event->type())) return false;
  QWidget* widget = WidgetOf(watched);
  if (widget == nullptr) return false;
  QWidget* window = widget->window();
  // The busy window, its own dialogs and any modal box go on as usual.
  if (Within(window, busy_) || window->isModal()) return false;
  if (event->type() == QEvent::Close) event->ignore();  // a close that is dropped is refused
  if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress ||
      event->type() == QEvent::Shortcut || event->type() == QEvent::Close) {
    if (window->isVisible() && window->windowType() != Qt::Popup) NoteOf(*window).show(note_);
  }
  return true;
}

}  // namespace zmr
