#include "view/CsvReader.h"

namespace pelagor {

namespace {

std::string_view WithoutBom(std::string_view text) {
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return text;
}

}  // namespace

char DetectCsvSeparator(std::string_view text) {
  text = WithoutBom(text);
  int commas = 0;
  int semicolons = 0;
  bool quoted = false;
  for (char ch : text) {
    if (ch == '"') quoted = !quoted;  // a doubled quote toggles twice
    if (quoted) continue;
    if (ch == '\n' || ch == '\r') break;
    if (ch == ',') ++commas;
    if (ch == ';') ++semicolons;
  }
  return semicolons > commas ? ';' : ',';
}

bool ParseCsv(std::string_view text, char separator, std::vector<std::vector<std::string>>& records) {
  text = WithoutBom(text);
  records.clear();
  std::vector<std::string> record;
  std::string field;
  bool quoted = false;       // inside a quoted field
  bool fieldQuoted = false;  // the field began with a quote
  auto endRecord = [&] {
    record.push_back(std::move(field));
    field.clear();
    fieldQuoted = false;
    const bool blank = record.size() == 1 && record.front().empty();
    if (!blank) records.push_back(std::move(record));
    record.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (quoted) {
      if (ch != '"') {
        field.push_back(ch);
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        field.push_back('"');
        ++i;
      } else {
        quoted = false;
      }
      continue;
    }
    if (ch == '"' && field.empty() && !fieldQuoted) {
      quoted = true;
      fieldQuoted = true;
    } else if (ch == separator) {
      record.push_back(std::move(field));
      field.clear();
      fieldQuoted = false;
    } else if (ch == '\r' || ch == '\n') {
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      endRecord();
    } else {
      // Text after a closing quote, or a stray quote inside an unquoted
      // field: kept as it stands rather than refusing the file.
      field.push_back(ch);
    }
  }
  if (quoted) return false;
  if (!field.empty() || !record.empty() || fieldQuoted) endRecord();
  return true;
}

}  // namespace pelagor
