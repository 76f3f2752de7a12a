#include "windows/newproject.h"

#include <QKeyEvent>

#include "base/prompts.h"
#include "ui_newproject.h"
#include "windows/artwork.h"
#include "windows/field_looks.h"

namespace zmr {

Tnewprojectform::Tnewprojectform(Console& console, ProjectView& main_window, QWidget* parent)
    : ConsoleDialog(parent), console_(console), main_window_(main_window), ui_(new Ui::Tnewprojectform) {
  ui_->setupUi(this);
  fixFormAndStrip(*ui_->Image1);
  connect(ui_->butnext, &QPushButton::clicked, this, &Tnewprojectform::butnextClick);
  connect(ui_->butcancel, &QPushButton::clicked, this, &Tnewprojectform::butcancelClick);
  // Tab and Shift+Tab move on through the dialog, in the memo as in every other field.
  ui_->smComments->setTabChangesFocus(true);
  connect(ui_->smComments, &QPlainTextEdit::textChanged, this, [this] {
    const QString text = ui_->smComments->toPlainText();
    const QString limited = LimitComments(WithoutTabs(text));
    if (limited != text) {
      ui_->smComments->setPlainText(limited);
      ui_->smComments->moveCursor(QTextCursor::End);
    }
  });
  for (QWidget* child : findChildren<QWidget*>()) {
    child->installEventFilter(this);
  }
}

Tnewprojectform::~Tnewprojectform() = default;

std::array<QLineEdit*, 7> Tnewprojectform::lineFields() const {
  return {ui_->smTitle,   ui_->smSubject,  ui_->smAuthor,  ui_->smManager,
          ui_->smCompany, ui_->smCategory, ui_->smKeywords};
}

// A pasted or loaded tab would go into the project as a 0x09 byte: a blank goes instead.
QString WithoutTabs(const QString& text) {
  QString result = text;
  result.replace(u'\t', u' ');
  return result;
}

SummaryFields Tnewprojectform::fields() const {
  return {WithoutTabs(ui_->smTitle->text()),    WithoutTabs(ui_->smSubject->text()),
          WithoutTabs(ui_->smAuthor->text()),   WithoutTabs(ui_->smManager->text()),
          WithoutTabs(ui_->smCompany->text()),  WithoutTabs(ui_->smCategory->text()),
          WithoutTabs(ui_->smKeywords->text()), WithoutTabs(ui_->smComments->toPlainText())};
}

void Tnewprojectform::setFields(const SummaryFields& f) {
  // The record may hold more than a person may type; show what fits the field.
  ui_->smTitle->setText(f.title);
  ui_->smSubject->setText(f.subject);
  ui_->smAuthor->setText(f.author);
  ui_->smManager->setText(f.manager);
  ui_->smCompany->setText(f.company);
  ui_->smCategory->setText(f.category);
  ui_->smKeywords->setText(f.keywords);
  ui_->smComments->setPlainText(f.comments);
}

void Tnewprojectform::FormShow() {
  auto& state = console_.data.state;
  ui_->tip1->setText(kPropertiesTip);
  setFields({});
  if (!state.properties_mode) {
    state.project_readonly = false;
  }
  ui_->smTitle->setFocus();
  if (state.project_open) {
    ui_->butnext->setText(QStringLiteral("CLOSE"));
    setFields(ReadSummary(console_.data.project.summary));
  } else {
    ui_->butnext->setText(QStringLiteral("NEXT >"));
    state.project_readonly = false;
  }
  const bool readonly = state.project_readonly;
  ui_->butnext->setEnabled(!readonly);
  for (QLineEdit* field : lineFields()) {
    field->setReadOnly(readonly);
    ShowReadOnlyLook(*field, readonly);
  }
  ui_->smComments->setReadOnly(readonly);
  ShowReadOnlyLook(*ui_->smComments, readonly);
}

void Tnewprojectform::butnextClick() {
  switch (ConfirmProperties(console_.data, console_.prompts, main_window_, fields(), today_())) {
    case PropertiesOutcome::TitleRefused:
      ui_->smTitle->setFocus();
      break;
    case PropertiesOutcome::SaveCancelled:
      break;
    case PropertiesOutcome::Stored:
      accept();
      break;
  }
}

void Tnewprojectform::butcancelClick() { reject(); }

bool Tnewprojectform::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && watched != ui_->smComments &&
        watched != ui_->smComments->viewport()) {
      focusNextChild();
      return true;
    }
  }
  return ConsoleDialog::eventFilter(watched, event);
}

}  // namespace zmr
