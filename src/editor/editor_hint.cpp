#include "editor/editor_hint.h"

#include "editor/several_days.h"

namespace zmr {

QString EditorHint(EditMoment moment, int day, const QString& time) {
  switch (moment) {
    case EditMoment::Opened:
      return kOpenedHint.arg(time, ShortDayName(day));
    case EditMoment::WrittenBack:
      return kWrittenBackHint.arg(time, ShortDayName(day));
    case EditMoment::ShownOnly:
      return kShownOnlyHint;
    case EditMoment::ReadOnly:
      return kReadOnlyHint;
    case EditMoment::Entering:
      break;
  }
  return kEnteringHint;
}

}  // namespace zmr
