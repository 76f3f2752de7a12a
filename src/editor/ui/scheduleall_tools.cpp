// The editor window's tool strip, its pop-up menu and the undo buttons: each tool
// hands the grid's selection to the editor; which tools are on follows the grid's clicks.
#include <QMenu>
#include <QToolButton>
#include <utility>

#include "editor/ui/editor_artwork.h"
#include "editor/ui/scheduleall.h"
#include "ui/artwork.h"
#include "ui/field_looks.h"
#include "ui_scheduleall.h"

namespace zmr {
namespace {

constexpr int kStripIconSize = 28;
constexpr int kUndoIconSize = 22;

}  // namespace

void Tscheduleallform::buildTools() {
  ui_->TS_Cut->setIcon(EditorIcon(EditorGlyph::Cut, kStripIconSize));
  ui_->TS_Copy->setIcon(EditorIcon(EditorGlyph::Copy, kStripIconSize));
  ui_->TS_Paste->setIcon(EditorIcon(EditorGlyph::Paste, kStripIconSize));
  ui_->TS_Del->setIcon(EditorIcon(EditorGlyph::Delete, kStripIconSize));
  ui_->TS_Prop->setIcon(GlyphIcon(Glyph::Properties, kStripIconSize));
  ui_->TS_print->setIcon(GlyphIcon(Glyph::Print, kStripIconSize));
  ui_->TS_Undo->setIcon(EditorIcon(EditorGlyph::Undo, kUndoIconSize));
  ui_->TS_Redo->setIcon(EditorIcon(EditorGlyph::Redo, kUndoIconSize));
  for (const auto& [button, caption] : {std::pair{ui_->TS_Cut, ui_->TS_CutCaption},
                                        {ui_->TS_Copy, ui_->TS_CopyCaption},
                                        {ui_->TS_Paste, ui_->TS_PasteCaption},
                                        {ui_->TS_Del, ui_->TS_DelCaption},
                                        {ui_->TS_Prop, ui_->TS_PropCaption},
                                        {ui_->TS_print, ui_->TS_printCaption}}) {
    CaptionFollowsEnabled(*button, *caption);
  }
  connect(ui_->TS_Cut, &QToolButton::clicked, this, &Tscheduleallform::TS_CutClick);
  connect(ui_->TS_Copy, &QToolButton::clicked, this, &Tscheduleallform::TS_CopyClick);
  connect(ui_->TS_Paste, &QToolButton::clicked, this, &Tscheduleallform::TS_PasteClick);
  connect(ui_->TS_Del, &QToolButton::clicked, this, &Tscheduleallform::TS_DelClick);
  connect(ui_->TS_Prop, &QToolButton::clicked, this, &Tscheduleallform::TS_PropClick);
  connect(ui_->TS_print, &QToolButton::clicked, this, &Tscheduleallform::TS_printClick);
  connect(ui_->TS_Undo, &QToolButton::clicked, this, &Tscheduleallform::TS_UndoClick);
  connect(ui_->TS_Redo, &QToolButton::clicked, this, &Tscheduleallform::TS_RedoClick);

  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupMenu1"));
  const auto item = [this](const char* name, const QString& text, void (Tscheduleallform::*handler)()) {
    QAction* action = popup_->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, handler);
  };
  item("Cut1", QStringLiteral("Cu&t"), &Tscheduleallform::TS_CutClick);
  item("Copy1", QStringLiteral("&Copy"), &Tscheduleallform::TS_CopyClick);
  item("Paste1", QStringLiteral("&Paste"), &Tscheduleallform::TS_PasteClick);
  item("Delete1", QStringLiteral("&Delete"), &Tscheduleallform::TS_DelClick);
  popup_->addSeparator();
  item("Undo1", QStringLiteral("&Undo"), &Tscheduleallform::TS_UndoClick);
  item("Redo1", QStringLiteral("&Redo"), &Tscheduleallform::TS_RedoClick);
  // The keys work wherever the focus is in the window, but a text field keeps Ctrl+Z
  // for its own typing.
  undo_ = popup_->findChild<QAction*>(QStringLiteral("Undo1"));
  redo_ = popup_->findChild<QAction*>(QStringLiteral("Redo1"));
  undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  for (QAction* action : {undo_, redo_}) {
    action->setToolTip(action == undo_ ? ui_->TS_Undo->toolTip() : ui_->TS_Redo->toolTip());
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
  }
  popup_->setToolTipsVisible(true);
  connect(ui_->timergrid, &QWidget::customContextMenuRequested, this, &Tscheduleallform::popupAt);
}

void Tscheduleallform::updateUndoButtons() {
  ui_->TS_Undo->setEnabled(editor_.CanUndo());
  ui_->TS_Redo->setEnabled(editor_.CanRedo());
  undo_->setEnabled(editor_.CanUndo());
  redo_->setEnabled(editor_.CanRedo());
}

void Tscheduleallform::setClipboardButtons(bool cut_copy_del, bool prop, bool paste) {
  ui_->TS_Cut->setEnabled(cut_copy_del);
  ui_->TS_Copy->setEnabled(cut_copy_del);
  ui_->TS_Del->setEnabled(cut_copy_del);
  ui_->TS_Prop->setEnabled(prop);
  ui_->TS_Paste->setEnabled(paste);
}

void Tscheduleallform::availabilityAfterClick() {
  const EditorState& s = editor_.state();
  const bool event = editor_.CellHasEvent(s.current_row, s.current_day);
  setClipboardButtons(event, event, editor_.CanPaste());
}

void Tscheduleallform::TS_CutClick() { editor_.CutEvents(selection()); }
void Tscheduleallform::TS_CopyClick() { editor_.CopyEvents(selection()); }
void Tscheduleallform::TS_PasteClick() { editor_.PasteEvents(); }
void Tscheduleallform::TS_DelClick() { editor_.DeleteEvents(selection()); }
void Tscheduleallform::TS_PropClick() { editor_.ShowEventDetails(); }
void Tscheduleallform::TS_UndoClick() { editor_.Undo(); }
void Tscheduleallform::TS_RedoClick() { editor_.Redo(); }

void Tscheduleallform::TS_printClick() {
  if (console_.report != nullptr) {
    console_.report->PrintScheduleReport(kReportPreview);
  }
}

void Tscheduleallform::PopupMenu1Popup() {
  const std::array<std::pair<const char*, QToolButton*>, 6> items = {{{"Cut1", ui_->TS_Cut},
                                                                      {"Copy1", ui_->TS_Copy},
                                                                      {"Paste1", ui_->TS_Paste},
                                                                      {"Delete1", ui_->TS_Del},
                                                                      {"Undo1", ui_->TS_Undo},
                                                                      {"Redo1", ui_->TS_Redo}}};
  for (const auto& [name, button] : items) {
    popup_->findChild<QAction*>(QString::fromLatin1(name))->setEnabled(button->isEnabled());
  }
}

void Tscheduleallform::popupAt(const QPoint& grid_point) {
  PopupMenu1Popup();
  popup_->popup(ui_->timergrid->viewport()->mapToGlobal(grid_point));
}

}  // namespace zmr
