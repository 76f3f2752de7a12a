#include "editor/week_history.h"

namespace zmr {

void WeekHistory::Record(const WeekSchedule& before) {
  undo_.push_back(before);
  if (undo_.size() > kLimit) {
    undo_.pop_front();
  }
  redo_.clear();
}

void WeekHistory::Clear() {
  undo_.clear();
  redo_.clear();
}

void WeekHistory::CommitUndo(const WeekSchedule& replaced) {
  undo_.pop_back();
  redo_.push_back(replaced);
}

void WeekHistory::CommitRedo(const WeekSchedule& replaced) {
  redo_.pop_back();
  undo_.push_back(replaced);
}

}  // namespace zmr
