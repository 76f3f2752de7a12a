#pragma once
// Undo and redo of the editor's changes as whole snapshots of the week. The week is one
// fixed record of 94080 bytes, so a snapshot is a plain copy: an undo gives back every
// byte as it was (stray bytes after a title included) without a reverse operation per
// kind of change, and the history needs nothing beyond the core.
#include <deque>

#include "project/project_model.h"

namespace zmr {

class WeekHistory {
 public:
  // Changes kept; the oldest is forgotten beyond it (about 9 MB of snapshots).
  static constexpr std::size_t kLimit = 100;

  // The week as it stood before a change; forgets what could be redone.
  void Record(const WeekSchedule& before);
  void Clear();
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  std::size_t UndoCount() const { return undo_.size(); }

  // The week an undo or a redo would bring back.
  const WeekSchedule& UndoTarget() const { return undo_.back(); }
  const WeekSchedule& RedoTarget() const { return redo_.back(); }
  // The undo (redo) took effect: `replaced` is the week it replaced, which a redo (undo)
  // brings back again.
  void CommitUndo(const WeekSchedule& replaced);
  void CommitRedo(const WeekSchedule& replaced);

 private:
  std::deque<WeekSchedule> undo_;
  std::deque<WeekSchedule> redo_;
};

}  // namespace zmr
