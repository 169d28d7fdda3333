#pragma once
// Column widths that fit the font in use: the list's own widths are the
// least a column gets; a column grows until its heading and a typical value
// of its kind show in full.

#include <QString>
#include <vector>

#include "view/ViewUi.h"

class QTableView;

namespace pelagor {

// A value of the widest usual kind for a column with this heading (empty
// when the heading is not known).
QString TypicalColumnText(const QString& heading);

// Width for one column: at least minimum, wide enough for the heading in
// the header's font and the typical text in the cells' font.
int FittedColumnWidth(const QTableView& table, const QString& heading, int minimum);

// Sets every column of table to its fitted width.
void ApplyFittedWidths(QTableView& table, const std::vector<ListColumn>& columns);

}  // namespace pelagor
