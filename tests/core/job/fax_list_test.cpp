// The fax send list: its blob kept with the settings blobs and in printer data (entries in
// reverse list order, read back in list order), the limits of its size and of a blob from
// outside, each destination's attribute line, the lines in a fax model's job header, and the
// bookkeeping of the direct-fax temporary files.
#include <cstring>
#include <vector>

#include "core/job/fax_job_lines.h"
#include "core/job/fax_list.h"
#include "core/job/fax_temp_files.h"
#include "core/persist/settings_blobs.h"
#include "core/system/chunked_printer_data.h"
#include "items/item_ids.h"
#include "items/text_protection.h"
#include "platform/kernel/memory.h"
#include "tests/core/job/job_header_fixture.h"

namespace job_test {
namespace {

template <size_t N>
void SetText(WCHAR (&field)[N], const std::u16string& text) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), std::min(text.size(), N) * sizeof(WCHAR));
}

FaxDestination Destination(const std::u16string& number, WORD dialKind = 0) {
  FaxDestination d{};
  SetText(d.number, number);
  d.dialKind = dialKind;
  return d;
}

// A sheet's list of destinations (copies owned by the list) with its two texts.
struct ListHolder {
  FaxSendList list{};
  explicit ListHolder(const std::vector<FaxDestination>& entries = {}) {
    list.destinations = CreateKeyedList();
    SetText(list.firstText, u"To all branches");
    SetText(list.secondText, u"Quarterly figures");
    // Pushed from the back, so the list reads front to back in the given order.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
      void* copy = GlobalAlloc(GPTR, sizeof(FaxDestination));
      std::memcpy(copy, &*it, sizeof(FaxDestination));
      KeyedListPushFront(list.destinations, 0, kAnySubKey, copy);
    }
  }
  ~ListHolder() { ClearFaxSendList(&list); }
  std::vector<std::u16string> Numbers() {
    std::vector<std::u16string> numbers;
    KeyedListNode* next = nullptr;
    for (void* d = KeyedListFirst(list.destinations, &next); d != nullptr; d = KeyedListNext(next, &next))
      numbers.emplace_back(static_cast<FaxDestination*>(d)->number);
    return numbers;
  }
};

std::vector<BYTE> Blob(const std::vector<FaxDestination>& entries) {
  ListHolder holder(entries);
  std::vector<BYTE> blob(GetFaxRecordSize(DWORD(entries.size())));
  EXPECT_EQ(WriteFaxSendListBlob(blob.data(), DWORD(entries.size()), &holder.list), 1);
  return blob;
}

std::u16string EntryNumber(const std::vector<BYTE>& blob, DWORD n) {
  FaxDestination d{};
  EXPECT_EQ(GetFaxDestination(blob.data(), DWORD(blob.size()), n, &d), 1);
  return d.number;
}

class FaxListTest : public printer_test::SamplePrinterTest {};

TEST_F(FaxListTest, ListRoundTripsThroughPrinterDataInReverseBlobOrder) {
  ListHolder stored({Destination(u"111"), Destination(u"222"), Destination(u"333")});
  BYTE extension[kSettingsExtensionSize] = {};
  extension[100] = 0x5A;
  ASSERT_EQ(StoreFaxSendList(printer_, nullptr, kBlobStorePrinterData, &stored.list, extension, nullptr, 0), 1);

  // The record as kept: the last list entry first.
  BYTE* fax = nullptr;
  BYTE back[kSettingsExtensionSize] = {};
  ASSERT_EQ(LoadDeviceBlobs(printer_, nullptr, kBlobStorePrinterData, &fax, back, nullptr, nullptr), 1);
  ASSERT_NE(fax, nullptr);
  const std::vector<BYTE> blob(fax, fax + GetFaxRecordSize(3));
  GlobalFree(fax);
  EXPECT_EQ(EntryNumber(blob, 0), u"333");
  EXPECT_EQ(EntryNumber(blob, 2), u"111");

  ListHolder loaded;
  ASSERT_EQ(LoadFaxSendList(printer_, nullptr, kBlobStorePrinterData, &loaded.list, back, nullptr, nullptr), 1);
  EXPECT_EQ(loaded.Numbers(), (std::vector<std::u16string>{u"111", u"222", u"333"}));
  EXPECT_EQ(std::u16string(loaded.list.firstText), u"To all branches");
  EXPECT_EQ(std::u16string(loaded.list.secondText), u"Quarterly figures");
  EXPECT_EQ(back[100], 0x5A);
}

