#include "link/CSTBInfoDlg.h"

namespace pelagor {

void CSTBInfoDlg::SetFromBlock(const ReceiverInfoBlock& block) {
  const ReceiverInfo info = ParseReceiverInfo(block);
  m_strModel = info.model;
  m_strBootVer = info.bootVersion;
  m_strMainVer = info.mainVersion;
}

}  // namespace pelagor
