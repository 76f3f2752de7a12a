#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include <QFile>

#include "base/errors.h"
#include "editor/editor_texts.h"
#include "editor/typed_time.h"
#include "editor_fixture.h"

namespace zmr::testing {
namespace {

const QString kEmptyTimeField = QStringLiteral("  :  ");

void Week(ProjectSetup& p, int day, std::initializer_list<std::pair<int, int>> times, int pulse = 5) {
  int slot = 0;
  for (auto [h, m] : times) {
    ++slot;
    AddPulse(p, day, slot, h, m, pulse, QStringLiteral("Bell %1").arg(slot));
  }
}

TEST(EntryReading, WholeNumbersAllowLeadingBlanksAndASignOnly) {
  const struct {
    const char* text;
    std::optional<int> value;
  } cases[] = {{"7", 7},
               {" 7", 7},
               {"  12", 12},
               {"+5", 5},
               {"-3", -3},
               {"05", 5},
               {"", std::nullopt},
               {"  ", std::nullopt},
               {"7 ", std::nullopt},
               {"abc", std::nullopt},
               {"1a", std::nullopt},
               {"- 5", std::nullopt},
               {"+", std::nullopt},
               {"99999999999999", std::nullopt}};
  for (const auto& c : cases) {
    EXPECT_EQ(ReadWholeNumber(QString::fromLatin1(c.text)), c.value) << '"' << c.text << '"';
  }
}

TEST(EntryReading, TimeComesBeforePulseAndBothKeepTheirRanges) {
  const struct {
    const char* time;
    const char* pulse;
    EntryFault fault;
  } cases[] = {{"00:00", "1", EntryFault::None},    {"23:59", "59", EntryFault::None},
               {" 7:05", "3", EntryFault::None},    {"24:00", "5", EntryFault::Time},
               {"12:60", "5", EntryFault::Time},    {"  :  ", "5", EntryFault::Time},
               {" 7: 5", "5", EntryFault::None},  // the masked field never leaves this blank
               {"24:00", "abc", EntryFault::Time},  {"08:00", "0", EntryFault::Pulse},
               {"08:00", "60", EntryFault::Pulse},  {"08:00", "", EntryFault::Pulse},
               {"08:00", "abc", EntryFault::Pulse}, {"08:00", "-1", EntryFault::Pulse}};
  for (const auto& c : cases) {
    EntryValues v;
    EXPECT_EQ(ReadEntry({{}, QString::fromLatin1(c.pulse), QString::fromLatin1(c.time)}, v), c.fault)
        << c.time << " / " << c.pulse;
  }
  EntryValues v;
  ASSERT_EQ(ReadEntry({{}, QStringLiteral("3"), QStringLiteral(" 7:05")}, v), EntryFault::None);
  EXPECT_EQ(v.hour, 7);
  EXPECT_EQ(v.minute, 5);
  EXPECT_EQ(v.pulse_seconds, 3);
}

TEST(DayRules, TimeSearchFreeSlotAndTheInsertOrder) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  AddPulse(*project, 2, 1, 7, 30, 5);
  AddPulse(*project, 2, 2, 8, 0, 5);
  project->slot(2, 3).hour = 9;  // a stray time in an empty slot, as a loaded file may hold
  project->slot(2, 3).minute = 0;
  const ConstDaySlots tuesday = ScheduleSlots(project->day(2));
  EXPECT_EQ(FindTimeInDay(tuesday, 8, 0), 2);
  EXPECT_EQ(FindTimeInDay(tuesday, 8, 0, 2), 0);  // a write-back leaves its own slot out
  EXPECT_EQ(FindTimeInDay(tuesday, 8, 1), 0);
  EXPECT_EQ(FindTimeInDay(tuesday, 9, 0), 0);  // the kind decides, not the stray time
  EXPECT_EQ(FirstFreeSlot(tuesday), 3);

