#include "app/CQtModalHost.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QMessageBox>
#include <QStringList>

#include "app/CAddCableTPDialog.h"
#include "app/CAddChanDialog.h"
#include "app/CAddSatDialog.h"
#include "app/CAddTPDialog.h"
#include "app/CComPortDialog.h"
#include "app/CEditChanDialog.h"
#include "app/CFavNameDialog.h"
#include "app/CModelSelectDialog.h"
#include "app/CProviderSelectDialog.h"
#include "app/CReferenceDialogs.h"
#include "app/CStbInfoDialog.h"
#include "link/CComPortDlg.h"
#include "link/CSTBInfoDlg.h"
#include "view/CAddCableTP.h"
#include "view/CAddSatDlg.h"
#include "view/CAddTPDlg.h"
#include "view/ModelSelectDlg.h"
#include "view/WindowTitle.h"

namespace pelagor {
namespace {

QMessageBox::Icon QtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kStop: return QMessageBox::Critical;
    case MessageIcon::kQuestion: return QMessageBox::Question;
    case MessageIcon::kWarning: return QMessageBox::Warning;
    case MessageIcon::kInformation: return QMessageBox::Information;
    case MessageIcon::kNone: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons QtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk: return QMessageBox::Ok;
    case MessageButtons::kOkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::kYesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::kYesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

MessageAnswer AnswerOf(int button, MessageButtons buttons) {
  switch (button) {
    case QMessageBox::Ok: return MessageAnswer::kOk;
    case QMessageBox::Yes: return MessageAnswer::kYes;
    case QMessageBox::No: return MessageAnswer::kNo;
    case QMessageBox::Cancel: return MessageAnswer::kCancel;
    default: break;
  }
  // Closed by Esc or the close box: the box's escape answer.
  switch (buttons) {
    case MessageButtons::kOk: return MessageAnswer::kOk;
    case MessageButtons::kYesNo: return MessageAnswer::kNo;
    default: return MessageAnswer::kCancel;
  }
}

template <class Dialog, class Model>
DialogAnswer RunFace(Model& model, QWidget* parent) {
  Dialog dlg(model, parent);
  return dlg.exec() == QDialog::Accepted ? DialogAnswer::kOk : DialogAnswer::kCancel;
}

QString AppTitle() { return QString::fromUtf8(kApplicationTitle.data(), int(kApplicationTitle.size())); }

}  // namespace

MessageAnswer CQtModalHost::ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) {
  QMessageBox box(QtIcon(icon), AppTitle(), QString::fromStdString(text), QtButtons(buttons), parent_);
  box.setObjectName("messageBox");
  return AnswerOf(box.exec(), buttons);
}

DialogAnswer CQtModalHost::RunDialog(DialogModel model) {
  if (auto* const* m = std::get_if<ModelSelectDlg*>(&model); m != nullptr && *m != nullptr) {
    CModelSelectDialog dlg(**m, parent_);
    return dlg.exec() == QDialog::Accepted ? DialogAnswer::kOk : DialogAnswer::kCancel;
  }
  if (auto* const* m = std::get_if<CAddChanDlg*>(&model); m != nullptr && *m != nullptr)
    return RunFace<CAddChanDialog>(**m, parent_);
  if (auto* const* m = std::get_if<CEditChanDlg*>(&model); m != nullptr && *m != nullptr)
    return RunFace<CEditChanDialog>(**m, parent_);
  if (auto* const* m = std::get_if<CFavNameDlg*>(&model); m != nullptr && *m != nullptr)
    return RunFace<CFavNameDialog>(**m, parent_);
  if (auto* const* m = std::get_if<CProviderSelectDlg*>(&model); m != nullptr && *m != nullptr)
    return RunFace<CProviderSelectDialog>(**m, parent_);
  if (auto* const* m = std::get_if<CComPortDlg*>(&model); m != nullptr && *m != nullptr)
    return RunFace<CComPortDialog>(**m, parent_);
  if (auto* const* m = std::get_if<CSTBInfoDlg*>(&model); m != nullptr && *m != nullptr)
    return RunFace<CStbInfoDialog>(**m, parent_);
  if (auto* const* m = std::get_if<CAddSatDlg*>(&model); m != nullptr && *m != nullptr)
    return RunFace<CAddSatDialog>(**m, parent_);
  if (auto* const* m = std::get_if<CAddTPDlg*>(&model); m != nullptr && *m != nullptr)
    return RunFace<CAddTPDialog>(**m, parent_);
  if (auto* const* m = std::get_if<CAddCableTP*>(&model); m != nullptr && *m != nullptr)
    return RunFace<CAddCableTPDialog>(**m, parent_);
  // The other edit dialogs have no Qt face yet; cancelling changes nothing.
  return DialogAnswer::kCancel;
}

