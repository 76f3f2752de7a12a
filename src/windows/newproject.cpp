#include "windows/newproject.h"

#include <QKeyEvent>
#include <algorithm>

#include "base/prompts.h"
#include "ui_newproject.h"
#include "ui/artwork.h"
#include "ui/field_looks.h"

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
    const QString limited = LimitComments(WithoutTabs(text), comments_limit_);
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
  // A file made elsewhere may hold one character more than a person may type here: the
  // limit then grows to fit the loaded text, so it goes back to the file whole.
  const std::array<const QString*, 7> texts{&f.title,   &f.subject,  &f.author,  &f.manager,
                                            &f.company, &f.category, &f.keywords};
  const auto fields = lineFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i]->setMaxLength(std::max<int>(kSummaryFieldInputLimit, static_cast<int>(texts[i]->size())));
    fields[i]->setText(*texts[i]);
  }
  comments_limit_ = std::max<qsizetype>(kCommentsInputLimit, CommentsToStored(f.comments).size());
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