  for (int slot = 3; slot <= kEventsPerDay; ++slot) {
    AddPulse(*project, 2, slot, 9 + (slot - 3) / 60, (slot - 3) % 60, 5);
  }
  EXPECT_EQ(FirstFreeSlot(tuesday), 0);
  ScheduleEvent event = MakePulseEvent({}, 7, 30, 5);
  // On a full day a time it holds is still "exists": that check comes first.
  EXPECT_EQ(AddEventToDay(ScheduleSlots(project->day(2)), event), kTimeExistsText);
  event.hour = 22;
  EXPECT_EQ(AddEventToDay(ScheduleSlots(project->day(2)), event), kDayFullText);
  EXPECT_EQ(AddEventToDay(ScheduleSlots(project->day(3)), event), std::nullopt);
  EXPECT_EQ(project->slot(3, 1).hour, 22);
}

TEST(Grid, NumbersTheRowsAndPacksEachDayInSlotOrder) {
  EditorWorld w([](ProjectSetup& p) {
    AddPulse(p, 2, 1, 10, 0, 3);
    AddPulse(p, 2, 3, 8, 30, 45);  // a gap and out of time order, as a loaded file may be
    p.slot(2, 4).kind = static_cast<std::uint8_t>(EventKind::On);
    p.slot(2, 4).hour = 6;
    p.slot(2, 4).minute = 0;
  });
  const GridTexts& g = w.editor.grid();
  EXPECT_EQ(g.cell(0, 0), "1");
  EXPECT_EQ(g.cell(0, 119), "120");
  EXPECT_EQ(w.column(2), (QStringList{"10:00, 3", "08:30, 45", "06:00, On"}));
  EXPECT_EQ(g.slotOfRow(2, 1), 3);
  EXPECT_EQ(g.slotOfRow(2, 2), 4);
  EXPECT_EQ(g.slotOfRow(2, 3), 0);
  for (int day : {1, 3, 4, 5, 6, 7}) {
    EXPECT_TRUE(w.column(day).isEmpty());
  }
}

TEST(Grid, SlotAfterSortFollowsTheExchangesOfSortDay) {
  ProjectSetup p{};
  ResetProject(p);
  const int times[][2] = {{10, 0}, {8, 30}, {12, 0}, {9, 15}, {8, 30}, {7, 0}};
  for (int i = 0; i < 6; ++i) {
    AddPulse(p, 1, i + 1, times[i][0], times[i][1], i + 1);  // the pulse tells the events apart
  }
  for (int slot = 1; slot <= 6; ++slot) {
    ProjectSetup sorted = p;
    const int pulse = p.slot(1, slot).pulse_seconds;
    const int after = SlotAfterSort(sorted.day(1), slot);
    SortDay(sorted, 1);
    EXPECT_EQ(sorted.slot(1, after).pulse_seconds, pulse) << "slot " << slot;
  }
}

TEST(Insert, ChecksInOrderAndRefusesWithTheirMessages) {
  EditorWorld w([](ProjectSetup& p) {
    for (int i = 0; i < kEventsPerDay; ++i) {
      AddPulse(p, 1, i + 1, i / 60, i % 60, 5);
    }
    AddPulse(p, 2, 1, 9, 0, 5);
  });
  const auto before = ReadBytes(w.data->state.project_path);
  const struct {
    const char* time;
    const char* pulse;
    int day;
    const QString& text;
  } cases[] = {
      {"  :  ", "5", 2, kInvalidTimeText},   {"24:00", "5", 2, kInvalidTimeText},
      {"10:60", "abc", 2, kInvalidTimeText}, {"10:00", "0", 2, kInsertPulseText},
      {"10:00", "60", 2, kInsertPulseText},  {"10:00", "", 2, kInsertPulseText},
      {"09:00", "7", 2, kTimeExistsText},    {"00:05", "5", 1, kTimeExistsText},  // before the full day
      {"23:00", "5", 1, kDayFullText},
  };
  for (const auto& c : cases) {
    w.prompts.boxes.clear();
    w.type(QString::fromLatin1(c.time), QString::fromLatin1(c.pulse));
    w.editor.InsertEvent(c.day);
    ASSERT_EQ(w.prompts.boxes.size(), 1u) << c.time;
    EXPECT_EQ(w.prompts.boxes[0].text, c.text) << c.time << " / " << c.pulse;
    EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Error);
    EXPECT_TRUE(w.prompts.boxes[0].beeped);
  }
  EXPECT_FALSE(w.data->state.project_changed);
  EXPECT_EQ(ReadBytes(w.data->state.project_path), before);
  EXPECT_EQ(w.column(2), QStringList{"09:00, 5"});
}

