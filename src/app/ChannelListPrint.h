#pragma once
// Printing the channel list as the window shows it: its columns in their
// order and proportions, its rows, a heading with the file, the receiver
// model and the date on every page, and page numbers. Print, Print Preview
// and the PDF export all paint through PaintChannelList.

#include <QString>

class QPrinter;
class QTableView;
class QWidget;

namespace pelagor {

class CVortanForm;

struct PrintHeading {
  QString file;   // file name, or "No File"
  QString model;  // receiver model, empty when none is known
  QString date;
};

// The heading for the form's workspace, dated now.
PrintHeading MakePrintHeading(const CVortanForm& form);

// Paints the table's shown columns and all its rows onto the printer's
// pages; returns the number of pages (0 when painting could not start).
int PaintChannelList(QPrinter& printer, const QTableView& table, const PrintHeading& heading);

// File "Print...": the printer dialog, then the pages.
void PrintChannelList(CVortanForm& form, QWidget* parent);
// File "Print Preview...": the pages in a preview window that can print them.
void PreviewChannelList(CVortanForm& form, QWidget* parent);
// File "Export PDF...": asks for a file name and writes the pages there.
// True when a file was written.
bool ExportChannelListPdf(CVortanForm& form);
// Writes the pages to a PDF file without asking.
bool WriteChannelListPdf(CVortanForm& form, const QString& path);

}  // namespace pelagor
