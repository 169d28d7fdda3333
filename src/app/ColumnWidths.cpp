#include "app/ColumnWidths.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <utility>

namespace pelagor {

QString TypicalColumnText(const QString& heading) {
  // Values as wide as the usual ones in real lists: five-digit numbers,
  // frequencies in kHz, a long channel name, a satellite name with its
  // position, two favourite names.
  static const std::pair<const char*, const char*> kTypical[] = {
      {"No.", "8000"},
      {"Chan No.", "65535"},
      {"Chan Name", "Premium Sport Extra HD"},
      {"Satellite", "Hispasat 30.0W"},
      {"Freq.", "858000"},
      {"Pol.", "AUTO"},
      {"CAS", "O"},
      {"V_PID", "8191"},
      {"A_PID", "8191"},
      {"P_PID", "8191"},
      {"SID", "65535"},
      {"Favorite", "Favorite-1,Favorite-2"},
      {"Lock", "O"},
      {"Provider", "Digital Platform"},
      // TP list.
      {"No", "800"},
      {"Ch", "69"},
      {"Freq", "858000"},
      {"SR", "27500"},
      {"Pol", "auto"},
      {"Mod", "8PSK"},
      {"FEC", "9/10"},
      {"Pilot", "Off"},
      {"QAM Mode", "QAM256"},
  };
  for (const auto& [h, text] : kTypical)
    if (heading == QLatin1String(h)) return QString::fromLatin1(text);
  return {};
}

int FittedColumnWidth(const QTableView& table, const QString& heading, int minimum) {
  const QStyle* style = table.style();
  const QHeaderView* header = table.horizontalHeader();
  // The header draws its text between two margins and leaves room for a sort arrow.
  const int headerMargin = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  const int headingWidth = header->fontMetrics().horizontalAdvance(heading) + 4 * headerMargin + 2;
  // A cell keeps a focus-frame margin on each side.
  const int cellMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table) + 1;
  const QString typical = TypicalColumnText(heading);
  const int cellWidth = typical.isEmpty() ? 0 : table.fontMetrics().horizontalAdvance(typical) + 2 * cellMargin + 6;
  return std::max({minimum, headingWidth, cellWidth});
}

void ApplyFittedWidths(QTableView& table, const std::vector<ListColumn>& columns) {
  for (size_t i = 0; i < columns.size(); ++i)
    table.horizontalHeader()->resizeSection(
        int(i), FittedColumnWidth(table, QString::fromStdString(columns[i].heading), columns[i].width));
}

}  // namespace pelagor
