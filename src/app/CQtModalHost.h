#pragma once
// The modal host with the real Qt message boxes, dialogs and file choosers.

#include <QString>

#include "app/CModalHost.h"

class QWidget;

namespace pelagor {

class CQtModalHost : public CModalHost {
 public:
  static constexpr const char* kSaveChangesText = "Save changes to the channel list?";

  explicit CQtModalHost(QWidget* parent) : parent_(parent) {}

  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
  DialogAnswer RunDialog(DialogModel model) override;
  DialogAnswer RunReferenceDialog(ReferenceDialogModel model) override;
  std::optional<std::string> AskOpenFile(const FileRequest& request) override;
  std::optional<std::string> AskSaveFile(const FileRequest& request) override;
  SaveChangesAnswer AskSaveChanges() override;

  // "Text|pattern|Text|pattern|...|" as a Qt name filter list ("Text;;Text").
  static QString QtNameFilters(const std::string& filter);

 private:
  std::optional<std::string> AskFile(const FileRequest& request, bool save);
  QWidget* parent_;
};

}  // namespace pelagor