TEST(Insert, PlacesTheEventInTimeOrderSavesAndKeepsTheFields) {
  EditorWorld w([](ProjectSetup& p) {
    Week(p, 1, {{8, 0}, {10, 0}});
    AddPulse(p, 3, 1, 12, 0, 5);
    AddPulse(p, 3, 2, 7, 0, 5);  // unsorted: every insert sorts all seven days
  });
  w.type(QStringLiteral(" 9:05"), QStringLiteral("3"), QString(150, 'x'));
  w.editor.InsertEvent(1);
  EXPECT_TRUE(w.prompts.boxes.empty());
  EXPECT_EQ(w.column(1), (QStringList{"08:00, 5", "09:05, 3", "10:00, 5"}));
  EXPECT_EQ(w.data->project.slot(1, 2).title.text(), QString(100, 'x'));
  EXPECT_EQ(w.column(3), (QStringList{"07:00, 5", "12:00, 5"}));
  EXPECT_TRUE(w.data->state.project_changed);
  EXPECT_TRUE(w.fileEqualsRecord());
  // The fields still hold the event: the next day takes it too, at the same time.
  EXPECT_EQ(w.view.fields.time, " 9:05");
  w.editor.InsertEvent(2);
  EXPECT_EQ(w.column(2), QStringList{"09:05, 3"});
  w.type(QStringLiteral("00:00"), QStringLiteral("1"));
  w.editor.InsertEvent(2);
  w.type(QStringLiteral("23:59"), QStringLiteral("59"));
  w.editor.InsertEvent(2);
  EXPECT_EQ(w.column(2), (QStringList{"00:00, 1", "09:05, 3", "23:59, 59"}));
  EXPECT_TRUE(w.fileEqualsRecord());
}

TEST(Insert, TheHundredAndTwentiethFitsTheNextDoesNot) {
  EditorWorld w([](ProjectSetup& p) {
    for (int i = 0; i < kEventsPerDay - 1; ++i) {
      AddPulse(p, 5, i + 1, i / 60 + 6, i % 60, 2);
    }
  });
  w.type(QStringLiteral("07:59"), QStringLiteral("2"));
  w.editor.InsertEvent(5);
  EXPECT_TRUE(w.prompts.boxes.empty());
  EXPECT_EQ(w.cell(5, 119), "07:59, 2");
  w.type(QStringLiteral("05:00"), QStringLiteral("2"));
  w.editor.InsertEvent(5);
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{kDayFullText});
  EXPECT_EQ(w.cell(5, 0), "06:00, 2");
  EXPECT_TRUE(w.fileEqualsRecord());
}

TEST(EditEvent, WriteBackKeepsItsRowOrMovesBelowTheNextEventAndFollowsIt) {
  EditorWorld w([](ProjectSetup& p) { Week(p, 1, {{8, 0}, {9, 0}, {10, 0}}); });
  w.click(1, 1);
  w.editor.ShowEventDetails();
  EXPECT_EQ(w.view.fields.time, "09:00");
  EXPECT_EQ(w.view.fields.pulse, "5");
  EXPECT_EQ(w.view.fields.title, "Bell 2");
  EXPECT_TRUE(w.editor.state().event_edit_mode);
  EXPECT_FALSE(w.view.day_buttons_enabled);

  // Leaving a field unchanged writes the event again: saved, changed, same row.
  w.editor.UpdateEvent();
  EXPECT_TRUE(w.data->state.project_changed);
  EXPECT_TRUE(w.fileEqualsRecord());
  w.view.fields.title = QStringLiteral("Break");
  w.view.fields.pulse = QStringLiteral("12");
  w.editor.UpdateEvent();  // its own time is no duplicate
  EXPECT_TRUE(w.prompts.boxes.empty());
  EXPECT_EQ(w.column(1), (QStringList{"08:00, 5", "09:00, 12", "10:00, 5"}));

  // Later than the next event: it moves below it, and the next write-back follows it.
  w.view.fields.time = QStringLiteral("11:30");
  w.editor.UpdateEvent();
  EXPECT_EQ(w.column(1), (QStringList{"08:00, 5", "10:00, 5", "11:30, 12"}));
  w.view.fields.pulse = QStringLiteral("20");
  w.editor.UpdateEvent();
  EXPECT_EQ(w.column(1), (QStringList{"08:00, 5", "10:00, 5", "11:30, 20"}));
  EXPECT_EQ(w.data->project.slot(1, 2).title.text(), "Bell 3");
  EXPECT_TRUE(w.fileEqualsRecord());

  // Its refusals, in order, with the write-back's own pulse wording.
  const std::pair<const char*, const char*> bad[] = {{"25:00", "x"}, {"11:30", "0"}, {"08:00", "5"}};
  for (auto [time, pulse] : bad) {
    w.type(QString::fromLatin1(time), QString::fromLatin1(pulse));
    w.editor.UpdateEvent();
  }
  EXPECT_EQ(w.prompts.texts(), (std::vector<QString>{kInvalidTimeText, kUpdatePulseText, kTimeExistsText}));
  EXPECT_EQ(w.column(1), (QStringList{"08:00, 5", "10:00, 5", "11:30, 20"}));

  // A click ends the edit: nothing is written back any more.
  w.click(0, 1);
  w.type(QStringLiteral("07:00"), QStringLiteral("5"));
  w.editor.UpdateEvent();
  EXPECT_EQ(w.column(1), (QStringList{"08:00, 5", "10:00, 5", "11:30, 20"}));
}

