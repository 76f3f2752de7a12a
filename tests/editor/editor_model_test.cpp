// A long random run of editor operations against a plain reference: each day a sorted
// list of events. After every step the grid, the record and the file must agree with it.
#include <gtest/gtest.h>

#include <QDir>
#include <algorithm>
#include <random>

#include "editor/editor_texts.h"
#include "editor_fixture.h"

namespace zmr::testing {
namespace {

struct RefEvent {
  int time;  // hour * 60 + minute
  int pulse;
  QString title;
  bool operator==(const RefEvent&) const = default;
};

using RefWeek = std::array<std::vector<RefEvent>, kDays>;

struct Reference {
  RefWeek days;
  std::vector<RefEvent> held;
  std::vector<RefWeek> undo, redo;  // the weeks an undo and a redo bring back

  // A change made: the week before it is one undo step, when the change changed anything.
  void changed(const RefWeek& before) {
    if (before != days) {
      undo.push_back(before);
      if (undo.size() > WeekHistory::kLimit) {
        undo.erase(undo.begin());
      }
      redo.clear();
    }
  }
  void back(std::vector<RefWeek>& from, std::vector<RefWeek>& to) {
    if (!from.empty()) {
      to.push_back(days);
      days = from.back();
      from.pop_back();
    }
  }

  std::vector<RefEvent>& day(int d) { return days[d - 1]; }
  bool has(int d, int time, int except_row = -1) {
    const auto& v = day(d);
    for (int r = 0; r < int(v.size()); ++r) {
      if (r != except_row && v[r].time == time) {
        return true;
      }
    }
    return false;
  }
  void add(int d, RefEvent e) {
    auto& v = day(d);
    v.insert(std::upper_bound(v.begin(), v.end(), e, [](auto& a, auto& b) { return a.time < b.time; }), e);
  }
};

QString TimeText(int time) {
  return QStringLiteral("%1:%2").arg(time / 60, 2, 10, QChar('0')).arg(time % 60, 2, 10, QChar('0'));
}

// Keeps the project on a memory file system when there is one: each save is flushed.
class MemoryTemp {
 public:
  MemoryTemp() : old_(qgetenv("TMPDIR")) {
    if (QDir(QStringLiteral("/dev/shm")).exists()) {
      qputenv("TMPDIR", "/dev/shm");
    }
  }
  ~MemoryTemp() {
    if (old_.isEmpty()) {
      qunsetenv("TMPDIR");
    } else {
      qputenv("TMPDIR", old_);
    }
  }

