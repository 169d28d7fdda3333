#include "files/ChannelSection.h"

#include <gtest/gtest.h>

#include <memory>

using namespace pelagor;

namespace {

std::unique_ptr<DbImage> ImageWithOneRecordEach() {
  auto img = std::make_unique<DbImage>();
  img->SetBit(kSatSlotBitmapOffset, 3, true);
  img->SetSatLink(3, 0xA1B2C3D4);
  img->SetSatTuner(3, 0x11223344);
  img->SetBit(kTpSlotBitmapOffset, 7, true);
  img->SetTpTuner(7, 0x0000001F);
  img->SetBit(kChanSlotBitmapOffset, 9, true);
  img->SetChanTuner(9, 0x0006);
  return img;
}

}  // namespace

TEST(ChannelSection, PackedFormMovesSatelliteWordsDownTwoBytes) {
  auto img = ImageWithOneRecordEach();
  const std::vector<uint8_t> body = BuildChannelBody(*img, 1);
  ASSERT_EQ(body.size(), kImageSize);
  const uint8_t* rec = body.data() + DbImage::SatOffset(3);
  EXPECT_EQ(rec[26], 0xD4);
  EXPECT_EQ(rec[29], 0xA1);
  EXPECT_EQ(rec[30], 0x44);
  EXPECT_EQ(rec[33], 0x11);
  EXPECT_EQ(rec[34], 0x22);  // memory bytes 34-35 stay
  EXPECT_EQ(rec[35], 0x11);

  auto back = std::make_unique<DbImage>();
  ReadChannelBody(body.data(), ChannelForm::kPacked, *back);
  EXPECT_EQ(back->SatLink(3), 0xA1B2C3D4u);
  EXPECT_EQ(back->SatTuner(3), 0x11223344u);
}

TEST(ChannelSection, MarkerBitsPerModel) {
  auto img = ImageWithOneRecordEach();
  struct Case {
    ModelId model;
    uint32_t tpTuner, chanTuner, satTuner;
  };
  const Case cases[] = {
      {1, 0x1E, 0x0006, 0x11223344},  // packed models clear TP and channel markers
      {5, 0x1F, 0x0007, 0x11223345},  // others set all three
      {0, 0x1F, 0x0007, 0x11223345},
      {7, 0x1F, 0x0006, 0x11223344},  // 7 and 8 leave them
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> body = BuildChannelBody(*img, c.model);
    auto back = std::make_unique<DbImage>();
    ReadChannelBody(body.data(), ModelInfoFor(c.model).form, *back);
    EXPECT_EQ(back->TpTuner(7), c.tpTuner) << c.model;
    EXPECT_EQ(back->ChanTuner(9), c.chanTuner) << c.model;
    EXPECT_EQ(back->SatTuner(3), c.satTuner) << c.model;
  }
  EXPECT_EQ(img->TpTuner(7), 0x1Fu) << "the image itself is not changed";
}

TEST(ChannelSection, NormaliseOnlyNeverUsedFreeRecords) {
  auto img = std::make_unique<DbImage>(DbImage::Zeroed());
  img->SetChanU16(5, chan::kSid, 77);       // free but used once: left alone
  img->SetTpU16(4, tp::kFrequency, 11000);  // likewise
  img->SetBit(kChanSlotBitmapOffset, 6, true);
  NormaliseFreeSlots(*img);
  EXPECT_EQ(img->ChanTp(0), kNoTp);
  EXPECT_EQ(img->ChanNumber(0), kNoChanNumber);
  EXPECT_EQ(img->ChanName(0)[0], 0xFF);
  EXPECT_EQ(img->ChanTp(5), 0);
  EXPECT_EQ(img->ChanTp(6), 0) << "in use";
  EXPECT_EQ(img->TpSat(0), kNoSat);
  EXPECT_EQ(img->TpFirstChan(0), kNoChan);
  EXPECT_EQ(img->TpSat(4), 0);
  EXPECT_EQ(img->SatFirstTp(0), kNoTp);
}
