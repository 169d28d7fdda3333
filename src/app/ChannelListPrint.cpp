#include "app/ChannelListPrint.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTableView>
#include <algorithm>
#include <vector>

#include "app/CDragDropListCtrl.h"
#include "app/CVortanForm.h"
#include "files/ModelTable.h"
#include "view/CVortanView.h"

namespace pelagor {
namespace {

struct PrintColumn {
  int logical;
  double x;
  double width;
  QString heading;
};

// The columns as the header shows them: visual order, hidden ones left out,
// widths in proportion to the screen's, scaled to the page width.
std::vector<PrintColumn> ShownColumns(const QTableView& table, double pageWidth) {
  const QHeaderView* header = table.horizontalHeader();
  const QAbstractItemModel* model = table.model();
  std::vector<PrintColumn> out;
  double total = 0;
  for (int v = 0; v < header->count(); ++v) {
    const int logical = header->logicalIndex(v);
    if (header->isSectionHidden(logical) || header->sectionSize(logical) <= 0) continue;
    out.push_back({logical, 0, double(header->sectionSize(logical)),
                   model->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString()});
    total += header->sectionSize(logical);
  }
  const double scale = total > 0 ? pageWidth / total : 1.0;
  double x = 0;
  for (PrintColumn& c : out) {
    c.x = x;
    c.width *= scale;
    x += c.width;
  }
  return out;
}

void PrintOn(QPrinter& printer, CVortanForm& form) {
  printer.setDocName(MakePrintHeading(form).file);
  PaintChannelList(printer, *form.ChannelTable(), MakePrintHeading(form));
}

void PreparePrinter(QPrinter& printer) {
  // Fourteen columns read best across the long side of the page.
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

}  // namespace

PrintHeading MakePrintHeading(const CVortanForm& form) {
  const CVortanView& view = form.View();
  PrintHeading h;
  h.file = view.File().fileOpen ? QFileInfo(QString::fromStdString(view.File().path)).fileName() : "No File";
  QString prefix = QString::fromUtf8(ModelInfoFor(view.GetWorkspace().model).titlePrefix.data(),
                                     int(ModelInfoFor(view.GetWorkspace().model).titlePrefix.size()))
                       .trimmed();
  if (prefix.startsWith('[') && prefix.endsWith(']')) prefix = prefix.mid(1, prefix.size() - 2);
  h.model = prefix;
  h.date = QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
  return h;
}

int PaintChannelList(QPrinter& printer, const QTableView& table, const PrintHeading& heading) {
  QPainter p;
  if (!p.begin(&printer)) return 0;
  const QRectF page = printer.pageLayout()
                          .paintRectPixels(printer.resolution())
                          .translated(-printer.pageLayout().paintRectPixels(printer.resolution()).topLeft());
  QFont body = table.font();
  body.setPointSizeF(8);
  QFont bold = body;
  bold.setBold(true);
  QFont title = body;
  title.setPointSize(11);
  title.setBold(true);
  p.setFont(body);
  const double rowHeight = p.fontMetrics().height() * 1.35;
  const double pad = p.fontMetrics().horizontalAdvance(' ');
  p.setFont(title);
  const double titleHeight = p.fontMetrics().height() * 1.6;
  const double top = titleHeight + rowHeight * 1.2;  // title line, then the column headings
  const double footer = rowHeight * 1.5;
  const QAbstractItemModel* model = table.model();
  const int rows = model->rowCount();
  const int perPage = std::max(1, int((page.height() - top - footer) / rowHeight));
  const int pages = std::max(1, (rows + perPage - 1) / perPage);
  const std::vector<PrintColumn> columns = ShownColumns(table, page.width());
  const QString left = heading.model.isEmpty() ? heading.file : heading.file + "  -  " + heading.model;

  auto cellText = [&](const QString& text, double x, double y, double w) {
    const QRectF r(x + pad, y, std::max(0.0, w - 2 * pad), rowHeight);
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, p.fontMetrics().elidedText(text, Qt::ElideRight, int(r.width())));
  };
  for (int pageNo = 0; pageNo < pages; ++pageNo) {
    if (pageNo > 0) printer.newPage();
    p.setFont(title);
    p.drawText(QRectF(0, 0, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter, left);
    p.setFont(body);
    p.drawText(QRectF(0, 0, page.width(), titleHeight), Qt::AlignRight | Qt::AlignVCenter, heading.date);
    // Column headings on a grey band, as the list's header.
    p.setFont(bold);
    const double headY = titleHeight;
    p.fillRect(QRectF(0, headY, page.width(), rowHeight), QColor(225, 225, 225));
    for (const PrintColumn& c : columns) cellText(c.heading, c.x, headY, c.width);
    p.setFont(body);
    const int first = pageNo * perPage;
    const int last = std::min(rows, first + perPage);
    double y = top;
    for (int r = first; r < last; ++r, y += rowHeight) {
      for (const PrintColumn& c : columns)
        cellText(model->data(model->index(r, c.logical), Qt::DisplayRole).toString(), c.x, y, c.width);
      p.setPen(QColor(200, 200, 200));
      p.drawLine(QPointF(0, y + rowHeight), QPointF(page.width(), y + rowHeight));
      p.setPen(Qt::black);
    }
    p.drawText(QRectF(0, page.height() - footer, page.width(), footer), Qt::AlignHCenter | Qt::AlignBottom,
               QString("Page %1 of %2").arg(pageNo + 1).arg(pages));
  }
  p.end();
  return pages;
}

void PrintChannelList(CVortanForm& form, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer);
  QPrintDialog dialog(&printer, parent);
  dialog.setObjectName("printDialog");
  if (dialog.exec() == QDialog::Accepted) PrintOn(printer, form);
}

void PreviewChannelList(CVortanForm& form, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer);
  QPrintPreviewDialog preview(&printer, parent);
  preview.setObjectName("printPreview");
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                   [&form](QPrinter* target) { PrintOn(*target, form); });
  preview.exec();
}

bool WriteChannelListPdf(CVortanForm& form, const QString& path) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setCreator("Pelagor");
  printer.setDocName(MakePrintHeading(form).file);
  return PaintChannelList(printer, *form.ChannelTable(), MakePrintHeading(form)) > 0;
}

bool ExportChannelListPdf(CVortanForm& form) {
  const std::optional<std::string> path =
      form.ModalHost().AskSaveFile({"pdf", "*.pdf", "PDF document(*.pdf)|*.pdf|All Files (*.*)|*.*||", true, true});
  if (!path) return false;
  if (WriteChannelListPdf(form, QString::fromStdString(*path))) return true;
  form.ModalHost().ShowMessage("Cannot write " + *path, MessageIcon::kStop, MessageButtons::kOk);
  return false;
}

}  // namespace pelagor