TEST_F(FaxListTest, SizeLimitsOfTheStoredList) {
  BYTE extension[kSettingsExtensionSize] = {};
  std::vector<FaxDestination> entries(kFaxMaxDestinations, Destination(u"5"));
  ListHolder largest(entries);
  EXPECT_EQ(StoreFaxSendList(printer_, nullptr, kBlobStorePrinterData, &largest.list, extension, nullptr, 0), 1);
  // One more would not fit the 16-bit size: refused whole, the stored list unchanged.
  entries.push_back(Destination(u"6"));
  ListHolder tooLong(entries);
  EXPECT_EQ(StoreFaxSendList(printer_, nullptr, kBlobStorePrinterData, &tooLong.list, extension, nullptr, 0), 0);
  ListHolder loaded;
  ASSERT_EQ(LoadFaxSendList(printer_, nullptr, kBlobStorePrinterData, &loaded.list, extension, nullptr, nullptr), 1);
  EXPECT_EQ(loaded.Numbers().size(), kFaxMaxDestinations);
  // Neither a printer nor a file, or no extension: nothing is stored.
  EXPECT_EQ(StoreFaxSendList(nullptr, nullptr, kBlobStorePrinterData, &largest.list, extension, nullptr, 0), 0);
  EXPECT_EQ(StoreFaxSendList(printer_, nullptr, kBlobStorePrinterData, &largest.list, nullptr, nullptr, 0), 0);
  // A list asked for more entries than it holds writes no blob.
  std::vector<BYTE> blob(GetFaxRecordSize(2));
  ListHolder one({Destination(u"1")});
  EXPECT_EQ(WriteFaxSendListBlob(blob.data(), 2, &one.list), 0);
}

TEST_F(FaxListTest, DestinationListFromPrinterDataIsCheckedWhole) {
  const std::vector<BYTE> good = Blob({Destination(u"10"), Destination(u"20")});
  ASSERT_EQ(WriteChunkedPrinterData(printer_, u"FaxSendList", good.data(), DWORD(good.size())), 1);
  DWORD count = 0, size = 0;
  BYTE* blob = LoadFaxDestinationList(printer_, 0, nullptr, &count, &size);
  ASSERT_NE(blob, nullptr);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(size, good.size());
  FaxDestination d{};
  EXPECT_EQ(GetFaxDestination(blob, size, 1, &d), 1);
  EXPECT_EQ(std::u16string(d.number), u"10");
  EXPECT_EQ(GetFaxDestination(blob, size, 2, &d), 0);
  GlobalFree(blob);

  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
  };
  std::vector<BYTE> wrongTag = good;
  wrongTag[2] = 'X';
  std::vector<BYTE> countTooLarge = good;
  countTooLarge[kFaxRecordCountOffset] = 3;  // claims a third entry that is not there
  const Case cases[] = {{"wrong tag", wrongTag},
                        {"count beyond the bytes", countTooLarge},
                        {"header cut", std::vector<BYTE>(good.begin(), good.begin() + 1000)}};
  for (const Case& c : cases) {
    ASSERT_EQ(WriteChunkedPrinterData(printer_, u"FaxSendList", c.bytes.data(), DWORD(c.bytes.size())), 1);
    EXPECT_EQ(LoadFaxDestinationList(printer_, 0, nullptr, &count, &size), nullptr) << c.what;
    EXPECT_EQ(LoadFaxDestinationList(nullptr, DWORD(c.bytes.size()), c.bytes.data(), &count, &size), nullptr)
        << c.what;
    EXPECT_EQ(count, 0u);
  }
  // A given blob is copied.
  blob = LoadFaxDestinationList(nullptr, DWORD(good.size()), good.data(), &count, &size);
  ASSERT_NE(blob, nullptr);
  EXPECT_EQ(std::memcmp(blob, good.data(), good.size()), 0);
  GlobalFree(blob);
}

// ---- One destination's line -----------------------------------------------------------------

FaxDialData Dial() {
  FaxDialData dial{};
  SetText(dial.secondPrefix, u"0");
  dial.secondPrefixOn = 1;
  SetText(dial.firstPrefix, u"9");
  dial.firstPrefixOn = 0;
  dial.noPrefixOn = 0;
  return dial;
}

std::string Line(int mode, const FaxDestination& d, BOOL jobAttr = FALSE, int* lengthOut = nullptr) {
  const FaxDialData dial = Dial();
  char buffer[kFaxLineBufferSize];
  int length = 0;
  const int ok = BuildFaxJobAttributes(mode, &d, &dial, sizeof buffer, jobAttr, buffer, &length);
  if (lengthOut != nullptr) *lengthOut = length;
  return ok ? std::string(buffer, length) : "<refused>";
}

