// The editor's steps over several days (one event into Monday to Friday or every day, one
// event's title and pulse to the other days), the note on a bell at night, the line that
// says what to do next and the pulse that stays typed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <cstring>

#include "editor/editor_hint.h"
#include "editor/editor_texts.h"
#include "editor/night_bells.h"
#include "editor/several_days.h"
#include "editor_fixture.h"

namespace zmr::testing {
namespace {

void FillDay(ProjectSetup& p, int day) {
  for (int i = 0; i < kEventsPerDay; ++i) {
    AddPulse(p, day, i + 1, 6 + i / 60, i % 60, 2);
  }
}

bool SameRecord(const ProjectSetup& a, const ProjectSetup& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(SeveralDays, EachDayTakesTheEventOrIsNamedInOneMessage) {
  const struct {
    const char* what;
    std::function<void(ProjectSetup&)> week;
    std::vector<int> days;
    std::vector<int> got;  // the days that hold 10:00 afterwards
    QString message;
  } cases[] = {
      {"an empty week, Mon-Fri", {}, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, {}},
      {"an empty week, every day", {}, {1, 2, 3, 4, 5, 6, 7}, {1, 2, 3, 4, 5, 6, 7}, {}},
      {"Wed holds the time, Fri is full, Thu is full and holds it",
       [](ProjectSetup& p) {
         AddPulse(p, 3, 1, 10, 0, 9, QStringLiteral("Assembly"));
         FillDay(p, 5);
         FillDay(p, 4);
         AddPulse(p, 4, 120, 10, 0, 2);
       },
       {1, 2, 3, 4, 5},
       {1, 2, 3, 4},
       "Not added to Wed, Thu: This Scheduled time already exists!\n"
       "Not added to Fri: This day has no available timers left!"},
      {"no day takes it",
       [](ProjectSetup& p) {
         for (int d = 1; d <= kDays; ++d) {
           AddPulse(p, d, 1, 10, 0, 3);
         }
       },
       {1, 2, 3, 4, 5, 6, 7},
       {1, 2, 3, 4, 5, 6, 7},
       "Not added to Mon, Tue, Wed, Thu, Fri, Sat, Sun: This Scheduled time already exists!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EditorWorld w(c.week);
    const auto start = std::make_unique<ProjectSetup>(w.data->project);
    w.type(QStringLiteral("10:00"), QStringLiteral("4"), QStringLiteral("Break"));
    w.editor.InsertEventDays(c.days);
    if (c.message.isEmpty()) {
      EXPECT_TRUE(w.prompts.boxes.empty());
    } else {
      ASSERT_EQ(w.prompts.boxes.size(), 1u);
      EXPECT_EQ(w.prompts.boxes[0].text, c.message);
      EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Error);
      EXPECT_TRUE(w.prompts.boxes[0].beeped);
    }
    std::vector<int> got;
    for (int d = 1; d <= kDays; ++d) {
      if (w.column(d).filter(QStringLiteral("10:00,")).size() == 1) {
        got.push_back(d);
      }
    }
    EXPECT_EQ(got, c.got);
    EXPECT_TRUE(w.fileEqualsRecord());
    const bool changed = !SameRecord(*start, w.data->project);
    EXPECT_EQ(w.data->state.project_changed, changed);
    // One step, whatever the number of days: one undo gives the week back.
    EXPECT_EQ(w.editor.UndoCount(), changed ? 1u : 0u);
    w.editor.Undo();
    EXPECT_TRUE(SameRecord(*start, w.data->project));
  }
}

TEST(SeveralDays, TheWeekEndsAsSevenPressesOfTheDayButtonsLeaveIt) {
  // Days stored out of order and with gaps that still hold the bytes of deleted events, as
  // only a loaded file has them: each press sorts every day, so where the event lands, and
  // where each gap's bytes end up, depends on the presses before it.
  const auto week = [](ProjectSetup& p) {
    for (int d = 1; d <= kDays; ++d) {
      for (int gap : {1, 3, 6}) {
        AddPulse(p, d, gap, 6, gap, 2, QStringLiteral("Deleted %1").arg(gap));
        EmptySlot(p.slot(d, gap));
      }
      AddPulse(p, d, 2, 12, d, 5, QStringLiteral("Noon"));
      AddPulse(p, d, 4, 7, 30, 5);
      AddPulse(p, d, 5, 9, 10 + d, 5);
    }
    AddPulse(p, 6, 1, 10, 0, 8);
  };
  EditorWorld pressed(week);
  EditorWorld at_once(week);
  for (EditorWorld* w : {&pressed, &at_once}) {
    w->type(QStringLiteral("10:00"), QStringLiteral("4"), QStringLiteral("Break"));
  }
  for (int d = 1; d <= kDays; ++d) {
    pressed.editor.InsertEvent(d);
  }
  at_once.editor.InsertEventDays(kEveryDay);
  EXPECT_TRUE(SameRecord(pressed.data->project, at_once.data->project));
  EXPECT_EQ(pressed.prompts.texts(), std::vector<QString>{kTimeExistsText});
  EXPECT_EQ(at_once.prompts.texts(), std::vector<QString>{"Not added to Sat: " + kTimeExistsText});
  EXPECT_EQ(pressed.editor.UndoCount(), 6u);
  EXPECT_EQ(at_once.editor.UndoCount(), 1u);
}

TEST(SeveralDays, ABadTimeOrPulseIsRefusedOnceAndNothingChanges) {
  const struct {
    const char* time;
    const char* pulse;
    const QString& text;
  } cases[] = {{"  :  ", "5", kInvalidTimeText}, {"10:00", "60", kInsertPulseText}};
  for (const auto& c : cases) {
    EditorWorld w;
    w.type(QString::fromLatin1(c.time), QString::fromLatin1(c.pulse));
    w.editor.InsertEventDays(kMondayToFriday);
    EXPECT_EQ(w.prompts.texts(), std::vector<QString>{c.text});
    EXPECT_FALSE(w.data->state.project_changed);
    EXPECT_FALSE(w.editor.CanUndo());
  }
  // A read-only project takes nothing and says nothing.
  EditorWorld w;
  chmod(QFile::encodeName(w.data->state.project_path).constData(), 0444);
  w.editor.Reset();
  w.type(QStringLiteral("10:00"), QStringLiteral("5"));
  w.editor.InsertEventDays(kEveryDay);
  EXPECT_TRUE(w.prompts.boxes.empty());
  EXPECT_TRUE(w.column(1).isEmpty());
}

// Monday to Friday with a break at 10:15 whose title was typed wrong on four days; a
// Saturday event at 10:15 that switches the output; nothing on Sunday.
void BreakWeek(ProjectSetup& p) {
  for (int d = 1; d <= 5; ++d) {
    AddPulse(p, d, 1, 8, 0, 5, QStringLiteral("First lesson"));
    AddPulse(p, d, 2, 10, 15, 3, d == 1 ? QStringLiteral("Short break") : QStringLiteral("Short brake"));
  }
  p.slot(6, 1) = MakeEvent(EventKind::On, QStringLiteral("Heating"), 10, 15, 0);
}

TEST(SameOnAllDays, TheOpenedEventsTitleAndPulseGoToItsTimeOnTheOtherDaysAsOneStep) {
  EditorWorld w(BreakWeek);
  EXPECT_FALSE(w.editor.CanSameOnAllDays());
  w.click(1, 1);
  w.editor.ShowEventDetails();
  EXPECT_TRUE(w.editor.CanSameOnAllDays());
  EXPECT_TRUE(w.view.same_on_all_days_enabled);
  w.view.fields.pulse = QStringLiteral("7");
  w.editor.UpdateEvent();
  const auto after_edit = std::make_unique<ProjectSetup>(w.data->project);
  w.editor.SameOnAllDays();
  for (int d = 1; d <= 5; ++d) {
    EXPECT_EQ(w.data->project.slot(d, 2).title.text(), "Short break") << d;
    EXPECT_EQ(w.data->project.slot(d, 2).pulse_seconds, 7) << d;
    EXPECT_EQ(w.cell(d, 1), "10:15, 7") << d;
  }
  EXPECT_EQ(w.data->project.slot(6, 1).kind, static_cast<std::uint8_t>(EventKind::On));  // never written
  EXPECT_EQ(w.data->project.slot(6, 1).title.text(), "Heating");
  EXPECT_EQ(w.view.notes, std::vector<QString>{"Title and pulse of 10:15 copied to Tue, Wed, Thu, Fri."});
  EXPECT_TRUE(w.fileEqualsRecord());
  EXPECT_TRUE(w.prompts.boxes.empty());
  // The edit goes on: the event is still the one written back.
  EXPECT_TRUE(w.editor.state().event_edit_mode);
  w.view.fields.title = QStringLiteral("Long break");
  w.editor.UpdateEvent();
  EXPECT_EQ(w.data->project.slot(1, 2).title.text(), "Long break");
  // Undo takes the title back, then the four days back in one step, the write-back stays.
  w.editor.Undo();
  w.editor.Undo();
  EXPECT_TRUE(SameRecord(*after_edit, w.data->project));
}

TEST(SameOnAllDays, NothingToChangeSaysSoAndSavesNothing) {
  EditorWorld w(BreakWeek);
  w.click(0, 1);  // 08:00 on Monday: every weekday has it the same already
  w.editor.ShowEventDetails();
  w.editor.SameOnAllDays();
  w.click(0, 7);
  w.type(QStringLiteral("11:00"), QStringLiteral("5"));
  w.editor.InsertEvent(7);
  w.data->state.project_changed = false;
  w.click(0, 7);
  w.editor.ShowEventDetails();
  w.editor.SameOnAllDays();  // no other day rings at 11:00
  EXPECT_EQ(w.view.notes, (std::vector<QString>{"Title and pulse of 08:00 copied to Tue, Wed, Thu, Fri.",
                                                "No other day has an event at 11:00."}));
  EXPECT_FALSE(w.data->state.project_changed);
  EXPECT_EQ(w.editor.UndoCount(), 1u);  // the insert only

  // An On event is shown, not changed: the step is not offered.
  w.click(0, 6);
  w.editor.ShowEventDetails();
  EXPECT_FALSE(w.editor.CanSameOnAllDays());
  EXPECT_FALSE(w.view.same_on_all_days_enabled);
}

TEST(NightBells, ANewEventAtNightInAWeekThatRingsInTheDayGetsANote) {
  const auto day_week = [](ProjectSetup& p) { AddPulse(p, 1, 1, 8, 0, 5); };
  const auto night_week = [](ProjectSetup& p) {
    AddPulse(p, 1, 1, 8, 0, 5);
    AddPulse(p, 4, 1, 23, 0, 5);
  };
  const struct {
    const char* time;
    std::function<void(ProjectSetup&)> week;
    std::vector<QString> notes;
  } cases[] = {
      {"03:30", day_week, {"03:30 is at night"}},
      {"22:00", day_week, {"22:00 is at night"}},
      {"05:59", day_week, {"05:59 is at night"}},
      {"00:00", {}, {"00:00 is at night"}},  // an empty week rings in the day too
      {"21:59", day_week, {}},
      {"06:00", day_week, {}},
      {"03:30", night_week, {}},  // the week rings at night already: meant
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.time);
    for (const bool several : {false, true}) {
      EditorWorld w(c.week);
      w.type(QString::fromLatin1(c.time), QStringLiteral("5"));
      if (several) {
        w.editor.InsertEventDays(kMondayToFriday);
      } else {
        w.editor.InsertEvent(2);
      }
      EXPECT_EQ(w.view.notes, c.notes);
      EXPECT_EQ(w.column(2).filter(QString::fromLatin1(c.time)).size(), 1);  // the event stays
      EXPECT_TRUE(w.prompts.boxes.empty());
    }
  }
}

TEST(NightBells, AWriteBackThatMovesAnEventIntoTheNightGetsTheNoteToo) {
  EditorWorld w([](ProjectSetup& p) {
    AddPulse(p, 1, 1, 15, 30, 5, QStringLiteral("Staff meeting"));
    AddPulse(p, 2, 1, 9, 0, 5);
  });
  w.click(0, 1);
  w.editor.ShowEventDetails();
  w.view.fields.time = QStringLiteral("03:30");
  w.editor.UpdateEvent();  // the only other event rings in the day; its own old time does not count
  EXPECT_EQ(w.view.notes, std::vector<QString>{"03:30 is at night"});
  w.view.fields.title = QStringLiteral("Night shift");
  w.editor.UpdateEvent();  // the time did not change: nothing more to say
  EXPECT_EQ(w.view.notes.size(), 1u);
  EXPECT_EQ(w.column(1), QStringList{"03:30, 5"});
  // The pure rule at its edges.
  for (const auto& [hour, night] : std::vector<std::pair<int, bool>>{
           {21, false}, {22, true}, {0, true}, {5, true}, {6, false}, {12, false}, {23, true}}) {
    EXPECT_EQ(IsNightHour(hour), night) << hour;
  }
}

TEST(Hint, TheWindowSaysWhatToDoNextAndLeavingAnEventKeepsThePulseTyped) {
  EditorWorld w([](ProjectSetup& p) {
    AddPulse(p, 1, 1, 9, 45, 3, QStringLiteral("Lesson 2"));
    p.slot(2, 1) = MakeEvent(EventKind::Off, {}, 18, 0, 0);
  });
  EXPECT_EQ(w.view.hint,
            "New event: type its time and pulse, then press its day, Mon\u2013Fri or Every day.");
  w.type(QStringLiteral("  :  "), QStringLiteral("5"), QStringLiteral("Lunch"));
  w.click(0, 1);
  w.editor.ShowEventDetails();
  EXPECT_EQ(w.view.fields.pulse, "3");
  EXPECT_EQ(
      w.view.hint,
      "Changing 09:45 on Mon: leaving a field or pressing Enter saves it. To enter a new event, click an "
      "empty cell.");
  w.view.fields.time = QStringLiteral("10:05");
  w.editor.UpdateEvent();
  EXPECT_EQ(w.view.hint, "10:05 on Mon saved. To enter a new event, click an empty cell.");
  // A click on the grid ends the edit; the fields empty for a new event, with its pulse.
  w.click(3, 1);
  w.editor.ClearEntry();
  EXPECT_EQ(w.view.fields.pulse, "5");
  EXPECT_EQ(w.view.fields.title, "");
  EXPECT_EQ(w.view.fields.time, "  :  ");
  EXPECT_EQ(w.view.hint, kEnteringHint);
  // Cleared again without an edit, the pulse typed last stays.
  w.view.fields.pulse = QStringLiteral("9");
  w.editor.ClearEntry();
  EXPECT_EQ(w.view.fields.pulse, "9");
  // A delete while an event is open gives the entry pulse back too.
  w.click(0, 1);
  w.editor.ShowEventDetails();
  w.editor.DeleteEvents(EditorWorld::rows(1, 0, 0));
  EXPECT_EQ(w.view.fields.pulse, "9");
  EXPECT_EQ(w.view.hint, kEnteringHint);

  w.click(0, 2);
  w.editor.ShowEventDetails();
  EXPECT_EQ(w.view.hint, "This event is shown only; the editor does not change it. Click a cell to go on.");
  chmod(QFile::encodeName(w.data->state.project_path).constData(), 0444);
  w.editor.Reset();
  EXPECT_EQ(w.view.hint, "Read only: double-click an event to see its details.");
}

}  // namespace
}  // namespace zmr::testing
