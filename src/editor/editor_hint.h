#pragma once
// The line in which the editor window says what to do next: how a new event goes in,
// that an opened event is saved by leaving a field, and how to get back to entering.
#include <QString>

namespace zmr {

enum class EditMoment {
  Entering,     // the fields hold a new event
  Opened,       // an event was opened and is changed through the fields
  WrittenBack,  // ... and was just saved
  ShownOnly,    // an event the editor shows but does not change (On, Off, other kinds)
  ReadOnly,     // the project may not be changed
};

// `day` 1..7 and `time` ("09:45") name the opened event where the text needs them.
QString EditorHint(EditMoment moment, int day = 1, const QString& time = {});

inline const QString kEnteringHint =
    QStringLiteral("New event: type its time and pulse, then press its day, Mon\u2013Fri or Every day.");
inline const QString kOpenedHint = QStringLiteral(
    "Changing %1 on %2: leaving a field or pressing Enter saves it. To enter a new event, click an empty "
    "cell.");
inline const QString kWrittenBackHint =
    QStringLiteral("%1 on %2 saved. To enter a new event, click an empty cell.");
inline const QString kShownOnlyHint =
    QStringLiteral("This event is shown only; the editor does not change it. Click a cell to go on.");
inline const QString kReadOnlyHint = QStringLiteral("Read only: double-click an event to see its details.");

}  // namespace zmr