TEST(EditEvent, OnAndOffEventsShowTheirOwnTimeAndAreNeverWrittenBack) {
  EditorWorld w([](ProjectSetup& p) {
    Week(p, 4, {{6, 0}, {7, 0}});
    p.slot(4, 1).kind = static_cast<std::uint8_t>(EventKind::Off);
    p.slot(4, 2).kind = static_cast<std::uint8_t>(EventKind::On);
  });
  for (int row : {0, 1}) {
    w.click(row, 4);
    w.view.fields = {QStringLiteral("kept"), QStringLiteral("9"), kEmptyTimeField};
    w.editor.ShowEventDetails();
    EXPECT_EQ(w.view.fields.time, row == 0 ? "06:00" : "07:00");
    EXPECT_EQ(w.view.fields.title, "kept");  // only the time is loaded
    EXPECT_TRUE(w.editor.state().event_edit_mode);
    w.view.fields.time = QStringLiteral("08:00");
    w.editor.UpdateEvent();
  }
  EXPECT_EQ(w.column(4), (QStringList{"06:00, Off", "07:00, On"}));
  EXPECT_FALSE(w.data->state.project_changed);
}

TEST(EditEvent, OpeningAnEmptyCellClearsTheFieldsOnly) {
  EditorWorld w;
  w.type(QStringLiteral("08:00"), QStringLiteral("5"), QStringLiteral("x"));
  w.click(3, 2);
  w.editor.ShowEventDetails();
  EXPECT_EQ(w.view.fields.time, kEmptyTimeField);
  EXPECT_TRUE(w.view.fields.title.isEmpty());
  EXPECT_FALSE(w.editor.state().event_edit_mode);
}

TEST(Clipboard, CopyOfRowsThreeToEightWithFiveEventsPastesThree) {
  EditorWorld w([](ProjectSetup& p) { Week(p, 1, {{8, 0}, {9, 0}, {10, 0}, {11, 0}, {12, 0}}); });
  w.click(2, 1);
  w.editor.CopyEvents(EditorWorld::rows(1, 2, 7));
  EXPECT_EQ(HeldCount(w.editor.state().copy_buffer), 3);
  EXPECT_TRUE(w.editor.CanPaste());
  EXPECT_FALSE(w.data->state.project_changed);
  w.click(4, 2);
  w.editor.PasteEvents();
  EXPECT_EQ(w.column(2), (QStringList{"10:00, 5", "11:00, 5", "12:00, 5"}));
  EXPECT_EQ(w.data->project.slot(2, 1).title.text(), "Bell 3");
  EXPECT_TRUE(w.fileEqualsRecord());
  // The buffer stays: the same events paste into further days.
  w.click(0, 7);
  w.editor.PasteEvents();
  EXPECT_EQ(w.column(7).size(), 3);
}

TEST(Clipboard, PasteStopsAtADuplicateAndKeepsWhatItPlaced) {
  EditorWorld w([](ProjectSetup& p) {
    Week(p, 1, {{8, 0}, {9, 0}});
    AddPulse(p, 2, 1, 9, 0, 7);
  });
  w.click(0, 1);
  w.editor.CopyEvents(EditorWorld::rows(1, 0, 1));
  // Into the day it came from: refused at the first, nothing saved.
  w.editor.PasteEvents();
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{kTimeExistsText});
  EXPECT_FALSE(w.data->state.project_changed);
  w.prompts.boxes.clear();
  w.click(5, 2);
  w.editor.PasteEvents();
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{kTimeExistsText});
  EXPECT_EQ(w.column(2), (QStringList{"08:00, 5", "09:00, 7"}));
  EXPECT_TRUE(w.data->state.project_changed);
  EXPECT_TRUE(w.fileEqualsRecord());
}

