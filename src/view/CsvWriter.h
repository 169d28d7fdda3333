#pragma once
// CSV as RFC 4180 has it: fields separated by commas, records ended by CRLF,
// a field holding a comma, a quote or a line break quoted with its quotes
// doubled. Text is passed through as it is (UTF-8). The editor's export and
// the CLI's `channels --csv` both write through here.

#include <string>
#include <string_view>
#include <vector>

namespace pelagor {

[[nodiscard]] std::string CsvField(std::string_view text);
// One record, CRLF included.
[[nodiscard]] std::string CsvRecord(const std::vector<std::string>& fields);
[[nodiscard]] std::string CsvTable(const std::vector<std::vector<std::string>>& records);

}  // namespace pelagor
