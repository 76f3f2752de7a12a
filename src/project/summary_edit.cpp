#include "project/summary_edit.h"

#include <QDir>
#include <QLocale>

#include "base/prompts.h"

namespace zmr {

bool TitleHasForbiddenCharacter(const QString& title) {
  static const QString kForbidden = QStringLiteral(",./:\\");
  for (const QChar c : title) {
    if (kForbidden.contains(c)) {
      return true;
    }
  }
  return false;
}

QString CommentsToStored(const QString& memo_text) {
  QString stored = memo_text;
  stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  stored.replace(u'\n', QStringLiteral("\r\n"));
  return stored;
}

QString CommentsFromStored(const QString& stored) {
  QString memo = stored;
  memo.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return memo;
}

QString LimitComments(const QString& memo_text, qsizetype limit) {
  qsizetype stored = 0;
  for (qsizetype i = 0; i < memo_text.size(); ++i) {
    stored += memo_text[i] == u'\n' ? 2 : 1;
    if (stored > limit) {
      return memo_text.left(i);
    }
  }
  return memo_text;
}

SummaryFields ReadSummary(const ProjectSummary& s) {
  return {s.title.text(),    s.subject.text(),  s.author.text(),   s.manager.text(),
          s.company.text(),  s.category.text(), s.keywords.text(), CommentsFromStored(s.comments.text())};
}

void StoreSummary(ProjectSummary& s, const SummaryFields& f, const QString& date_text) {
  s.title.setText(f.title);
  s.subject.setText(f.subject);
  s.author.setText(f.author);
  s.manager.setText(f.manager);
  s.company.setText(f.company);
  s.category.setText(f.category);
  s.keywords.setText(f.keywords);
  s.comments.setText(CommentsToStored(f.comments));
  s.summary_date.setText(date_text.left(kSummaryDateLength));
}

QString SummaryDateText(const QDate& date) {
  return QLocale::system().toString(date, QLocale::ShortFormat).left(kSummaryDateLength);
}

PropertiesOutcome ConfirmProperties(ConsoleData& data, Prompts& prompts, ProjectView& view,
                                    const SummaryFields& fields, const QDate& today) {
  if (TitleHasForbiddenCharacter(fields.title)) {
    prompts.beep();
    prompts.message(BoxKind::Error, kTitleCharactersText);
    return PropertiesOutcome::TitleRefused;
  }
  if (!data.state.project_open) {
    FileDialogRequest request;
    request.caption = QStringLiteral("Save Project As");
    request.initial_folder = data.settings.project_folder.text();
    request.filter = kProjectFilter;
    request.default_suffix = QStringLiteral("zmr");
    request.proposed_name = fields.title;
    const auto chosen = prompts.saveFileName(request);
    if (!chosen) {
      return PropertiesOutcome::SaveCancelled;
    }
    data.state.project_path = AbsoluteCleanPath(*chosen);
    data.settings.project_folder.setText(FolderOf(data.state.project_path));
    SaveSettings(data.settings, data.state.program_folder);
    ResetProject(data.project);
  }
  StoreSummary(data.project.summary, fields, SummaryDateText(today));
  WriteProjectFile(data);
  data.state.project_open = true;
  view.setCaption(QStringLiteral("Zemra: ") + data.state.project_path);
  view.RefreshMainMenu();
  return PropertiesOutcome::Stored;
}

}  // namespace zmr
