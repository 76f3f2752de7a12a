#include <gtest/gtest.h>

#include <cerrno>

#include "base/cp1252.h"
#include "base/errors.h"

namespace zmr {
namespace {

TEST(GeneralErrorText, FullStopOnlyAfterCharactersThatSortAfterTheDot) {
  EXPECT_EQ(WithFullStop("File not found"), "File not found.");
  EXPECT_EQ(WithFullStop("I/O error 5"), "I/O error 5.");
  EXPECT_EQ(WithFullStop("Really?"), "Really?.");
  EXPECT_EQ(WithFullStop("Port:"), "Port:.");
  EXPECT_EQ(WithFullStop("Done."), "Done.");
  EXPECT_EQ(WithFullStop("Stop!"), "Stop!");
  EXPECT_EQ(WithFullStop("Unable to open com port (win error code: 2)"),
            "Unable to open com port (win error code: 2)");
  EXPECT_EQ(WithFullStop("a,"), "a,");
  EXPECT_EQ(WithFullStop("a-"), "a-");
  EXPECT_EQ(WithFullStop("a "), "a ");
  EXPECT_EQ(WithFullStop("a/"), "a/.");  // '/' comes right after '.'
  EXPECT_EQ(WithFullStop(""), "");
}

TEST(GeneralErrorText, SystemTextsForFileFailures) {
  EXPECT_STREQ(IoError::fromErrno(ENOENT).what(), "File not found");
  EXPECT_STREQ(IoError::fromErrno(EACCES).what(), "File access denied");
  EXPECT_STREQ(IoError::fromErrno(ENOSPC).what(), "Disk full");
  EXPECT_STREQ(IoError::fromErrno(EIO).what(), ("I/O error " + std::to_string(EIO)).c_str());
}

TEST(Windows1252, RoundTripsItsOwnCharactersAndMarksOthers) {
  const QString text = QString::fromUtf8("Caf\u00e9 \u20ac5 \u201cbell\u201d");
  const std::string bytes = ToCp1252(text);
  EXPECT_EQ(bytes, std::string("Caf\xE9 \x80" "5 \x93" "bell\x94"));
  EXPECT_EQ(FromCp1252(bytes), text);
  EXPECT_EQ(ToCp1252(QString::fromUtf8("\u0416\U0001F514!")), "?" "?!");  // Cyrillic, an emoji
}

}  // namespace
}  // namespace zmr
