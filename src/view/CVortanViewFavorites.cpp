// The form's "Favorite" button: renames the favourite list the filter shows.

#include "view/CFavNameDlg.h"
#include "view/CVortanView.h"
#include "view/DialogValidation.h"
#include "view/RecordText.h"

namespace pelagor {

void CVortanView::OnFavoriteButton() {
  EditScope scope(*this);
  const int k = list_.Filter().favorite;
  if (!ws_.catalogue.Present() || k < 1 || k > kFavLists) return;
  CFavNameDlg dlg;
  dlg.name = list_.FavoriteNames()[size_t(k - 1)];
  if (ui_.RunDialog(&dlg) != DialogAnswer::kOk) return;
  const std::string name = FirstCharacters(dlg.name, CFavNameDlg::kNameChars);
  list_.FavoriteNames()[size_t(k - 1)] = name;
  // k is the shown list, 1-8: nothing to refuse.
  static_cast<void>(Ops().SetFavouriteName(k - 1, EncodeRecordText(name)));
  FillFavoriteCombo();
  // The "Favorite" column shows the names.
  ui_.RefreshChannelList();
  // The name lives in the image, so leaving without saving must ask.
  MarkModified();
}

}  // namespace pelagor
