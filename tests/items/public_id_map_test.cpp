// The public id map and the UserSettingInfo field lists against the item tables.
#include <gtest/gtest.h>

#include <set>

#include "items/public_id_map.h"
#include "items/user_setting_info.h"

namespace {

TEST(PublicIdMap, RangesHoldTheirPairsAndEveryPairNamesAnItem) {
  const size_t expected[kPublicIdRangeCount] = {25, 47, 48, 48, 48, 16, 64, 1, 42, 42, 32, 78, 156, 8};
  size_t total = 0;
  std::set<PublicItemId> seen;
  SettingsRecord settings{};
  PrinterConfiguration config{};
  for (size_t r = 0; r < kPublicIdRangeCount; ++r) {
    const PublicIdRange& range = PublicIdMap[r];
    EXPECT_EQ(range.pairs.size(), expected[r]) << "range " << r;
    total += range.pairs.size();
    for (const PublicIdPair& pair : range.pairs) {
      EXPECT_TRUE(pair.publicId >= range.first && pair.publicId <= range.last) << pair.publicId;
      EXPECT_TRUE(seen.insert(pair.publicId).second) << pair.publicId;
      ItemLocation location;
      EXPECT_EQ(LocateItem(pair.itemId, &settings, &config, &location), kItemDone) << pair.publicId;
      EXPECT_EQ(MapPublicItemId(pair.publicId), pair.itemId);
    }
  }
  EXPECT_EQ(total, kPublicIdPairCount);
}

TEST(PublicIdMap, LookUps) {
  const struct {
    PublicItemId publicId;
    SettingItemId itemId;
  } cases[] = {{0x001, 0x001}, {0x121, 0x728}, {0x151, 0x725}, {0x1CF, 0x1021}, {0x3C1, 0x544},
               {0x40D, 0x1C8}, {0x44E, 0x144E}, {0x501, 0x2009}, {0x613, 0x173C}, {0x9005, 0x742},
               {0x1020, 0}, {0x502, 0}, {0x5A0, 0}, {0x1C0, 0}, {0x9009, 0}, {0, 0}, {0xFFFF, 0}};
  for (const auto& c : cases) EXPECT_EQ(MapPublicItemId(c.publicId), c.itemId) << c.publicId;
  // The secret range maps to wide-string fields of 34 bytes, one of 58.
  for (const PublicIdPair& pair : PublicIdMap[kSecretRangeIndex].pairs) {
    SettingsRecord settings{};
    PrinterConfiguration config{};
    ItemLocation location;
    ASSERT_EQ(LocateItem(pair.itemId, &settings, &config, &location), kItemDone);
    EXPECT_EQ(location.row->type, kTypeString);
    EXPECT_EQ(location.row->byteLength, pair.publicId == 0x9005 ? 58u : 34u);
  }
}

TEST(UserSettingInfo, FieldsHaveTheTypeAndSizeOfTheirItemsAndDoNotOverlap) {
  const size_t expected[3] = {3, 5, 17};
  DWORD end = 2;  // after the version word
  for (size_t list = 0; list < UserSettingFieldTable.size(); ++list) {
    EXPECT_EQ(UserSettingFieldTable[list].size(), expected[list]);
    for (const ItemLayoutRow& row : UserSettingFieldTable[list]) {
      PrinterConfiguration config{};
      ItemLocation location;
      ASSERT_EQ(LocateItem(row.id, nullptr, &config, &location), kItemDone) << row.id;
      EXPECT_EQ(row.type, location.row->type) << row.id;
      EXPECT_EQ(row.byteLength, GetStoredItemSize(location.row->type, location.row->byteLength)) << row.id;
      EXPECT_GE(row.offset, end) << row.id;
      end = DWORD(row.offset + row.byteLength);
    }
  }
  EXPECT_EQ(end, 978u);
}

TEST(UserSettingInfo, ConvertsVersionsOneTwoAndThree) {
  std::vector<BYTE> in(kUserSettingInfoSize, 0x11), out(kUserSettingInfoSize, 0xEE);
  in[0] = 4, in[1] = 0;
  EXPECT_FALSE(ConvertUserSettingInfo(in.data(), out.data()));
  EXPECT_EQ(out, std::vector<BYTE>(kUserSettingInfoSize, 0xEE));
  in[0] = 3;
  EXPECT_TRUE(ConvertUserSettingInfo(in.data(), out.data()));
  EXPECT_EQ(out, in);
  // Version 2: 556 bytes, the rest of the output as it was.
  std::vector<BYTE> v2(kUserSettingInfoV2Size, 0x22);
  v2[0] = 2, v2[1] = 0;
  out.assign(kUserSettingInfoSize, 0xEE);
  EXPECT_TRUE(ConvertUserSettingInfo(v2.data(), out.data()));
  EXPECT_EQ(out[555], 0x22);
  EXPECT_EQ(out[556], 0xEE);
  // Version 1: six fields moved, the version word and everything else left alone.
  std::vector<BYTE> v1(484);
  for (size_t i = 0; i < v1.size(); ++i) v1[i] = BYTE(i);
  v1[0] = 1, v1[1] = 0;
  out.assign(kUserSettingInfoSize, 0xEE);
  EXPECT_TRUE(ConvertUserSettingInfo(v1.data(), out.data()));
  const struct {
    size_t from, size, to;
  } moved[] = {{72, 66, 432}, {138, 26, 498}, {164, 50, 74}, {214, 10, 124}, {224, 2, 134}, {226, 258, 136}};
  std::vector<BYTE> expected(kUserSettingInfoSize, 0xEE);
  for (const auto& m : moved) std::copy_n(v1.begin() + m.from, m.size, expected.begin() + m.to);
  EXPECT_EQ(out, expected);
}

}  // namespace