QString CQtModalHost::QtNameFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString text = parts[i].trimmed();
    QString pattern = parts[i + 1].trimmed();
    if (text.isEmpty() || pattern.isEmpty()) continue;
    // "*.*" also means files without a dot, as it does on Windows.
    if (pattern == "*.*") {
      text.replace("(*.*)", "(*)");
      pattern = "*";
    }
    pattern.replace(';', ' ');
    if (!text.endsWith("(" + pattern + ")")) text += " (" + pattern + ")";
    out << text;
  }
  return out.join(";;");
}

std::optional<std::string> CQtModalHost::AskFile(const FileRequest& request, bool save) {
  QFileDialog dlg(parent_);
  dlg.setObjectName(save ? "saveFileDialog" : "openFileDialog");
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dlg.setNameFilters(QtNameFilters(request.filter).split(";;", Qt::SkipEmptyParts));
  dlg.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  // A wildcard initial name only picks the filter; a real name is proposed.
  const QString initial = QString::fromStdString(request.initialName);
  if (!initial.isEmpty() && !initial.contains('*') && !initial.contains('?')) dlg.selectFile(initial);
  if (!request.overwritePrompt) dlg.setOption(QFileDialog::DontConfirmOverwrite);
  // The file dialogs start in the folder used last, as the profile keeps it.
  QSettings profile;
  const QString folder = profile.value("Settings/LastFolder").toString();
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) dlg.setDirectory(folder);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = dlg.selectedFiles().front();
  profile.setValue("Settings/LastFolder", QFileInfo(chosen).absolutePath());
  return chosen.toStdString();
}

std::optional<std::string> CQtModalHost::AskOpenFile(const FileRequest& request) { return AskFile(request, false); }
std::optional<std::string> CQtModalHost::AskSaveFile(const FileRequest& request) { return AskFile(request, true); }

SaveChangesAnswer CQtModalHost::AskSaveChanges() {
  QMessageBox box(QMessageBox::Question, AppTitle(), kSaveChangesText,
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
  box.setObjectName("saveChangesBox");
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Save: return SaveChangesAnswer::kSave;
    case QMessageBox::Discard: return SaveChangesAnswer::kDiscard;
    default: return SaveChangesAnswer::kCancel;
  }
}

DialogAnswer CQtModalHost::RunReferenceDialog(ReferenceDialogModel model) {
  if (auto* const* m = std::get_if<CApplyOrderDlg*>(&model)) return RunFace<CApplyOrderDialog>(**m, parent_);
  if (auto* const* m = std::get_if<CImportChannelsDlg*>(&model)) return RunFace<CImportChannelsDialog>(**m, parent_);
  if (auto* const* m = std::get_if<CReferenceReportDlg*>(&model)) {
    CReferenceReportDialog dlg(**m, parent_);
    return dlg.exec() == QDialog::Accepted ? DialogAnswer::kOk : DialogAnswer::kCancel;
  }
  return DialogAnswer::kCancel;
}

}  // namespace pelagor
