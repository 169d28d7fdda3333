#include "db/DbImage.h"

#include <gtest/gtest.h>

#include <memory>

using namespace pelagor;

TEST(DbImageLayout, OffsetsMatchTheReceiverBlock) {
  EXPECT_EQ(DbImage::SatOffset(199) + kSatRecordSize, kTpTableOffset);
  EXPECT_EQ(DbImage::TpOffset(799) + kTpRecordSize, kChanTableOffset);
  EXPECT_EQ(DbImage::ChanOffset(7999) + kChanRecordSize, kChannelOrderOffset);
  EXPECT_EQ(kChannelOrderOffset + 2 * kMaxChans, kSatSlotBitmapOffset);
  EXPECT_EQ(kFavNamesOffset + 8 * kFavNameFieldSize, kFavLengthsOffset);
  EXPECT_EQ(kRadioFavListsOffset + 8 * kFavListSize, kImageSize);
  EXPECT_EQ(DbImage::FavListOffset(1, 0), kRadioFavListsOffset);
  EXPECT_EQ(DbImage::FavLengthOffset(1, 2), kFavLengthsOffset + 2 * 10);
}

TEST(DbImageLayout, EmptyImageHasFreeSentinels) {
  auto img = std::make_unique<DbImage>();
  EXPECT_EQ(img->FirstSat(), kNoSat);
  EXPECT_EQ(img->SatCount(), 0);
  EXPECT_EQ(img->ChanCount(), 0);
  EXPECT_EQ(img->CurrentChan(), kNoChan);
  for (int i : {0, 7999}) {
    EXPECT_EQ(img->Order(i), kNoChan);
    EXPECT_FALSE(img->ChanInUse(i));
    EXPECT_EQ(img->ChanTp(i), kNoTp);
    EXPECT_EQ(img->ChanNumber(i), kNoChanNumber);
    EXPECT_EQ(img->ChanName(i)[24], 0xFF);
  }
  EXPECT_EQ(img->SatFirstTp(199), kNoTp);
  EXPECT_EQ(img->TpSat(799), kNoSat);
  EXPECT_EQ(img->FavEntry(1, 7, 1999), kNoChan);
  EXPECT_EQ(img->FavLength(0, 0), 0);
}

TEST(DbImageAccess, LittleEndianFieldsAndBits) {
  auto img = std::make_unique<DbImage>();
  img->SetChanU16(3, chan::kSid, 0x1234);
  EXPECT_EQ(img->U8(DbImage::ChanOffset(3) + chan::kSid), 0x34);
  EXPECT_EQ(img->U8(DbImage::ChanOffset(3) + chan::kSid + 1), 0x12);

  img->SetSatLinkField(5, satlink::kDelivery, 3);
  img->SetSatLinkField(5, satlink::kCatalogue, 198);
  EXPECT_EQ(img->SatLink(5), (3u << 27) | (198u << 16));
  EXPECT_EQ(img->SatDelivery(5), 3u);

  img->SetTpWordField(2, tpw::kNext, 0x7FF);
  img->SetTpWordField(2, tpw::kPolarisation, 2);
  EXPECT_EQ(img->TpNext(2), kNoTp);
  EXPECT_EQ(img->TpWord(2), (0x7FFu << 21) | 2u);

  img->SetBit(kChanSlotBitmapOffset, 33, true);
  EXPECT_TRUE(img->ChanInUse(33));
  EXPECT_EQ(img->U32(kChanSlotBitmapOffset + 4), 2u);
  img->SetBit(kChanSlotBitmapOffset, 33, false);
  EXPECT_FALSE(img->ChanInUse(33));
  EXPECT_FALSE(img->ChanInUse(8000));
}
