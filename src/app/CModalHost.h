#pragma once
// The modal part of the screen: message boxes, dialogs and file choosers.
// The form forwards the view's requests here, so the GUI tests can answer
// them through a scripted host while the real window stays in use.

#include <optional>
#include <string>

#include "view/ViewUi.h"

namespace pelagor {

class CModalHost {
 public:
  virtual ~CModalHost() = default;
  virtual MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) = 0;
  virtual DialogAnswer RunDialog(DialogModel model) = 0;
  virtual std::optional<std::string> AskOpenFile(const FileRequest& request) = 0;
  virtual std::optional<std::string> AskSaveFile(const FileRequest& request) = 0;
  // Before unsaved changes would be lost: "Save changes to the channel list?"
  virtual SaveChangesAnswer AskSaveChanges() = 0;
  // The reference-list dialogs; a host without them answers Cancel.
  virtual DialogAnswer RunReferenceDialog(ReferenceDialogModel) { return DialogAnswer::kCancel; }
};

}  // namespace pelagor
