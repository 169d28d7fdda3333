#pragma once
// The receiver-information dialog without the toolkit: its texts, layout and the
// three values it shows. The values are the receiver's bytes; the face decodes them.

#include <string>
#include <string_view>

#include "link/ReceiverProtocol.h"

namespace pelagor {

class CSTBInfoDlg {
 public:
  static constexpr int kTemplateId = 136;
  static constexpr std::string_view kCaption = "Information";
  static constexpr std::string_view kGroupText = "Receiver Information";
  static constexpr std::string_view kModelLabel = "Model";
  static constexpr std::string_view kBootLabel = "Boot Ver.";
  static constexpr std::string_view kMainLabel = "Main Ver.";
  static constexpr int kModelId = 1022;
  static constexpr int kBootVerId = 1023;
  static constexpr int kMainVerId = 1024;
  static constexpr int kOkId = 1;
  static constexpr int kValueX = 60;
  static constexpr int kValueWidth = 74;
  static constexpr int kModelY = 25;
  static constexpr int kBootVerY = 44;
  static constexpr int kMainVerY = 63;

  // The three texts of an information block: bytes 8, 40 and 72, each to its first
  // zero and never past its 32-byte field.
  void SetFromBlock(const ReceiverInfoBlock& block);

  // Shown read-only: model in 1022, boot version in 1023, main version in 1024.
  std::string model;
  std::string bootVersion;
  std::string mainVersion;
};

}  // namespace pelagor