TEST(FaxLine, FieldsByDestination) {
  struct Case {
    const char* what;
    FaxDestination d;
    std::string line;
  };
  FaxDestination nameOnly = Destination(u"Head office");
  nameOnly.kind = 1;
  nameOnly.resolution = 9;  // not read for a name-only entry
  FaxDestination listed = Destination(u"5551234", 2);
  listed.optionMode = 2;
  listed.optionCode = 7;
  listed.optionFlag = 1;
  SetText(listed.numberList, u"1,12");
  listed.resolution = 1;
  FaxDestination numbered = Destination(u"5551234", 1);
  numbered.optionMode = 1;
  numbered.optionNumber = 42;
  SetText(numbered.optionText, u"SUB");
  numbered.resolution = 2;
  SetText(numbered.firstComment, u"Urgent");
  SetText(numbered.secondComment, u"Dept 4");
  FaxDestination trailingComma = listed;
  SetText(trailingComma.numberList, u"3,");
  trailingComma.optionFlag = 2;
  const Case cases[] = {
      {"name only", nameOnly, "@FANU='Head office'\r\n"},
      {"no prefix, nothing else", Destination(u"0123"), "@FANU=0123{20}{30}\r\n"},
      {"dial kind 2: prefix 5141, switch on; list 1,12", listed, "@FANU=05551234{10007100010012}{21}{32}\r\n"},
      {"dial kind 1: prefix 5143, switch off; option text and comments", numbered,
       "@FANU=95551234{40042SUB}{20}{34}{5Urgent}{6Dept 4}\r\n"},
      {"an empty last piece; a flag other than 1 writes 0", trailingComma, "@FANU=05551234{1000700003}{21}{32}\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Line(kFaxLinePlain, c.d), c.line) << c.what;
  EXPECT_EQ(Line(kFaxLinePlain, Destination(u"0123"), TRUE), "@PJL SET JOBATTR=\"@FANU=0123{20}{30}\"\r\n");
}

TEST(FaxLine, EncodedLineProtectsOptionTextAndSecondComment) {
  FaxDestination d = Destination(u"777");
  d.optionMode = 1;
  d.optionNumber = 1;
  SetText(d.optionText, u"SUB");
  SetText(d.firstComment, u"Plain");
  SetText(d.secondComment, u"Secret");
  auto encoded = [](const std::u16string& text) {
    LPWSTR out = nullptr;
    EXPECT_EQ(ConvertEncodedText(kConvertEncode, text.c_str(), &out), 1);
    std::string ansi;
    for (LPWSTR p = out; *p; ++p) ansi += static_cast<char>(*p);
    GlobalFree(out);
    return ansi;
  };
  EXPECT_EQ(Line(kFaxLineEncoded, d),
            "@FAEN=777{40001" + encoded(u"SUB") + "}{20}{30}{5Plain}{6" + encoded(u"Secret") + "}\r\n");
}

TEST(FaxLine, RefusedFieldsAndLimits) {
  struct Case {
    const char* what;
    FaxDestination d;
    int length;  // the out length of a refused line
  };
  FaxDestination badList = Destination(u"1");
  badList.optionMode = 2;
  SetText(badList.numberList, u"1,123");
  FaxDestination emptyPiece = badList;
  SetText(emptyPiece.numberList, u"1,,2");
  FaxDestination longList = badList;  // 21 numbers: 84 digits
  SetText(longList.numberList, u"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21");
  FaxDestination badResolution = Destination(u"1");
  badResolution.resolution = 3;
  FaxDestination longNumber = Destination(std::u16string(128, u'8'));  // 128 + {20} + {30}
  FaxDestination longComments = Destination(u"1");
  SetText(longComments.firstComment, std::u16string(20, u'a'));
  SetText(longComments.secondComment, std::u16string(20, u'b'));  // 21 + 21 = 42: fits
  const FaxDestination commentsFit = longComments;
  SetText(longComments.secondComment, std::u16string(20, u'b') + u"c");  // not terminated in its field
  const Case cases[] = {
      {"a three-digit number", badList, 0},     {"an empty piece", emptyPiece, 0},
      {"list above 80 digits", longList, 0},    {"resolution 3", badResolution, 0},
      {"dial fields of 132 bytes", longNumber, -1},
  };
  for (const Case& c : cases) {
    int length = 7;
    EXPECT_EQ(Line(kFaxLinePlain, c.d, FALSE, &length), "<refused>") << c.what;
    EXPECT_EQ(length, c.length) << c.what;
  }
  EXPECT_NE(Line(kFaxLinePlain, commentsFit), "<refused>");
  // A text without its terminator is read to the end of its field only.
  EXPECT_EQ(Line(kFaxLinePlain, longComments),
            "@FANU=1{20}{30}{5" + std::string(20, 'a') + "}{6" + std::string(20, 'b') + "c}\r\n");
  // Without output only the length; a line longer than the capacity is refused.
  const FaxDialData dial = Dial();
  const FaxDestination d = Destination(u"0123");
  int length = 0;
  EXPECT_EQ(BuildFaxJobAttributes(kFaxLinePlain, &d, &dial, 0, FALSE, nullptr, &length), 1);
  EXPECT_EQ(length, 20);
  char small[19];
  EXPECT_EQ(BuildFaxJobAttributes(kFaxLinePlain, &d, &dial, sizeof small, FALSE, small, &length), 0);
  EXPECT_EQ(length, 0);
}

// ---- The lines in a fax model's job header --------------------------------------------------

constexpr char kFaxEntry[] = "jobtemplate 1 item=0 key=\"%FAX\"\njobtemplate 2 item=0 key=\"@END=\" value=\"1\"\n";
constexpr char kFaxModel[] = "section 23 1\nsection 24 4\nsection 25 200\n";

class FaxHeaderTest : public ModelHeaderTest {
 protected:
  void SetUp() override {
    ModelHeaderTest::SetUp();
    if (HasFatalFailure()) return;
    blob_ = Blob({Destination(u"111"), Destination(u"222", 2), Destination(u"333")});
    selection_ = {0, 2, blob_.data(), DWORD(blob_.size())};
    context_.faxSelection = &selection_;
  }
  void Prepare(DWORD features, const char* model = kFaxModel) {
    Open(features, kFaxEntry, model);
    Put(kItemFaxDestinations, 3);
    PutText(kItemFaxSecondPrefix, u"00");
    Put(kItemFaxSecondPrefixOn, 1);
  }
  std::vector<BYTE> blob_;
  FaxSelection selection_{};
};

TEST_F(FaxHeaderTest, OneLinePerSelectedDestinationByFeatures) {
  struct Case {
    DWORD features;
    std::string lines;
  };
  // The blob holds the list's last entry first: entry 0 is "333".
  const Case cases[] = {
      {0, "@FANU=333{20}{30}\r\n@FANU=00222{21}{30}\r\n@FANU=111{20}{30}\r\n"},
      {kFeatureEncodedFax, "@FAEN=333{20}{30}\r\n@FAEN=00222{21}{30}\r\n@FAEN=111{20}{30}\r\n"},
      {kFeatureJobAttrMode,
       "@PJL SET JOBATTR=\"@FANU=333{20}{30}\"\r\n@PJL SET JOBATTR=\"@FANU=00222{21}{30}\"\r\n"
       "@PJL SET JOBATTR=\"@FANU=111{20}{30}\"\r\n"},
  };
  for (const Case& c : cases) {
    Prepare(c.features);
    const HeaderResult header = Build();
    EXPECT_EQ(header.text, kUel + c.lines + "@END=1\n") << c.features;
  }
  Prepare(0);
  selection_.first = selection_.last = 1;
  EXPECT_EQ(Build().text, kUel + "@FANU=00222{21}{30}\r\n@END=1\n");
}

TEST_F(FaxHeaderTest, SelectionsThatWriteNothingOrFail) {
  Prepare(0);
  const std::string none = kUel + "@END=1\n";
  selection_.last = 3;  // not below item 380
  EXPECT_EQ(Build().text, none);
  selection_ = {2, 1, blob_.data(), DWORD(blob_.size())};
  EXPECT_EQ(Build().text, none);
  selection_ = {0, 1, blob_.data(), DWORD(blob_.size())};
  Put(kItemFaxDestinations, 4);  // the blob's count differs from the settings'
  selection_.last = 3;
  EXPECT_EQ(Build().text, none);
  // A printer model (kind 1) writes no fax lines.
  Prepare(0, "section 23 0\n");
  EXPECT_EQ(Build().text, none);
  // A blob that is not whole, or an entry whose line cannot be built, fails the header.
  Prepare(0);
  selection_ = {0, 2, blob_.data(), DWORD(blob_.size()) - 1};
  EXPECT_EQ(Build().code, kJobValueRuleFailed);
  std::vector<BYTE> bad = Blob({Destination(u"1"), Destination(u"2"), Destination(u"3")});
  bad[GetFaxRecordSize(1) + offsetof(FaxDestination, resolution)] = 5;
  selection_ = {0, 2, bad.data(), DWORD(bad.size())};
  EXPECT_EQ(Build().code, kJobValueRuleFailed);
}

}  // namespace
}  // namespace job_test
