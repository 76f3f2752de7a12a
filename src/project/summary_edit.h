#pragma once
// The properties dialog's non-widget side: the title check, moving the eight summary
// texts between the record and the fields, and storing a project from the dialog.
#include <array>

#include <QDate>
#include <QString>

#include "project/project_file.h"

namespace zmr {

class Prompts;

// The eight texts a person types, in the dialog's tab order.
struct SummaryFields {
  QString title, subject, author, manager, company, category, keywords, comments;
};

// The longest text each field accepts while typing (one short of the stored room).
inline constexpr int kSummaryFieldInputLimit = 99;
inline constexpr int kCommentsInputLimit = 254;
inline constexpr int kSummaryDateLength = 10;

inline const QString kTitleCharactersText = QStringLiteral(
    "The project title cannot contain any of the following characters: \" : . / \\ , \"");

// A title becomes the proposed file name, so it may not hold a path or extension character.
bool TitleHasForbiddenCharacter(const QString& title);

// The memo shows line breaks as "\n"; the record keeps them as "\r\n", so that a file
// reads the same in every copy of the program.
QString CommentsToStored(const QString& memo_text);
QString CommentsFromStored(const QString& stored);
// The memo's text cut so that its stored form stays within limit characters (the typing
// limit, or a loaded text's own length when that is longer).
QString LimitComments(const QString& memo_text, qsizetype limit = kCommentsInputLimit);

SummaryFields ReadSummary(const ProjectSummary& summary);
// Stores the fields (each cut to its stored room) and the date text (cut to 10).
void StoreSummary(ProjectSummary& summary, const SummaryFields& fields, const QString& date_text);
// The date in the system's short format, cut to what summary_date holds.
QString SummaryDateText(const QDate& date);

enum class PropertiesOutcome { TitleRefused, SaveCancelled, Stored };

// "NEXT >" / "CLOSE": checks the title; when no project is open, asks for the new file
// (proposing the title), remembers its folder and resets the record; then stores the
// summary and writes the whole record. Only a completed write opens the project and
// updates the caption and commands. A write failure throws IoError with the state as it was.
PropertiesOutcome ConfirmProperties(ConsoleData& data, Prompts& prompts, ProjectView& view,
                                    const SummaryFields& fields, const QDate& today);

}  // namespace zmr
