#include "link/CSTBInfoDlg.h"

namespace pelagor {

void CSTBInfoDlg::SetFromBlock(const ReceiverInfoBlock& block) {
  const ReceiverInfo info = ParseReceiverInfo(block);
  model = info.model;
  bootVersion = info.bootVersion;
  mainVersion = info.mainVersion;
}

}  // namespace pelagor