 private:
  QByteArray old_;
};

// Undo and redo come between the operations, and each one must bring back exactly the
// week the reference remembers.
TEST(EditorModel, RandomOperationsAndUndosKeepEveryDayPackedSortedAndSaved) {
  MemoryTemp memory;
  std::mt19937 rng(20261209);
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

  // Slots 121..128 hold what a loaded file left there; nothing may touch them.
  std::array<std::array<ScheduleEvent, kSlotsPerDay - kEventsPerDay>, kDays> tail{};
  EditorWorld w([&](ProjectSetup& p) {
    for (int d = 1; d <= kDays; ++d) {
      for (int s = kEventsPerDay + 1; s <= kSlotsPerDay; ++s) {
        auto* bytes = reinterpret_cast<std::uint8_t*>(&p.slot(d, s));
        for (std::size_t i = 0; i < sizeof(ScheduleEvent); ++i) {
          bytes[i] = static_cast<std::uint8_t>(pick(0, 255));
        }
        tail[d - 1][s - kEventsPerDay - 1] = p.slot(d, s);
      }
    }
  });
  Reference ref;
  // A narrow range of times makes duplicates and full days frequent.
  const auto time = [&] { return pick(0, 2) == 0 ? pick(0, 1439) : 8 * 60 + pick(0, 140); };
  const auto selection = [&](int day) {
    const int top = pick(0, 125) % kGridRows;
    const int bottom = std::min(kGridRows - 1, top + (pick(0, 9) == 0 ? pick(0, 119) : pick(0, 6)));
    return EditorWorld::rows(day, top, bottom);
  };

  int changes = 0;
  for (int step = 0; step < 1500; ++step) {
    SCOPED_TRACE(step);
    w.prompts.boxes.clear();
    std::vector<QString> expected;
    const int day = pick(1, kDays);
    const int op = pick(0, 12);
    const RefWeek before = ref.days;
    if (op >= 10) {  // undo, now and then several, or redo
      const bool undo = op < 12;
      const int times = pick(0, 4) == 0 ? pick(2, 6) : 1;
      for (int i = 0; i < times; ++i) {
        undo ? w.editor.Undo() : w.editor.Redo();
        undo ? ref.back(ref.undo, ref.redo) : ref.back(ref.redo, ref.undo);
      }
      ASSERT_EQ(w.editor.CanUndo(), !ref.undo.empty());
      ASSERT_EQ(w.editor.CanRedo(), !ref.redo.empty());
    } else if (op <= 3) {  // insert, now and then with a bad field
      const int t = time();
      const int pulse = pick(0, 12) == 0 ? pick(60, 70) : pick(1, 59);
      const QString title = QStringLiteral("E%1").arg(step);
      w.type(TimeText(t), QString::number(pulse), title);
      w.editor.InsertEvent(day);
      if (pulse > kMaxPulseSeconds) {
        expected = {kInsertPulseText};
      } else if (ref.has(day, t)) {
        expected = {kTimeExistsText};
      } else if (ref.day(day).size() == kEventsPerDay) {
        expected = {kDayFullText};
      } else {
        ref.add(day, {t, pulse, title});
      }
    } else if (op == 4) {  // open an event, change it, write it back
      auto& v = ref.day(day);
      const int row = v.empty() ? 0 : pick(0, int(v.size()) - 1);
      w.click(row, day);
      w.editor.ShowEventDetails();
      if (!v.empty()) {
        const int opened_time = v[row].time;  // times are unique in a day: it finds the event again
        const int t = pick(0, 1) ? opened_time : time();
        const int pulse = pick(1, 59);
        w.view.fields.time = TimeText(t);
        w.view.fields.pulse = QString::number(pulse);
        if (pick(0, 1)) {  // a paste into the same day may come between
          const RefWeek before_paste = ref.days;
          w.editor.PasteEvents();
          for (const RefEvent& e : ref.held) {
            if (ref.has(day, e.time)) {
              expected.push_back(kTimeExistsText);
              break;
            }
            if (v.size() == kEventsPerDay) {
              expected.push_back(kDayFullText);
              break;
            }
            ref.add(day, e);
          }
          ref.changed(before_paste);
        }
        const RefWeek before_update = ref.days;
        w.editor.UpdateEvent();
        const auto it =
            std::find_if(v.begin(), v.end(), [&](const RefEvent& e) { return e.time == opened_time; });
        ASSERT_NE(it, v.end());
        if (ref.has(day, t, int(it - v.begin()))) {
          expected.push_back(kTimeExistsText);
        } else {
          const RefEvent changed{t, pulse, it->title};
          v.erase(it);
          ref.add(day, changed);
        }
        ref.changed(before_update);
      }
    } else if (op == 5) {  // copy
      const GridSelection sel = selection(day);
      w.click(sel.top_row, day);
      w.editor.CopyEvents(sel);
      if (sel.bottom_row - sel.top_row + 1 > kCopyBufferSize) {
        expected = {kCopyLimitText};
      } else {
        auto& v = ref.day(day);
        ref.held.assign(v.begin() + std::min<int>(sel.top_row, v.size()),
                        v.begin() + std::min<int>(sel.bottom_row + 1, v.size()));
      }
    } else if (op == 6 || op == 7) {  // delete or cut
      const GridSelection sel = selection(day);
      w.click(sel.top_row, day);
      const bool cut = op == 7;
      cut ? w.editor.CutEvents(sel) : w.editor.DeleteEvents(sel);
      auto& v = ref.day(day);
      const auto first = v.begin() + std::min<int>(sel.top_row, v.size());
      const auto last = v.begin() + std::min<int>(sel.bottom_row + 1, v.size());
      if (cut && sel.bottom_row - sel.top_row + 1 > kCopyBufferSize) {
        expected = {kCopyLimitText};
      } else {
        if (cut) {
          ref.held.assign(first, last);
        }
        v.erase(first, last);
      }
    } else if (op == 8) {  // paste
      w.click(pick(0, 119), day);
      w.editor.PasteEvents();
      for (const RefEvent& e : ref.held) {
        if (ref.has(day, e.time)) {
          expected = {kTimeExistsText};
          break;
        }
        if (ref.day(day).size() == kEventsPerDay) {
          expected = {kDayFullText};
          break;
        }
        ref.add(day, e);
      }
    } else {  // a selection over two days
      const int other = day == kDays ? 1 : day + 1;
      GridSelection sel = selection(day);
      sel.left_day = std::min(day, other);
      sel.right_day = std::max(day, other);
      w.click(sel.top_row, day);
      switch (pick(0, 2)) {
        case 0:
          w.editor.CopyEvents(sel);
          expected = {kOneDayOnlyText};
          break;
        case 1:
          w.editor.DeleteEvents(sel);
          expected = {kOneDayOnlyText};
          break;
        default:
          w.editor.CutEvents(sel);
          expected = {kOneDayOnlyText, kOneDayOnlyText};
      }
    }
    if (op != 4 && op < 10) {
      ref.changed(before);
    }
    ASSERT_EQ(w.prompts.texts(), expected);

    for (int d = 1; d <= kDays; ++d) {
      const auto& v = ref.day(d);
      QStringList texts;
      for (const RefEvent& e : v) {
        texts << TimeText(e.time) + ", " + QString::number(e.pulse);
      }
      ASSERT_EQ(w.column(d), texts) << "day " << d;
      for (int s = 1; s <= kEventsPerDay; ++s) {
        const ScheduleEvent& e = w.data->project.slot(d, s);
        if (s <= int(v.size())) {
          ASSERT_EQ(e.title.text(), v[s - 1].title);
        } else {
          ASSERT_TRUE(e.isEmptyKind() && e.hour == kEmptyTime && e.minute == kEmptyTime) << d << "/" << s;
        }
      }
      for (int s = kEventsPerDay + 1; s <= kSlotsPerDay; ++s) {
        ASSERT_EQ(std::memcmp(&w.data->project.slot(d, s), &tail[d - 1][s - kEventsPerDay - 1],
                              sizeof(ScheduleEvent)),
                  0);
      }
    }
    if (w.data->state.project_changed) {
      ++changes;
      ASSERT_TRUE(w.fileEqualsRecord());
      w.data->state.project_changed = false;
    }
  }
  EXPECT_GT(changes, 500);
}

}  // namespace
}  // namespace zmr::testing