TEST(Clipboard, PasteIntoAFullDayStopsWithTheFullDayMessageAndKeepsWhatFit) {
  EditorWorld w([](ProjectSetup& p) {
    Week(p, 1, {{22, 0}, {22, 30}, {23, 0}});
    for (int i = 0; i < kEventsPerDay - 2; ++i) {
      AddPulse(p, 2, i + 1, i / 60, i % 60, 5);
    }
  });
  w.click(0, 1);
  w.editor.CopyEvents(EditorWorld::rows(1, 0, 2));
  w.click(0, 2);
  w.editor.PasteEvents();
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{kDayFullText});
  EXPECT_EQ(w.cell(2, 118), "22:00, 5");
  EXPECT_EQ(w.cell(2, 119), "22:30, 5");
  EXPECT_TRUE(w.fileEqualsRecord());
  // Full already: nothing placed, nothing saved.
  w.data->state.project_changed = false;
  w.prompts.boxes.clear();
  w.editor.PasteEvents();
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{kTimeExistsText});
  w.prompts.boxes.clear();
  w.click(0, 1);
  w.editor.CopyEvents(EditorWorld::rows(1, 2, 2));
  w.click(0, 2);
  w.editor.PasteEvents();
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{kDayFullText});
  EXPECT_FALSE(w.data->state.project_changed);
}

TEST(Clipboard, CutThenPasteMovesTheEventsToAnotherDay) {
  EditorWorld w([](ProjectSetup& p) { Week(p, 1, {{8, 0}, {9, 0}, {10, 0}, {11, 0}}); });
  w.click(1, 1);
  w.editor.CutEvents(EditorWorld::rows(1, 1, 2));
  EXPECT_EQ(w.column(1), (QStringList{"08:00, 5", "11:00, 5"}));
  EXPECT_TRUE(w.fileEqualsRecord());
  w.click(0, 6);
  w.editor.PasteEvents();
  EXPECT_EQ(w.column(6), (QStringList{"09:00, 5", "10:00, 5"}));
  // Back into the day they left: their slots are free again.
  w.click(0, 1);
  w.editor.PasteEvents();
  EXPECT_EQ(w.column(1).size(), 4);
  EXPECT_TRUE(w.prompts.boxes.empty());
  EXPECT_TRUE(w.fileEqualsRecord());
}

TEST(Clipboard, TwoColumnsAreRefusedOnceForCopyAndDeleteTwiceForCut) {
  EditorWorld w([](ProjectSetup& p) {
    Week(p, 1, {{8, 0}});
    Week(p, 2, {{8, 0}});
  });
  const GridSelection two{1, 2, 0, 0};
  w.click(0, 1);
  w.editor.CopyEvents(two);
  EXPECT_EQ(w.prompts.boxes.size(), 1u);
  w.editor.DeleteEvents(two);
  EXPECT_EQ(w.prompts.boxes.size(), 2u);
  w.editor.CutEvents(two);
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>(4, kOneDayOnlyText));
  EXPECT_FALSE(w.editor.CanPaste());
  EXPECT_EQ(w.column(1).size(), 1);
  EXPECT_FALSE(w.data->state.project_changed);
}

TEST(Clipboard, MoreRowsThanTheBufferHoldsAreRefusedAndNothingIsDeleted) {
  EditorWorld w([](ProjectSetup& p) {
    for (int i = 0; i < 70; ++i) {
      AddPulse(p, 3, i + 1, 6 + i / 60, i % 60, 5);
    }
  });
  w.click(0, 3);
  w.editor.CopyEvents(EditorWorld::rows(3, 0, 61));  // 62 rows fit
  EXPECT_EQ(HeldCount(w.editor.state().copy_buffer), 62);
  w.editor.CutEvents(EditorWorld::rows(3, 0, 62));
  w.editor.CopyEvents(EditorWorld::rows(3, 5, 119));
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>(2, kCopyLimitText));
  EXPECT_EQ(w.column(3).size(), 70);
  EXPECT_EQ(HeldCount(w.editor.state().copy_buffer), 62);  // the refused copies replaced nothing
  EXPECT_FALSE(w.data->state.project_changed);
  // A delete needs no buffer: the whole column goes.
  w.editor.DeleteEvents(EditorWorld::rows(3, 0, 119));
  EXPECT_TRUE(w.column(3).isEmpty());
}

