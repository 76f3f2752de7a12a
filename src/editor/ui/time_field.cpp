#include "editor/ui/time_field.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>
#include <memory>

#include "editor/typed_time.h"

namespace zmr {
namespace {

constexpr QChar kMaskBlank = u'_';

}  // namespace

TimeFieldKeys::TimeFieldKeys(QLineEdit& field) : field_(field) { field_.installEventFilter(this); }

TimeFieldKeys::~TimeFieldKeys() { field_.removeEventFilter(this); }

bool TimeFieldKeys::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &field_ || !field_.isEnabled()) {
    return false;
  }
  if (event->type() == QEvent::KeyPress) {
    return key(static_cast<QKeyEvent*>(event));
  }
  if (event->type() == QEvent::ContextMenu) {
    menu(static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
  }
  return false;
}

void TimeFieldKeys::setPositions(const QString& positions, int cursor) {
  QString text = positions;
  text.replace(u' ', kMaskBlank);  // the mask takes its blank character as a blank position
  field_.setText(text);
  field_.setCursorPosition(cursor);
  field_.setModified(true);
}

bool TimeFieldKeys::key(QKeyEvent* key) {
  if (key->matches(QKeySequence::Paste)) {
    return paste();
  }
  if (key->text().size() != 1 || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    return false;
  }
  const QLineEdit& field = field_;
  QString positions = field.displayText();
  positions.replace(kMaskBlank, u' ');
  int cursor = field.cursorPosition();
  if (field.hasSelectedText()) {
    // A key typed over a selection (all of it after a Tab) starts where the selection does.
    cursor = field.selectionStart();
    for (int i = cursor; i < cursor + field.selectedText().size() && i < positions.size(); ++i) {
      if (positions[i] != u':') {
        positions[i] = u' ';
      }
    }
  }
  const auto edit = TimeFieldKey(positions, cursor, key->text()[0]);
  if (!edit) {
    return false;
  }
  setPositions(edit->positions, edit->cursor);
  return true;
}

bool TimeFieldKeys::paste() {
  const auto positions = TimeFieldFromText(QGuiApplication::clipboard()->text());
  if (!positions) {
    return false;  // the field takes what its mask lets in
  }
  setPositions(*positions, positions->size());
  return true;
}

void TimeFieldKeys::menu(const QPoint& global) {
  // The field's own menu, with Paste taking a whole time the way the keys do.
  std::unique_ptr<QMenu> menu(field_.createStandardContextMenu());
  const QList<QAction*> actions = menu->actions();
  // The field's own item, found by its text in the field's own translation.
  const auto it = std::find_if(actions.begin(), actions.end(), [](const QAction* a) {
    return a->text().section(u'\t', 0, 0) == QLineEdit::tr("&Paste");
  });
  if (it != actions.end()) {
    QAction* item = *it;
    item->setObjectName(QStringLiteral("edit-paste"));
    disconnect(item, &QAction::triggered, nullptr, nullptr);
    connect(item, &QAction::triggered, this, [this] {
      if (!paste()) {
        field_.paste();
      }
    });
  }
  menu->exec(global);
}

}  // namespace zmr
