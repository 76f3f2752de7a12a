#pragma once
// Splits CSV text into records: quotes as RFC 4180 has them, CRLF, LF or a lone CR as the
// line end, a separator chosen by the caller. Works on bytes, so any text encoding whose
// separators, quotes and line ends are ASCII passes through untouched.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zmr {

enum class CsvFault {
  UnclosedQuote,  // the input ends inside a quoted field
  TextAfterQuote, // something other than a separator or the line end follows a closing quote
  StrayQuote,     // a quote inside a field that does not start with one
};

// Fields kept per record; further ones are only counted, so that a line of a million
// separators costs no memory.
inline constexpr std::size_t kMaxKeptFields = 16;

struct CsvRecord {
  int line = 0;                     // the line (from 1) on which the record starts
  std::vector<std::string> fields;  // quotes removed; unquoted fields without surrounding blanks
  std::size_t dropped_fields = 0;   // fields beyond kMaxKeptFields
  std::optional<CsvFault> fault;    // the record could not be read whole

  std::size_t fieldCount() const { return fields.size() + dropped_fields; }
};

class CsvSplitter {
 public:
  CsvSplitter(std::string_view text, char separator) : text_(text), separator_(separator) {}

  // The next record; false once the text is used up. After a fault the splitter goes on
  // at the next line.
  bool next(CsvRecord& record);

 private:
  bool atEnd() const { return pos_ >= text_.size(); }
  bool atLineEnd() const { return !atEnd() && (text_[pos_] == '\n' || text_[pos_] == '\r'); }
  void skipLineEnd();
  void skipBlanks();
  void skipRestOfLine();
  bool readQuoted(std::string& field, CsvRecord& record);
  bool readUnquoted(std::string& field, CsvRecord& record);

  std::string_view text_;
  char separator_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

// True when every field of the record is empty (a blank line, or ",,,," from a spreadsheet).
bool IsBlankRecord(const CsvRecord& record);

}  // namespace zmr
