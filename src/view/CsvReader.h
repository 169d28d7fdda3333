#pragma once
// Reading CSV as RFC 4180 has it, with the separator of the file: a comma,
// or a semicolon where spreadsheets in many locales write one. Quoted
// fields may hold separators, doubled quotes and line breaks. A UTF-8 byte
// order mark in front of the first field is dropped.

#include <string>
#include <string_view>
#include <vector>

namespace pelagor {

// The separator of the header line: the one of ',' and ';' that occurs more
// often outside quotes there (',' on a tie).
[[nodiscard]] char DetectCsvSeparator(std::string_view text);

// Records as fields. Line ends are CRLF, LF or CR. A blank line is a record
// with one empty field and is left out. False when a quoted field is not
// closed before the end of the text (records holds what came before it).
[[nodiscard]] bool ParseCsv(std::string_view text, char separator, std::vector<std::vector<std::string>>& records);

}  // namespace pelagor
