#include "view/CsvWriter.h"

namespace pelagor {

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string CsvRecord(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ',';
    line += CsvField(fields[i]);
  }
  return line + "\r\n";
}

std::string CsvTable(const std::vector<std::vector<std::string>>& records) {
  std::string out;
  for (const auto& r : records) out += CsvRecord(r);
  return out;
}

}  // namespace pelagor
