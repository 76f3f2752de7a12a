#pragma once
// What the CSV exchange says about a file it refuses, beside the editor's own refusals
// (editor/editor_texts.h) that it reuses for the same faults.
#include <QString>

namespace zmr {

inline const QString kCsvHeaderText =
    QStringLiteral("The first line must be the header day,time,pulse,kind,title.");
inline const QString kCsvColumnsText =
    QStringLiteral("Every line needs 5 columns (day,time,pulse,kind,title); this one has %1.");
inline const QString kCsvDayText =
    QStringLiteral("This is not a valid day. Use Mon, Tue, Wed, Thu, Fri, Sat, Sun or 1 to 7 (1 = Monday).");
inline const QString kCsvKindText = QStringLiteral("This is not a valid kind. Use Pulse, On or Off.");
inline const QString kCsvSwitchPulseText =
    QStringLiteral("The pulse of an On or Off event must be empty or a number between 0 and 255.");
inline const QString kCsvUnclosedQuoteText =
    QStringLiteral("A quoted field is not closed; the file ends inside it.");
inline const QString kCsvTextAfterQuoteText =
    QStringLiteral("A closing quote must be followed by the separator or the end of the line.");
inline const QString kCsvStrayQuoteText =
    QStringLiteral("A field that holds a quote must be enclosed in quotes, with the quote doubled.");
inline const QString kCsvNotUtf8Text =
    QStringLiteral("The title is not UTF-8 text. Save the file as CSV with the UTF-8 character set.");
inline const QString kCsvUtf16Text =
    QStringLiteral("The file is UTF-16 text. Save it as CSV with the UTF-8 character set.");
inline const QString kCsvTooLargeText =
    QStringLiteral("The file is larger than %1 MB, far more than any week's schedule.");
inline const QString kCsvMoreFaultsText = QStringLiteral("Lines with faults not listed here: %1.");

// The window commands.
inline const QString kCsvFilter = QStringLiteral("CSV file (*.csv)|*.csv");
inline const QString kReplaceWeekText = QStringLiteral(
    "Replace the whole week of this project with the %1 in %2?\r\n"
    "The events now in the schedule will be lost.");
inline const QString kCsvOverProjectText =
    QStringLiteral("The schedule cannot be exported over its own project file. Choose another file name.");
inline const QString kNotImportedText =
    QStringLiteral("The schedule was not imported; the project is unchanged.");
// What the window notes after a command succeeded.
inline const QString kExportedNote = QStringLiteral("The week was exported to %1.");
inline const QString kImportedNote = QStringLiteral("The week now holds the %1 from %2.");

}  // namespace zmr