TEST(Clipboard, DeleteBelowTheLastEventAndTheEditItEnds) {
  EditorWorld w([](ProjectSetup& p) { Week(p, 1, {{8, 0}, {9, 0}, {10, 0}}); });
  w.click(2, 1);
  w.editor.ShowEventDetails();
  ASSERT_FALSE(w.view.day_buttons_enabled);
  w.editor.DeleteEvents(EditorWorld::rows(1, 2, 9));
  EXPECT_EQ(w.column(1), (QStringList{"08:00, 5", "09:00, 5"}));
  EXPECT_EQ(w.view.fields.time, kEmptyTimeField);
  EXPECT_FALSE(w.editor.state().event_edit_mode);
  EXPECT_TRUE(w.view.day_buttons_enabled);
  const ScheduleEvent& gone = w.data->project.slot(1, 3);
  EXPECT_EQ(gone.hour, kEmptyTime);
  EXPECT_EQ(gone.minute, kEmptyTime);
  EXPECT_EQ(gone.pulse_seconds, 0);
  EXPECT_TRUE(gone.title.empty());
  EXPECT_TRUE(w.fileEqualsRecord());
}

TEST(Clipboard, AWriteBackAfterAPasteStillGoesToTheOpenedEvent) {
  EditorWorld w([](ProjectSetup& p) {
    Week(p, 1, {{7, 0}});
    Week(p, 2, {{9, 0}, {10, 0}});
  });
  w.click(0, 1);
  w.editor.CopyEvents(EditorWorld::rows(1, 0, 0));
  w.click(0, 2);
  w.editor.ShowEventDetails();  // 09:00, row 0
  w.editor.PasteEvents();       // 07:00 takes row 0, 09:00 moves to row 1
  w.view.fields.pulse = QStringLiteral("33");
  w.editor.UpdateEvent();
  EXPECT_EQ(w.column(2), (QStringList{"07:00, 5", "09:00, 33", "10:00, 5"}));
}

TEST(Unsorted, RowsAddressTheSlotsTheyShowUntilTheDayIsSorted) {
  EditorWorld w([](ProjectSetup& p) {
    AddPulse(p, 1, 2, 10, 0, 1);  // slot 1 empty
    AddPulse(p, 1, 3, 8, 0, 2);
    AddPulse(p, 1, 5, 9, 0, 3);
  });
  EXPECT_EQ(w.column(1), (QStringList{"10:00, 1", "08:00, 2", "09:00, 3"}));
  EXPECT_FALSE(w.data->state.project_changed);  // showing changes nothing
  w.click(1, 1);
  w.editor.ShowEventDetails();
  EXPECT_EQ(w.view.fields.pulse, "2");
  w.view.fields.pulse = QStringLiteral("4");
  w.editor.UpdateEvent();
  EXPECT_EQ(w.column(1), (QStringList{"08:00, 4", "09:00, 3", "10:00, 1"}));
}

TEST(Unsorted, CopyAndDeleteTakeTheRowsShown) {
  EditorWorld w([](ProjectSetup& p) {
    AddPulse(p, 2, 3, 12, 0, 1);
    AddPulse(p, 2, 7, 11, 0, 2);
  });
  w.click(1, 2);
  w.editor.CopyEvents(EditorWorld::rows(2, 1, 1));
  EXPECT_EQ(w.editor.state().copy_buffer[0].pulse_seconds, 2);
  w.editor.DeleteEvents(EditorWorld::rows(2, 1, 1));
  EXPECT_EQ(w.column(2), QStringList{"12:00, 1"});
}

TEST(ReadOnly, NothingChangesFromAnyOperation) {
  EditorWorld w([](ProjectSetup& p) { Week(p, 1, {{8, 0}, {9, 0}}); });
  ASSERT_EQ(chmod(QFile::encodeName(w.data->state.project_path).constData(), 0444), 0);
  w.editor.Reset();
  ASSERT_TRUE(w.editor.readonly());
  w.editor.state().copy_buffer[0] = w.data->project.slot(1, 1);
  w.editor.state().copy_buffer[0].hour = 6;
  w.type(QStringLiteral("07:00"), QStringLiteral("5"));
  w.editor.InsertEvent(1);
  w.click(0, 1);
  w.editor.CutEvents(EditorWorld::rows(1, 0, 1));
  w.editor.DeleteEvents(EditorWorld::rows(1, 0, 1));
  w.editor.PasteEvents();
  w.editor.ShowEventDetails();  // opening still shows the details
  EXPECT_EQ(w.view.fields.time, "08:00");
  w.view.fields.pulse = QStringLiteral("9");
  w.editor.UpdateEvent();
  EXPECT_EQ(w.column(1), (QStringList{"08:00, 5", "09:00, 5"}));
  EXPECT_TRUE(w.prompts.boxes.empty());
  EXPECT_FALSE(w.data->state.project_changed);
}

