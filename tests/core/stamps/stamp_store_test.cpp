// The stamp store: built-in records from the resource strings, the per-user key made on first
// use (from the machine template or the built-in stamps), the 32-stamp limit, add, change,
// delete and compare, and stored values that are not stamps.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/stamps/stamp_store.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/printer_fixture.h"

using namespace printer_test;

namespace {

class StampStore : public UserStoreTest {
 protected:
  static StampRecord Record(const char16_t* name, const char16_t* text) {
    StampRecord r{};
    lstrcpynW(r.name, name, kStampNameChars);
    lstrcpynW(r.text, text, kStampTextChars);
    r.color = 0x00123456;
    r.colorChoice = 8;
    r.position = 0x0103;
    r.font.lfHeight = 40;
    r.font.lfWeight = 400;
    r.font.lfQuality = 2;
    lstrcpyW(r.font.lfFaceName, u"Mono");
    return r;
  }
  static std::vector<BYTE> Bytes(const StampRecord& r) {
    std::vector<BYTE> bytes(kStampRecordBytes);
    EncodeStampRecord(&r, bytes.data());
    return bytes;
  }
  // The value names of the user's stamps key, in order.
  static std::vector<std::u16string> ValueNames(const std::u16string& path) {
    std::vector<std::u16string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
      WCHAR name[300];
      DWORD size = 300;
      if (RegEnumValueW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.push_back(name);
    }
    RegCloseKey(key);
    return names;
  }
  const std::vector<std::u16string> kBuiltIns{u"Confidential", u"Draft", u"Copy", u"Urgent", u"Approved", u"Final"};
};

TEST_F(StampStore, BuiltInRecordsComeFromTheResourceStrings) {
  StampRecord r{};
  ASSERT_TRUE(LoadBuiltInStampRecord(&r, GetStampRow(3)));
  EXPECT_EQ(std::u16string(r.name), u"Copy");
  EXPECT_EQ(std::u16string(r.text), u"COPY");
  EXPECT_EQ(r.color, 0x000033FFu);
  EXPECT_EQ(r.colorChoice, 1);
  EXPECT_EQ(r.lightFlag, 0u);
  EXPECT_EQ(r.frameKind, 1);
  EXPECT_EQ(r.position, 0x0301);
  EXPECT_EQ(r.font.lfHeight, 60);
  EXPECT_EQ(r.font.lfEscapement, 900);
  EXPECT_EQ(r.font.lfOrientation, 900);
  EXPECT_EQ(r.font.lfWeight, 700);
  EXPECT_EQ(r.font.lfCharSet, 1);
  EXPECT_EQ(r.font.lfQuality, 2);
  EXPECT_EQ(std::u16string(r.font.lfFaceName), u"Serif One");
  // A missing string becomes "Undefined" (the sixth stamp's text).
  ASSERT_TRUE(LoadBuiltInStampRecord(&r, GetStampRow(6)));
  EXPECT_EQ(std::u16string(r.text), u"Undefined");
  EXPECT_EQ(GetStampRow(7), nullptr);
  EXPECT_EQ(GetStampRow(-1), nullptr);

  LOGFONTW font{};
  ASSERT_TRUE(LoadDefaultFontRecord(&font));
  EXPECT_EQ(font.lfHeight, -12);
  EXPECT_EQ(font.lfWeight, 400);
  EXPECT_EQ(std::u16string(font.lfFaceName), u"Sans Two");

  EXPECT_EQ(IsBuiltInStampName(u"Draft"), 1);
  EXPECT_EQ(IsBuiltInStampName(u"Default Stamp"), 0);  // the default is not one of the six
  EXPECT_EQ(IsBuiltInStampName(nullptr), 0);
  EXPECT_EQ(LoadBuiltInStampByName(u"Nope", &r), kStampNoKey);

  DWORD count = 0, size = 0;
  EXPECT_EQ(GetBuiltInStampNames(nullptr, &count, &size), kStampBufferTooSmall);
  const DWORD needed = 2 * (13 + 6 + 5 + 7 + 9 + 6) + 2;
  EXPECT_EQ(size, needed);
  std::vector<WCHAR> names(needed / 2, u'x');
  size = needed - 2;
  EXPECT_EQ(GetBuiltInStampNames(names.data(), &count, &size), kStampBufferTooSmall);
  EXPECT_EQ(names[0], u'x');
  EXPECT_EQ(GetBuiltInStampNames(names.data(), &count, &size), kStampDone);
  EXPECT_EQ(count, 6u);
  EXPECT_EQ(std::u16string(names.data(), names.size()),
            std::u16string(u"Confidential\0Draft\0Copy\0Urgent\0Approved\0Final\0\0", needed / 2));
}

TEST_F(StampStore, StoredFormIsLittleEndianFieldByField) {
  StampRecord r = Record(u"Mine", u"TEXT");
  r.lightFlag = 0x01020304;
  r.repeatFlag = 1;
  r.font.lfEscapement = -450;
  std::vector<BYTE> b = Bytes(r);
  EXPECT_EQ(b[0], 'M');
  EXPECT_EQ(b[1], 0);
  EXPECT_EQ(b[66], 'T');
  EXPECT_EQ((std::vector<BYTE>(b.begin() + 196, b.begin() + 216)),
            (std::vector<BYTE>{0x56, 0x34, 0x12, 0, 8, 0, 0, 0, 4, 3, 2, 1, 0, 0, 3, 1, 1, 0, 0, 0}));
  EXPECT_EQ((std::vector<BYTE>(b.begin() + 224, b.begin() + 228)), (std::vector<BYTE>{0x3E, 0xFE, 0xFF, 0xFF}));
  EXPECT_EQ(b[216 + 26], 2);  // lfQuality
  EXPECT_EQ(b[216 + 28], 'M');
  StampRecord back{};
  ASSERT_TRUE(DecodeStampRecord(b.data(), kStampRecordBytes, &back));
  EXPECT_EQ(std::memcmp(&back, &r, sizeof r), 0);
  EXPECT_FALSE(DecodeStampRecord(b.data(), kStampRecordBytes - 1, &back));
  // A name without its terminator inside the field is not a stamp name.
  for (int i = 0; i < kStampNameChars; ++i) b[2 * i] = 'n';
  EXPECT_FALSE(DecodeStampRecord(b.data(), kStampRecordBytes, &back));
}

TEST_F(StampStore, FirstUseWritesTheBuiltInStampsAndVersion) {
  DWORD count = 0;
  ASSERT_EQ(CountUserStamps(printer_, &count), kStampDone);
  EXPECT_EQ(count, 6u);
  EXPECT_EQ(ValueNames(UserPath(u"Stamps")), kBuiltIns);
  EXPECT_EQ(Dump(UserPath(u"Stamps\\Others")),
            "[HKEY_CURRENT_USER\\" + Utf8(UserPath(u"Stamps\\Others")) + "]\n"
            "\"Stamp Version\" = REG_SZ \"0.01\"\n");
  DWORD type = 0;
  std::vector<BYTE> data;
  ASSERT_TRUE(SimRegistryReadValue(HKEY_CURRENT_USER, UserPath(u"Stamps\\Others").c_str(), u"Stamp Version", type, data));
  EXPECT_EQ(data.size(), 8u);  // four characters, no terminator
  ASSERT_TRUE(SimRegistryReadValue(HKEY_CURRENT_USER, UserPath(u"Stamps").c_str(), u"Draft", type, data));
  EXPECT_EQ(type, DWORD(REG_BINARY));
  StampRecord draft{};
  LoadBuiltInStampRecord(&draft, GetStampRow(2));
  EXPECT_EQ(data, Bytes(draft));

  DWORD size = 200;
  std::vector<WCHAR> names(100);
  ASSERT_EQ(GetStampNames(printer_, names.data(), &count, &size), kStampDone);
  EXPECT_EQ(count, 6u);
  EXPECT_EQ(size, 2u * (13 + 6 + 5 + 7 + 9 + 6) + 2);
}

TEST_F(StampStore, FirstUseCopiesTheMachineTemplate) {
  StampRecord company = Record(u"Company", u"ACME");
  std::vector<BYTE> bytes = Bytes(company);
  SimRegistrySeedValue(HKEY_LOCAL_MACHINE, MachinePath(u"Stamps").c_str(), u"Company", REG_BINARY, bytes.data(),
                       kStampRecordBytes);
  SimRegistrySeedString(HKEY_LOCAL_MACHINE, MachinePath(u"Stamps\\Others").c_str(), u"Stamp Version", u"0.01");
  EXPECT_EQ(FindUserStamp(printer_, u"Company"), kStampDone);
  EXPECT_EQ(ValueNames(UserPath(u"Stamps")), std::vector<std::u16string>{u"Company"});
  EXPECT_TRUE(SimRegistryKeyExists(HKEY_CURRENT_USER, UserPath(u"Stamps\\Others").c_str()));
  // The built-in stamps are still answered by name, from the tables.
  StampRecord r{};
  EXPECT_EQ(FindUserStamp(printer_, u"Draft"), kStampBuiltIn);
  EXPECT_EQ(LoadStampRecord(printer_, u"Draft", &r, TRUE), kStampDone);
  EXPECT_EQ(std::u16string(r.text), u"DRAFT");
}

TEST_F(StampStore, AddChangeDeleteAndTheLimit) {
  StampRecord mine = Record(u"Mine", u"MINE");
  EXPECT_EQ(CanAddUserStamp(printer_, u"Mine"), kStampDone);
  EXPECT_EQ(CanAddUserStamp(printer_, nullptr), kStampDone);
  EXPECT_EQ(CanAddUserStamp(printer_, u"Copy"), kStampNameExists);
  EXPECT_EQ(DeleteUserStamp(printer_, u"Copy"), kStampBuiltIn);
  ASSERT_EQ(StoreUserStamp(printer_, &mine), kStampDone);
  EXPECT_EQ(CanAddUserStamp(printer_, u"Mine"), kStampNameExists);
  EXPECT_EQ(FindUserStamp(printer_, u"Mine"), kStampDone);
  EXPECT_EQ(CompareUserStamp(printer_, &mine), kStampDone);
  StampRecord quality = mine;
  quality.font.lfQuality = 5;  // quality is not compared
  EXPECT_EQ(CompareUserStamp(printer_, &quality), kStampDone);
  StampRecord changed = mine;
  changed.font.lfItalic = 1;
  EXPECT_EQ(CompareUserStamp(printer_, &changed), kStampDiffers);
  StampRecord other = Record(u"Other", u"X");
  EXPECT_EQ(CompareUserStamp(printer_, &other), kStampNotStored);

  // 26 user stamps beside the six built-in copies fill the key.
  for (int i = 1; i < 26; ++i) {
    StampRecord r = Record((u"User " + std::u16string(1, char16_t(u'A' + i))).c_str(), u"T");
    ASSERT_EQ(StoreUserStamp(printer_, &r), kStampDone) << i;
  }
  DWORD count = 0;
  ASSERT_EQ(CountUserStamps(printer_, &count), kStampDone);
  EXPECT_EQ(count, 32u);
  EXPECT_EQ(CanAddUserStamp(printer_, u"New"), kStampKeyFull);
  StampRecord fresh = Record(u"New", u"N");
  const std::string full = Dump(UserPath(u"Stamps"));
  EXPECT_EQ(StoreUserStamp(printer_, &fresh), kStampKeyFull);
  EXPECT_EQ(Dump(UserPath(u"Stamps")), full);
  // An existing name is replaced even when the key is full.
  ASSERT_EQ(StoreUserStamp(printer_, &changed), kStampDone);
  EXPECT_EQ(CompareUserStamp(printer_, &changed), kStampDone);
  ASSERT_EQ(CountUserStamps(printer_, &count), kStampDone);
  EXPECT_EQ(count, 32u);
  StampRecord loaded{};
  ASSERT_EQ(LoadStampRecord(printer_, u"Mine", &loaded, FALSE), kStampDone);
  EXPECT_EQ(loaded.font.lfItalic, 1);

  // At most 32 names are listed; a small buffer gets the size it needs.
  DWORD size = 4;
  std::vector<WCHAR> names(2);
  EXPECT_EQ(GetStampNames(printer_, names.data(), &count, &size), kStampBufferTooSmall);
  EXPECT_EQ(count, 32u);

  ASSERT_EQ(DeleteUserStamp(printer_, u"Mine"), kStampDone);
  EXPECT_EQ(DeleteUserStamp(printer_, u"Mine"), kStampBadArgument);
  EXPECT_EQ(FindUserStamp(printer_, u"Mine"), kStampBadArgument);
  EXPECT_EQ(StoreUserStamp(printer_, &fresh), kStampDone);
}

TEST_F(StampStore, LoadingFallsBackToBuiltInAndDefaultStamps) {
  StampRecord r{};
  ASSERT_EQ(LoadStampRecord(printer_, nullptr, &r, FALSE), kStampDone);
  EXPECT_EQ(std::u16string(r.name), u"Default Stamp");
  EXPECT_EQ(r.font.lfWeight, 700);
  ASSERT_EQ(LoadStampRecord(printer_, u"Unknown", &r, TRUE), kStampDone);
  EXPECT_EQ(std::u16string(r.name), u"Default Stamp");
  EXPECT_EQ(LoadStampRecord(printer_, u"Unknown", &r, FALSE), kStampBadArgument);
  EXPECT_EQ(LoadStampRecord(printer_, u"Urgent", nullptr, FALSE), kStampBadArgument);
  // Without a per-user key (a printer without its model database) the built-in stamps answer
  // by name.
  ASSERT_EQ(LoadStampRecord(bare_, u"Urgent", &r, FALSE), kStampDone);
  EXPECT_EQ(std::u16string(r.text), u"URGENT");
  EXPECT_EQ(LoadStampRecord(bare_, u"Unknown", &r, FALSE), kStampNoKey);
  DWORD count = 0, size = 0;
  EXPECT_EQ(GetStampNames(bare_, nullptr, &count, &size), kStampBufferTooSmall);
  EXPECT_EQ(count, 6u);
  EXPECT_EQ(FindUserStamp(bare_, u"Mine"), kStampBadArgument);
}

TEST_F(StampStore, ValuesThatAreNotStampsAreSkipped) {
  const std::u16string path = UserPath(u"Stamps");
  DWORD count = 0;
  ASSERT_EQ(CountUserStamps(printer_, &count), kStampDone);  // creates the key
  // Oversized and long-named values come first and must not stop the walk.
  std::vector<BYTE> big(400, 0);
  SimRegistrySeedValue(HKEY_CURRENT_USER, path.c_str(), u"Big", REG_BINARY, big.data(), DWORD(big.size()));
  SimRegistrySeedValue(HKEY_CURRENT_USER, path.c_str(), std::u16string(80, u'L').c_str(), REG_BINARY,
                       Bytes(Record(u"Long", u"L")).data(), kStampRecordBytes);
  // A short binary value whose bytes start with a name.
  const BYTE shortName[6] = {'S', 0, 'h', 0, 0, 0};
  SimRegistrySeedValue(HKEY_CURRENT_USER, path.c_str(), u"Short", REG_BINARY, shortName, 6);
  // A string value whose data is a stamp's name: it blocks the name but is no stamp.
  SimRegistrySeedString(HKEY_CURRENT_USER, path.c_str(), u"Text", u"Ghost");
  StampRecord mine = Record(u"Mine", u"MINE");
  ASSERT_EQ(StoreUserStamp(printer_, &mine), kStampDone);

  EXPECT_EQ(FindUserStamp(printer_, u"Mine"), kStampDone);
  EXPECT_EQ(FindUserStamp(printer_, u"Long"), kStampBadArgument);
  EXPECT_EQ(FindUserStamp(printer_, u"Sh"), kStampBadArgument);
  EXPECT_EQ(CanAddUserStamp(printer_, u"Sh"), kStampNameExists);
  EXPECT_EQ(CanAddUserStamp(printer_, u"Ghost"), kStampNameExists);
  EXPECT_EQ(FindUserStamp(printer_, u"Ghost"), kStampBadArgument);
  ASSERT_EQ(CountUserStamps(printer_, &count), kStampDone);
  EXPECT_EQ(count, 10u);  // every binary value counts: six built-in copies, "Big", the long name, "Short", "Mine"
  DWORD size = 400;
  std::vector<WCHAR> names(200);
  ASSERT_EQ(GetStampNames(printer_, names.data(), &count, &size), kStampDone);
  EXPECT_EQ(count, 7u);  // only real stamps have names to list
}

TEST_F(StampStore, FailedStepsLeaveTheStoreAsItWas) {
  // Creating the key fails part-way: nothing is left behind, and the next use starts afresh.
  SimFailCall("RegSetValueExW", ERROR_ACCESS_DENIED, 4);  // the third built-in stamp
  DWORD count = 0;
  EXPECT_EQ(CountUserStamps(printer_, &count), kStampNoKey);
  EXPECT_FALSE(SimRegistryKeyExists(HKEY_CURRENT_USER, UserPath(u"Stamps").c_str()));
  ASSERT_EQ(CountUserStamps(printer_, &count), kStampDone);
  EXPECT_EQ(count, 6u);

  // A template that cannot be copied leaves no user key.
  ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, UserPath(u"Stamps\\Others").c_str()), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, UserPath(u"Stamps").c_str()), ERROR_SUCCESS);
  SimRegistrySeedValue(HKEY_LOCAL_MACHINE, MachinePath(u"Stamps").c_str(), u"Company", REG_BINARY,
                       Bytes(Record(u"Company", u"C")).data(), kStampRecordBytes);
  SimFailCall("RegSetValueExW", ERROR_ACCESS_DENIED);
  EXPECT_EQ(FindUserStamp(printer_, u"Company"), kStampNoKey);
  EXPECT_FALSE(SimRegistryKeyExists(HKEY_CURRENT_USER, UserPath(u"Stamps").c_str()));
  EXPECT_EQ(FindUserStamp(printer_, u"Company"), kStampDone);

  // Write, delete and enumeration failures change nothing.
  const std::string before = Dump(UserPath(u"Stamps"));
  StampRecord mine = Record(u"Mine", u"MINE");
  SimFailCall("RegSetValueExW", ERROR_ACCESS_DENIED);
  EXPECT_EQ(StoreUserStamp(printer_, &mine), kStampWriteFailed);
  SimFailCall("RegDeleteValueW", ERROR_ACCESS_DENIED);
  EXPECT_EQ(DeleteUserStamp(printer_, u"Company"), kStampDeleteFailed);
  SimFailCall("RegEnumValueW", ERROR_ACCESS_DENIED);
  EXPECT_EQ(DeleteUserStamp(printer_, u"Company"), kStampDeleteFailed);
  SimFailCall("RegEnumValueW", ERROR_ACCESS_DENIED);
  EXPECT_EQ(StoreUserStamp(printer_, &mine), kStampEnumFailed);
  SimFailCall("RegEnumValueW", ERROR_ACCESS_DENIED);
  EXPECT_EQ(CanAddUserStamp(printer_, u"Mine"), kStampEnumFailed);
  SimFailCall("RegEnumValueW", ERROR_ACCESS_DENIED);
  EXPECT_EQ(CountUserStamps(printer_, &count), kStampEnumFailed);
  EXPECT_EQ(Dump(UserPath(u"Stamps")), before);
  // Bad records are refused before anything is touched.
  StampRecord empty = Record(u"", u"X");
  EXPECT_EQ(StoreUserStamp(printer_, &empty), kStampBadArgument);
  EXPECT_EQ(StoreUserStamp(printer_, nullptr), kStampBadArgument);
  StampRecord unterminated = Record(u"X", u"X");
  for (WCHAR& c : unterminated.name) c = u'n';
  EXPECT_EQ(StoreUserStamp(printer_, &unterminated), kStampBadArgument);
  EXPECT_EQ(Dump(UserPath(u"Stamps")), before);
  // Without the model's database the key cannot be found or made.
  EXPECT_EQ(CountUserStamps(bare_, &count), kStampBadArgument);
  EXPECT_EQ(StoreUserStamp(bare_, &mine), kStampBadArgument);
}

}  // namespace
