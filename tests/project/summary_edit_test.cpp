#include <gtest/gtest.h>

#include "project/summary_edit.h"

namespace zmr {
namespace {

TEST(SummaryEdit, TitleCheckRefusesOnlyTheFivePathCharacters) {
  for (const char* bad : {"Main.Hall", "a,b", "a/b", "a:b", "a\\b", "."}) {
    EXPECT_TRUE(TitleHasForbiddenCharacter(QString::fromLatin1(bad))) << bad;
  }
  for (const char* good : {"", "Main Hall", "R&D; (east) wing!", "a*b?\"<>|"}) {
    EXPECT_FALSE(TitleHasForbiddenCharacter(QString::fromLatin1(good))) << good;
  }
}

TEST(SummaryEdit, StoredTextsAreCutToTheirRoomAndCommentsKeepWindowsLineBreaks) {
  ProjectSummary summary{};
  SummaryFields fields;
  fields.title = QString(150, u't');
  fields.keywords = "bells";
  fields.comments = QString(300, u'c');
  StoreSummary(summary, fields, "Wednesday, 17 February 2004");
  EXPECT_EQ(summary.title.size(), 100u);
  EXPECT_EQ(summary.keywords.text(), "bells");
  EXPECT_EQ(summary.comments.size(), 255u);
  EXPECT_EQ(summary.summary_date.text(), "Wednesday,");

  fields.comments = "one\ntwo";
  StoreSummary(summary, fields, "17/02/2004");
  EXPECT_EQ(summary.comments.text(), "one\r\ntwo");
  EXPECT_EQ(ReadSummary(summary).comments, "one\ntwo");
  EXPECT_EQ(ReadSummary(summary).keywords, "bells");
}

TEST(SummaryEdit, CommentsAreLimitedByTheirStoredLength) {
  EXPECT_EQ(LimitComments(QString(254, u'x')).size(), 254);
  EXPECT_EQ(LimitComments(QString(255, u'x')).size(), 254);
  // Each line break takes two stored characters.
  const QString lines = QString(250, u'x') + "\n\n\n";
  EXPECT_EQ(LimitComments(lines), QString(250, u'x') + "\n\n");
}

TEST(SummaryEdit, DateIsTheSystemShortFormatCutToTen) {
  const QString text = SummaryDateText(QDate(2004, 2, 17));
  EXPECT_LE(text.size(), 10);
  EXPECT_EQ(text, QLocale::system().toString(QDate(2004, 2, 17), QLocale::ShortFormat).left(10));
}

}  // namespace
}  // namespace zmr