TEST(ReadOnly, AFileThatIsGoneCountsAsReadOnly) {
  EditorWorld w;
  QFile::remove(w.data->state.project_path);
  w.editor.Reset();
  EXPECT_TRUE(w.editor.readonly());
}

TEST(FailedSave, TheGridStillShowsTheRecordItsRowsAddress) {
  EditorWorld w([](ProjectSetup& p) { Week(p, 1, {{9, 0}}); });
  QFile::remove(w.data->state.project_path);  // gone behind the editor's back
  w.type(QStringLiteral("08:00"), QStringLiteral("5"));
  EXPECT_THROW(w.editor.InsertEvent(1), IoError);
  EXPECT_FALSE(w.data->state.project_changed);
  EXPECT_EQ(w.column(1), (QStringList{"08:00, 5", "09:00, 5"}));
}

TEST(TypedTime, KeysTheMaskWouldGetWrongAndWholeTimes) {
  const struct {
    const char* positions;
    int cursor;
    char key;
    std::optional<std::pair<const char*, int>> after;
  } keys[] = {
      {"7 :  ", 1, ':', std::pair{" 7:  ", 3}},   // one hour digit, then the separator
      {"7 :05", 1, '.', std::pair{" 7:05", 3}},   // the minutes typed before are kept
      {"12:  ", 2, ':', std::pair{"12:  ", 3}},   // two digits: only moves on
      {"  :  ", 0, ':', std::pair{"  :  ", 3}},   // no hour yet: on to the minutes
      {"07:0 ", 4, ':', std::pair{"07:0 ", 4}},   // in the minutes it changes nothing
      {"77:05", 1, ':', std::pair{" 7:05", 3}},   // over an earlier time
      {"  :  ", 0, ' ', std::pair{"  :  ", 1}},   // a leading blank, the hour follows
      {"1 :  ", 0, ' ', std::pair{"  :  ", 1}},   // typed over a digit
      {"  :  ", 1, ' ', std::nullopt},           // a blank elsewhere is the field's
      {"  :  ", 0, '7', std::nullopt},           // digits are the field's
      {"7 :  ", 1, 'x', std::nullopt},
  };
  for (const auto& k : keys) {
    SCOPED_TRACE(std::string(k.positions) + " " + std::to_string(k.cursor) + " " + k.key);
    const auto edit = TimeFieldKey(QString::fromLatin1(k.positions), k.cursor, QChar(k.key));
    ASSERT_EQ(edit.has_value(), k.after.has_value());
    if (edit) {
      EXPECT_EQ(edit->positions, QString::fromLatin1(k.after->first));
      EXPECT_EQ(edit->cursor, k.after->second);
    }
  }
  const struct {
    const char* text;
    std::optional<const char*> positions;
  } texts[] = {{"7:05", " 7:05"}, {"07:05", "07:05"}, {" 7.05 ", " 7:05"}, {"705", " 7:05"},
               {"0705", "07:05"}, {"23:59", "23:59"}, {"99:99", "99:99"},  // range is the insert's check
               {"7:5", std::nullopt}, {"123:45", std::nullopt}, {"7-05", std::nullopt},
               {"", std::nullopt},    {"seven", std::nullopt}};
  for (const auto& t : texts) {
    SCOPED_TRACE(t.text);
    const auto positions = TimeFieldFromText(QString::fromLatin1(t.text));
    ASSERT_EQ(positions.has_value(), t.positions.has_value());
    if (positions) {
      EXPECT_EQ(*positions, QString::fromLatin1(*t.positions));
      // What the field then holds reads as the time the text meant.
      EntryValues v;
      if (QString::fromLatin1(t.text) != "99:99") {
        EXPECT_EQ(ReadEntry({{}, QStringLiteral("5"), *positions}, v), EntryFault::None);
      }
    }
  }
}

