#include "exchange/csv_splitter.h"

#include <algorithm>

namespace zmr {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void CsvSplitter::skipLineEnd() {
  if (atEnd()) {
    return;
  }
  if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') {
    ++pos_;
  }
  ++pos_;
  ++line_;
}

void CsvSplitter::skipBlanks() {
  while (!atEnd() && IsBlank(text_[pos_])) {
    ++pos_;
  }
}

void CsvSplitter::skipRestOfLine() {
  while (!atEnd() && !atLineEnd()) {
    ++pos_;
  }
  skipLineEnd();
}

bool CsvSplitter::readQuoted(std::string& field, CsvRecord& record) {
  ++pos_;  // the opening quote
  while (true) {
    if (atEnd()) {
      record.fault = CsvFault::UnclosedQuote;
      return false;
    }
    const char c = text_[pos_];
    if (c == '"') {
      if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
        field += '"';
        pos_ += 2;
        continue;
      }
      ++pos_;
      break;
    }
    // A line break inside quotes is part of the field, but still a line of the file.
    if (c == '\n' || (c == '\r' && (pos_ + 1 >= text_.size() || text_[pos_ + 1] != '\n'))) {
      ++line_;
    }
    field += c;
    ++pos_;
  }
  skipBlanks();
  if (!atEnd() && !atLineEnd() && text_[pos_] != separator_) {
    record.fault = CsvFault::TextAfterQuote;
    skipRestOfLine();
    return false;
  }
  return true;
}

bool CsvSplitter::readUnquoted(std::string& field, CsvRecord& record) {
  const std::size_t start = pos_;
  while (!atEnd() && !atLineEnd() && text_[pos_] != separator_) {
    if (text_[pos_] == '"') {
      record.fault = CsvFault::StrayQuote;
      skipRestOfLine();
      return false;
    }
    ++pos_;
  }
  std::string_view value = text_.substr(start, pos_ - start);
  while (!value.empty() && IsBlank(value.back())) {
    value.remove_suffix(1);
  }
  field.assign(value);
  return true;
}

bool CsvSplitter::next(CsvRecord& record) {
  if (atEnd()) {
    return false;
  }
  record.line = line_;
  record.fields.clear();
  record.dropped_fields = 0;
  record.fault.reset();
  std::string dropped;
  while (true) {
    if (record.fields.size() == kMaxKeptFields) {
      ++record.dropped_fields;
      dropped.clear();
    }
    std::string& field = record.fields.size() < kMaxKeptFields ? record.fields.emplace_back() : dropped;
    skipBlanks();
    const bool ok = (!atEnd() && text_[pos_] == '"') ? readQuoted(field, record) : readUnquoted(field, record);
    if (!ok) {
      return true;  // the splitter already stands at the next line
    }
    if (atEnd()) {
      return true;
    }
    if (atLineEnd()) {
      skipLineEnd();
      return true;
    }
    ++pos_;  // the separator
  }
}

bool IsBlankRecord(const CsvRecord& record) {
  return !record.fault && record.dropped_fields == 0 &&
         std::all_of(record.fields.begin(), record.fields.end(), [](const std::string& f) { return f.empty(); });
}

}  // namespace zmr
