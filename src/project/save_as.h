#pragma once
// Save As: the open project written under a new name, and that copy opened in its place,
// the way an exam week is made from the usual week.
#include <QString>
#include <optional>

#include "project/project_file.h"

namespace zmr {

class Prompts;

inline const QString kSaveAsCaption = QStringLiteral("Save Project As");
inline const QString kSavedAsNote = QStringLiteral("The project was saved as %1.");

// Asks for the new file (the dialog asks before it replaces one), writes the whole record
// there and makes it the open project: its path, caption, recent entry and folder. A
// title that was the old file's name becomes the new file's name. The week is the same
// as before, so whether it still waits for a download is unchanged.
// Returns the note that tells where it went; nothing when cancelled or no project is
// open. A failed write throws IoError and leaves the open project as it was.
std::optional<QString> SaveProjectAs(ConsoleData& data, Prompts& prompts, ProjectView& view);

}  // namespace zmr