TEST(Grid, TipsGiveTheTitleAndTheKindsTheEditorOnlyShows) {
  const struct {
    EventKind kind;
    const char* title;
    const char* tip;
  } cases[] = {
      {EventKind::Pulse, "Lunch", "Lunch"},
      {EventKind::Pulse, "", "(no title)"},
      {EventKind::On, "Heating", "Heating (switches the output on)"},
      {EventKind::Off, "", "(switches the output off)"},
      {static_cast<EventKind>(9), "Odd", "Odd (a kind of event the editor only shows)"},
  };
  ProjectSetup p;
  ResetProject(p);
  int slot = 0;
  for (const auto& c : cases) {
    const int minute = slot++;
    p.slot(2, slot) = MakeEvent(c.kind, QString::fromLatin1(c.title), 8, minute, 5);
  }
  GridTexts grid;
  FillGrid(p, grid);
  for (int row = 0; row < slot; ++row) {
    EXPECT_EQ(grid.tip(2, row), QString::fromLatin1(cases[row].tip)) << row;
  }
  EXPECT_TRUE(grid.tip(2, slot).isEmpty());
  EXPECT_TRUE(grid.tip(1, 0).isEmpty());
  ResetProject(p);  // a refill forgets the tips of rows now empty
  FillGrid(p, grid);
  EXPECT_TRUE(grid.tip(2, 0).isEmpty());
}

TEST(Undo, EveryChangeIsOneStepAndAFailedSaveLeavesTheHistory) {
  EditorWorld w([](ProjectSetup& p) { Week(p, 1, {{8, 0}, {9, 0}}); });
  EXPECT_FALSE(w.editor.CanUndo());
  const WeekSchedule start = w.data->project.week;
  w.type(QStringLiteral("10:00"), QStringLiteral("5"), QStringLiteral("Break"));
  w.editor.InsertEvent(1);
  w.editor.InsertEvent(1);  // refused: no step
  w.click(0, 1);
  w.editor.DeleteEvents(EditorWorld::rows(1, 5, 9));  // empty rows: nothing changed, no step
  w.editor.DeleteEvents(EditorWorld::rows(1, 0, 0));
  EXPECT_EQ(w.column(1), (QStringList{"09:00, 5", "10:00, 5"}));
  w.data->state.project_changed = false;
  w.editor.Undo();
  EXPECT_EQ(w.column(1), (QStringList{"08:00, 5", "09:00, 5", "10:00, 5"}));
  EXPECT_TRUE(w.data->state.project_changed);  // saved like an edit
  EXPECT_TRUE(w.fileEqualsRecord());
  w.editor.Undo();
  EXPECT_EQ(std::memcmp(&w.data->project.week, &start, sizeof start), 0);
  EXPECT_FALSE(w.editor.CanUndo());
  EXPECT_TRUE(w.editor.CanRedo());
  w.editor.Redo();
  EXPECT_EQ(w.column(1).size(), 3);

  // The file has gone: the undo is refused with the file error and stays to be done.
  const WeekSchedule before = w.data->project.week;
  QFile::rename(w.data->state.project_path, w.data->state.project_path + ".away");
  EXPECT_THROW(w.editor.Undo(), IoError);
  EXPECT_EQ(std::memcmp(&w.data->project.week, &before, sizeof before), 0);
  EXPECT_EQ(w.column(1).size(), 3);
  QFile::rename(w.data->state.project_path + ".away", w.data->state.project_path);
  w.editor.Undo();
  EXPECT_EQ(w.column(1).size(), 2);
  EXPECT_TRUE(w.fileEqualsRecord());

  // A new change forgets what could be redone; each showing starts without a history.
  w.type(QStringLiteral("10:00"), QStringLiteral("5"));  // the delete cleared the fields
  w.editor.InsertEvent(2);
  EXPECT_FALSE(w.editor.CanRedo());
  w.editor.Reset();
  EXPECT_FALSE(w.editor.CanUndo());
  EXPECT_TRUE(w.prompts.texts() == std::vector<QString>{kTimeExistsText});
}

TEST(Undo, AnOpenedEventEndsAndTheHistoryKeepsItsLimit) {
  EditorWorld w([](ProjectSetup& p) { Week(p, 1, {{8, 0}}); });
  w.click(0, 1);
  w.editor.ShowEventDetails();
  w.view.fields.pulse = QStringLiteral("9");
  w.editor.UpdateEvent();
  w.editor.Undo();
  EXPECT_EQ(w.column(1), QStringList{"08:00, 5"});
  EXPECT_FALSE(w.editor.state().event_edit_mode);
  EXPECT_TRUE(w.view.day_buttons_enabled);
  EXPECT_EQ(w.view.fields.time, kEmptyTimeField);

  for (int i = 0; i < int(WeekHistory::kLimit) + 5; ++i) {
    w.type(QStringLiteral("%1:%2").arg(10 + i / 60).arg(i % 60, 2, 10, QChar('0')), QStringLiteral("5"));
    w.editor.InsertEvent(2);
  }
  EXPECT_EQ(w.editor.UndoCount(), WeekHistory::kLimit);
}

}  // namespace
}  // namespace zmr::testing
