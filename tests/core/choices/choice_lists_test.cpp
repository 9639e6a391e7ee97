// Choice lists as the property sheets get them: the sample model's paper, source, stamp and
// built-in lists with user papers named with their sizes in millimetres and inches; lists of
// models built in-process for icons from the model's pictures, the tray lists' custom size,
// the kind whose third choice has no value and texts in the model's code page; the icon bits of
// a picture; and the lists' accessors.
#include <cstring>
#include <string>
#include <vector>

#include "core/choices/choice_list_build.h"
#include "core/descriptors/builtin_lists.h"
#include "core/pictures/choice_icons.h"
#include "core/runtime/resource_module.h"
#include "items/item_ids.h"
#include "platform/gdi/gdi_sim.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/model_files.h"
#include "tests/support/rule_check_fixture.h"

namespace {

// One choice as a test expects it: its name (nullopt for none), and its number or string.
struct ExpectedChoice {
  LONG index;
  const char16_t* name;  // NULL: the choice has no name
  DWORD number;
  const char16_t* text = nullptr;  // the value of a string list
};

std::u16string Text(LPCWSTR s) { return s == nullptr ? u"<none>" : std::u16string(s); }

class ChoiceListBuildTest : public RuleCheckTest {
 protected:
  ChoiceList* Build(SettingItemId id, const MeasurementFlags& flags, const std::vector<LPCWSTR>& callerList = {},
                    ItemStore* store = nullptr) {
    return BuildChoiceListForItem(printer_, store != nullptr ? store : store_, id, GetResourceModule(),
                                  static_cast<WORD>(callerList.size()), callerList.empty() ? nullptr : callerList.data(),
                                  settings_.get(), config_.get(), &flags);
  }
  // Expects the choices at their indexes, and no icon where none is given.
  static void ExpectChoices(const ChoiceList* list, const std::vector<ExpectedChoice>& choices) {
    for (const ExpectedChoice& c : choices) {
      SCOPED_TRACE(c.index);
      const Choice* choice = GetChoice(list, c.index);
      ASSERT_NE(choice, nullptr);
      EXPECT_EQ(Text(choice->name), c.name == nullptr ? u"<none>" : std::u16string(c.name));
      if (list->type == kTypeString) EXPECT_EQ(Text(static_cast<LPCWSTR>(choice->value.data)), Text(c.text));
      else EXPECT_EQ(choice->value.word, static_cast<WORD>(c.number));
    }
  }
  // Stores a stamp of this name in the printer's stamp store.
  void StoreStamp(const std::u16string& name) {
    StampRecord r{};
    lstrcpyW(r.name, name.c_str());
    lstrcpyW(r.text, u"X");
    ASSERT_EQ(StoreUserStamp(printer_, &r), kStampDone);
  }
  // Writes a value of another type into the stamps key: it is no stamp.
  void StoreForeignStampValue(const std::u16string& name) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, UserPath(u"Stamps").c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    const std::u16string data = name + u" text";
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(2 * data.size() + 2));
    RegCloseKey(key);
  }
};

constexpr MeasurementFlags kMillimetres{0, 0};
constexpr MeasurementFlags kInches{1, 0};
constexpr MeasurementFlags kInchesOneDecimal{1, 1};

TEST_F(ChoiceListBuildTest, SampleListsAsTheSheetsShowThem) {
  // Slot 0 keeps its defaults (A4 and the default name); slot 1 is a postcard named by the user.
  // User paper slot 1 (paper 263) of the sample's paper list.
  SetNumber(kItemUserPaperWidth + 1, kTypeUInt16, 1000);
  SetNumber(kItemUserPaperLength + 1, kTypeUInt16, 1480);
  SetText(kItemUserPaperName + 1, u"Postcard");
  StoreStamp(u"Project X");
  StoreForeignStampValue(u"Not a stamp");

  const struct Case {
    const char* what;
    SettingItemId item;
    MeasurementFlags flags;
    std::vector<LPCWSTR> callerList;
    WORD kind;
    SHORT type;
    LONG count;
    LPCWSTR name;
    std::vector<ExpectedChoice> choices;
  } cases[] = {
      {"papers in millimetres", 8, kMillimetres, {}, 1, kTypeInt16, 37, u"Paper Size",
       {{0, u"Letter", 1}, {7, u"A4", 9}, {34, u"Custom Size", 256},
        {35, u"Custom Paper 1 210 x 297 mm", 262}, {36, u"Postcard 100 x 148 mm", 263}}},
      {"papers in inches", 8, kInches, {}, 1, kTypeInt16, 37, u"Paper Size",
       {{7, u"A4", 9}, {35, u"Custom Paper 1 8.27 x 11.69 in", 262}, {36, u"Postcard 3.94 x 5.83 in", 263}}},
      {"papers in inches, one decimal dropped not rounded", 8, kInchesOneDecimal, {}, 1, kTypeInt16, 37,
       u"Paper Size", {{35, u"Custom Paper 1 8.2 x 11.6 in", 262}, {36, u"Postcard 3.9 x 5.8 in", 263}}},
      {"output paper", 262, kMillimetres, {}, 1, kTypeUInt16, 4, u"Output Paper",
       {{0, u"Same as Paper Size", 267}, {1, u"A4", 9}, {2, u"Letter", 1}, {3, u"A3", 8}}},
      {"public sources", 13, kMillimetres, {}, 1, kTypeInt16, 8, u"Paper Source",
       {{0, u"Auto Select", 7}, {1, u"Tray 1", 1}, {2, u"Tray 2", 2}, {3, u"Tray 3", 3}, {4, u"Tray 4", 257},
        {5, u"Large Capacity Tray", 11}, {6, u"Bypass Tray", 4}, {7, u"Envelope Feeder", 5}}},
      {"driver sources with library names", 265, kMillimetres, {}, 1, kTypeUInt16, 8, u"Paper Source",
       {{0, u"Auto Select", 7}, {3, u"Tray 3", 265}, {4, u"Tray 4", 266}, {7, u"Envelope Feeder", 260}}},
      {"stamps: none, the built-in copies, the stored one", 298, kMillimetres, {}, 2, kTypeString, 8, nullptr,
       {{0, u"No Stamp", 0, u""}, {1, u"Confidential", 0, u"Confidential"}, {2, u"Draft", 0, u"Draft"},
        {3, u"Copy", 0, u"Copy"}, {4, u"Urgent", 0, u"Urgent"}, {5, u"Approved", 0, u"Approved"},
        {6, u"Final", 0, u"Final"}, {7, u"Project X", 0, u"Project X"}}},
      {"copies: a built-in range", 12, kMillimetres, {}, 4, kTypeInt16, 3, nullptr,
       {{0, nullptr, 1}, {1, nullptr, 999}, {2, nullptr, 1}}},
      {"the page's strings", 305, kMillimetres, {u"Alpha", u"Beta"}, 2, kTypeString, 2, nullptr,
       {{0, u"Alpha", 0, u"Alpha"}, {1, u"Beta", 0, u"Beta"}}},
      {"orientation: data blocks that name no picture", 7, kMillimetres, {}, 1, kTypeInt16, 2, u"Orientation",
       {{0, u"Portrait", 1}, {1, u"Landscape", 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int blocks = SimLiveGlobalBlocks();
    ChoiceList* list = Build(c.item, c.flags, c.callerList);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->id, c.item);
    EXPECT_EQ(list->kind, c.kind);
    EXPECT_EQ(list->type, c.type);
    EXPECT_EQ(GetChoiceCount(list), c.count);
    EXPECT_EQ(Text(list->name), Text(c.name));
    ExpectChoices(list, c.choices);
    // The sample's data blocks name no picture of the model: no icons.
    for (LONG i = 0; i < list->count; ++i) EXPECT_EQ(GetChoiceIcon(list, i), nullptr);
    // Nothing else is in the list: the value that is no stamp is left out.
    EXPECT_EQ(FindChoiceByName(list, u"Not a stamp"), nullptr);
    EXPECT_EQ(FreeChoiceList(list), 1);
    EXPECT_EQ(SimLiveGlobalBlocks(), blocks);
    EXPECT_EQ(SimLiveGdiObjects(), 0);
  }
}

TEST_F(ChoiceListBuildTest, ListsThatCannotBeBuilt) {
  const int blocks = SimLiveGlobalBlocks();
  EXPECT_EQ(Build(305, kMillimetres), nullptr);   // the page passed no strings
  EXPECT_EQ(Build(15, kMillimetres), nullptr);    // its rule offers no list
  EXPECT_EQ(Build(1313, kMillimetres), nullptr);  // no list in the database
  EXPECT_EQ(Build(0x7FFF, kMillimetres), nullptr);  // no descriptor
  // A failed allocation on the way leaves nothing behind.
  for (int n = 1; n <= 6; ++n) {
    SimFailNthAllocation(n);
    ChoiceList* list = Build(8, kMillimetres);
    FreeChoiceList(list);
    SimFailNthAllocation(0);
  }
  EXPECT_EQ(SimLiveGlobalBlocks(), blocks);
  // The stamp list without a resource module to name its first choice.
  EXPECT_EQ(BuildChoiceListForItem(printer_, store_, kItemStampChoice, nullptr, 0, nullptr, settings_.get(),
                                   config_.get(), &kMillimetres),
            nullptr);
  EXPECT_EQ(SimLiveGlobalBlocks(), blocks);
}

TEST_F(ChoiceListBuildTest, HeaderAloneWithItsExtraData) {
  StoreStamp(u"Project X");
  void* extra = nullptr;
  const ItemDescriptor* descriptor = nullptr;
  ChoiceList* header =
      BuildChoiceListHeader(&extra, &descriptor, printer_, store_, kItemStampChoice, GetResourceModule(), 0);
  ASSERT_NE(header, nullptr);
  ASSERT_NE(descriptor, nullptr);
  EXPECT_EQ(descriptor->id, 298);
  ASSERT_NE(extra, nullptr);
  EXPECT_EQ(static_cast<StampNameList*>(extra)->count, 7);
  EXPECT_EQ(header->count, 8);
  EXPECT_EQ(header->choices, nullptr);
  FreeItemExtraList(extra);
  FreeChoiceList(header);
  header = BuildChoiceListHeader(&extra, &descriptor, printer_, store_, kItemPaperSize, GetResourceModule(), 0);
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(extra, nullptr);
  EXPECT_EQ(header->count, 37);
  FreeChoiceList(header);
  // An item without a list is told from a failure.
  const struct {
    SettingItemId id;
    int failAllocation;
    bool failed;
  } missing[] = {{1313, 0, false}, {15, 0, false}, {0x7FFF, 0, false}, {8, 1, true}, {8, 2, true}};
  for (const auto& m : missing) {
    SCOPED_TRACE(m.id);
    bool failed = !m.failed;
    SimFailNthAllocation(m.failAllocation);
    EXPECT_EQ(BuildChoiceListHeader(&extra, &descriptor, printer_, store_, m.id, GetResourceModule(), 0, &failed),
              nullptr);
    SimFailNthAllocation(0);
    EXPECT_EQ(failed, m.failed);
    EXPECT_EQ(extra, nullptr);
  }
}

TEST_F(ChoiceListBuildTest, AccessorsAndSearchByName) {
  ChoiceList* list = Build(8, kMillimetres);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(GetChoice(list, -1), nullptr);
  EXPECT_EQ(GetChoice(list, 37), nullptr);
  EXPECT_EQ(GetChoiceEntry(list, 36), GetChoice(list, 36));
  EXPECT_EQ(GetChoiceName(nullptr, 0), nullptr);
  EXPECT_EQ(GetChoicePalette(list, 0), nullptr);
  EXPECT_EQ(Text(GetChoiceName(list, 2)), u"Ledger");
  const struct {
    LPCWSTR text;
    LONG index;  // -1: none
  } searches[] = {
      {u"Custom Paper 1", 35},                // a user paper's name finds it with its size after it
      {u"Custom Paper 1 210 x 297 mm", 35},   // as does its whole name
      {u"Envelope", 14},                      // the first in list order wins
      {u"A4", 7},
      {u"a4", -1},                            // case counts
      {u"Letter paper", -1},                  // a longer text is no prefix
  };
  for (const auto& s : searches) {
    SCOPED_TRACE(Utf16ToUtf8(s.text));
    EXPECT_EQ(FindChoiceByName(list, s.text), s.index < 0 ? nullptr : GetChoice(list, s.index));
  }
  EXPECT_EQ(FindChoiceByName(list, nullptr), nullptr);
  EXPECT_EQ(FindChoiceByName(nullptr, u"A4"), nullptr);
  FreeChoiceList(list);
}

// A packed DIB of an icon: header, colour table, colour rows and mask rows bottom-up. Pixel
// (x, y) from the top takes colour index (x + y) % colours; the mask sets the left half.
std::vector<BYTE> IconDib(LONG width, LONG height, WORD bits, DWORD used = 0, LONG headerHeight = 0) {
  const DWORD colours = bits <= 8 ? (used != 0 ? used : 1u << bits) : 0;
  const DWORD colourRow = (width * bits + 31) / 32 * 4, maskRow = (width + 31) / 32 * 4;
  std::vector<BYTE> dib(40 + colours * 4 + (colourRow + maskRow) * height, 0);
  BITMAPINFOHEADER h{40, width, headerHeight != 0 ? headerHeight : 2 * height, 1, bits, 0, 0, 0, 0, used, 0};
  std::memcpy(dib.data(), &h, sizeof h);
  for (DWORD i = 0; i < colours; ++i) {
    dib[40 + 4 * i] = static_cast<BYTE>(i);           // blue
    dib[40 + 4 * i + 1] = static_cast<BYTE>(2 * i);   // green
    dib[40 + 4 * i + 2] = static_cast<BYTE>(255 - i);  // red
  }
  BYTE* colour = dib.data() + 40 + colours * 4;
  BYTE* mask = colour + colourRow * height;
  for (LONG y = 0; y < height; ++y) {
    BYTE* row = colour + colourRow * (height - 1 - y);
    for (LONG x = 0; x < width; ++x) {
      const DWORD index = colours != 0 ? (x + y) % colours : 0;
      switch (bits) {
        case 1: row[x / 8] |= static_cast<BYTE>(index << (7 - x % 8)); break;
        case 4: row[x / 2] |= static_cast<BYTE>(index << (x % 2 == 0 ? 4 : 0)); break;
        case 8: row[x] = static_cast<BYTE>(index); break;
        default: row[x * (bits / 8)] = static_cast<BYTE>(x), row[x * (bits / 8) + 2] = static_cast<BYTE>(y); break;
      }
    }
    BYTE* maskRowBytes = mask + maskRow * (height - 1 - y);
    for (LONG x = 0; x < width / 2; ++x) maskRowBytes[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    maskRowBytes[maskRow - 1] |= static_cast<BYTE>(y);  // marks the row, to see the order
  }
  return dib;
}

TEST(ChoiceIconTest, BitsOfAPictureTopDownInTheDisplayFormat) {
  const struct {
    const char* what;
    LONG width, height;
    WORD bits;
  } cases[] = {{"4-bit 32 x 32", 32, 32, 4}, {"8-bit 16 x 16", 16, 16, 8}, {"1-bit 12 x 16", 12, 16, 1},
               {"24-bit 16 x 12", 16, 12, 24}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<BYTE> dib = IconDib(c.width, c.height, c.bits);
    IconBits bits;
    ASSERT_TRUE(ReadIconBitsFromDib(dib.data(), static_cast<DWORD>(dib.size()), &bits));
    EXPECT_EQ(bits.width, c.width);
    EXPECT_EQ(bits.height, c.height);
    const size_t colourRow = c.width * 4, maskRow = (c.width + 15) / 16 * 2;
    ASSERT_EQ(bits.colour.size(), colourRow * c.height);
    ASSERT_EQ(bits.mask.size(), maskRow * c.height);
    for (LONG y = 0; y < c.height; ++y) {
      for (LONG x = 0; x < c.width; ++x) {
        const BYTE* pixel = &bits.colour[colourRow * y + 4 * x];
        if (c.bits <= 8) {
          const BYTE index = static_cast<BYTE>((x + y) % (1u << c.bits));
          EXPECT_EQ(pixel[0], index);
          EXPECT_EQ(pixel[1], static_cast<BYTE>(2 * index));
          EXPECT_EQ(pixel[2], static_cast<BYTE>(255 - index));
        } else {
          EXPECT_EQ(pixel[0], static_cast<BYTE>(x));
          EXPECT_EQ(pixel[2], static_cast<BYTE>(y));
        }
        EXPECT_EQ(pixel[3], 0);
        const bool masked = (bits.mask[maskRow * y + x / 8] & (0x80 >> (x % 8))) != 0;
        if (x < c.width / 2) {
          EXPECT_TRUE(masked) << x << "," << y;
        }
      }
    }
    // The mask's rows come top-down: the 32-bit rows' last byte marks them (for 32 pixels the
    // whole row is kept).
    if (c.width == 32) {
      EXPECT_EQ(bits.mask[maskRow * 5 + 3], 5);
    }
  }
  // The picture is read, not changed: its height stays doubled.
  const std::vector<BYTE> dib = IconDib(16, 16, 4);
  IconBits bits;
  ASSERT_TRUE(ReadIconBitsFromDib(dib.data(), static_cast<DWORD>(dib.size()), &bits));
  EXPECT_EQ(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())->biHeight, 32);
}

TEST(ChoiceIconTest, PicturesThatAreRefused) {
  auto compressed = IconDib(16, 16, 4);
  compressed[16] = 2;
  auto coreHeader = IconDib(16, 16, 4);
  coreHeader[0] = 12;
  const auto whole = IconDib(16, 16, 4);
  const std::vector<BYTE> headerOnly(whole.begin(), whole.begin() + 40);
  const struct {
    const char* what;
    std::vector<BYTE> dib;
    DWORD cut;  // bytes taken off the end
  } cases[] = {
      {"a mask byte missing", IconDib(16, 16, 4), 1},
      {"only the header", headerOnly, 0},
      {"33 pixels wide", IconDib(33, 16, 4), 0},
      {"taller than 32", IconDib(16, 33, 4), 0},
      {"an odd height", IconDib(16, 16, 4, 0, 31), 0},
      {"16 bits per pixel", IconDib(16, 16, 16), 0},
      {"more colours than 4 bits hold", IconDib(16, 16, 4, 17), 0},
      {"compressed", compressed, 0},
      {"a core header", coreHeader, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    IconBits bits;
    EXPECT_FALSE(ReadIconBitsFromDib(c.dib.data(), static_cast<DWORD>(c.dib.size() - c.cut), &bits));
    HICON icon = reinterpret_cast<HICON>(1);
    HPALETTE palette = reinterpret_cast<HPALETTE>(1);
    EXPECT_FALSE(CreateIconFromDib(nullptr, c.dib.data(), static_cast<DWORD>(c.dib.size() - c.cut), &icon, &palette));
    EXPECT_EQ(icon, nullptr);
    EXPECT_EQ(palette, nullptr);
    EXPECT_EQ(SimLiveGdiObjects(), 0);
  }
}

// A model built in-process: icons from its pictures, a tray paper list, a list whose third
// choice keeps no value, and names in its code page. The picture texts are filled in by the test.
std::string ListModel(int codePage, const std::string& paperName, const std::string& listName,
                      const std::string& pictures) {
  return "model \"Lists\"\nversion \"T:1.0.0\"\nlevel 0x1600\ncodepage " + std::to_string(codePage) +
         "\n"
         "list 8 name=\"" + listName + "\" kind=1 default=1 choices=[1 2 3]\n"
         "choice 1 name=\"" + paperName + "\" value=i16:9 block=1\n"
         "choice 2 name=\"User\" value=i16:262 block=2\n"
         "choice 3 name=\"Broken picture\" value=i16:11 block=3\n"
         "list 6145 name=\"Tray 1 Paper\" kind=1 default=1 choices=[4 5]\n"
         "choice 4 name=\"A4\" value=u16:9\n"
         "choice 5 name=\"Custom\" value=u16:275\n"
         "list 6151 name=\"Bypass Paper\" kind=1 default=1 choices=[6 7]\n"
         "choice 6 name=\"A4\" value=u16:9\n"
         "choice 7 name=\"Custom\" value=u16:275\n"
         "list 274 name=\"Brightness\" kind=6 default=1 choices=[8 9 10]\n"
         "choice 8 name=\"Low\" value=i16:-3\n"
         "choice 9 name=\"High\" value=i16:3\n"
         "choice 10 name=\"Step\" value=i16:1\n"
         "list 272 name=\"Empty\" kind=1 default=0 choices=[]\n"
         "datablock 1 data=hex:0100\n"
         "datablock 2 data=hex:0200\n"
         "datablock 3 data=hex:0300\n" +
         pictures;
}

std::string Hex(const std::vector<BYTE>& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (BYTE b : bytes) out += {digits[b >> 4], digits[b & 15]};
  return out;
}

// A picture record holding a DIB after the 14-byte file header the reader skips.
std::string PictureRecord(int key, const std::vector<BYTE>& dib) {
  return "picture " + std::to_string(key) + " kind=1 width=16 height=16 bitmap=hex:" +
         Hex(std::vector<BYTE>(14, 0)) + Hex(dib) + "\n";
}

TEST_F(ChoiceListBuildTest, ListsOfModelsBuiltInProcess) {
  // Pictures 1 and 2 are a 4-bit and an 8-bit icon (the 8-bit one with its palette); picture 3
  // is a 1-bit icon, or one too wide to be an icon.
  const std::string pictures = PictureRecord(1, IconDib(16, 16, 4)) + PictureRecord(2, IconDib(32, 32, 8));
  const std::string broken = PictureRecord(3, IconDib(40, 16, 4));
  // Tray 1's custom size: 182E/183D; the bypass list 0x1807 shows no custom size.
  SetNumber(0x182E, kTypeUInt16, 1480);
  SetNumber(0x183D, kTypeUInt16, 2100);
  SetText(kItemUserPaperName, u"ユーザー用紙");

  const struct Case {
    const char* what;
    UINT codePage;
    std::string paperName, listName;
    bool brokenPicture;
    SettingItemId item;
    LONG count;
    LPCWSTR name;
    std::vector<ExpectedChoice> choices;
    int icons, palettes;
  } cases[] = {
      {"icons and a palette from the model's pictures", 1252, "A4", "Paper Size", false, 8, 3, u"Paper Size",
       {{0, u"A4", 9}, {1, u"ユーザー用紙 210 x 297 mm", 262}, {2, u"Broken picture", 11}}, 3, 1},
      {"a picture that is no icon fails the list", 1252, "A4", "Paper Size", true, 8, 0, nullptr, {}, 0, 0},
      {"names in code page 1252", 1252, "Größe €", "Papierformat", false, 8, 3, u"Papierformat",
       {{0, u"Größe €", 9}}, 3, 1},
      {"names in code page 932", 932, "Ａ４用紙", "用紙サイズ", false, 8, 3, u"用紙サイズ",
       {{0, u"Ａ４用紙", 9}, {1, u"ユーザー用紙 210 x 297 mm", 262}}, 3, 1},
      {"a tray's custom size", 1252, "A4", "Paper Size", false, 6145, 2, u"Tray 1 Paper",
       {{0, u"A4", 9}, {1, u" 148 x 210 mm", 275}}, 0, 0},
      {"a list beyond the trays with a custom size keeps its name", 1252, "A4", "Paper Size", false, 6151, 2,
       u"Bypass Paper", {{1, u"Custom", 275}}, 0, 0},
      {"the third choice of kind 6 keeps no value", 1252, "A4", "Paper Size", false, 274, 3, u"Brightness",
       {{0, u"Low", static_cast<DWORD>(-3)}, {1, u"High", 3}, {2, u"Step", 0}}, 0, 0},
      {"a list without choices", 1252, "A4", "Paper Size", false, 272, 0, nullptr, {}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(SimSetAnsiCodePage(c.codePage));
    const std::string third = c.brokenPicture ? broken : PictureRecord(3, IconDib(16, 16, 1));
    const int blocks = SimLiveGlobalBlocks();
    ItemStore* store = OpenModelText(ListModel(c.codePage, c.paperName, c.listName, pictures + third), u"LISTS.DDD");
    ASSERT_NE(store, nullptr);
    ChoiceList* list = Build(c.item, kMillimetres, {}, store);
    if (c.count == 0) {
      EXPECT_EQ(list, nullptr);
    } else {
      ASSERT_NE(list, nullptr);
      EXPECT_EQ(GetChoiceCount(list), c.count);
      EXPECT_EQ(Text(list->name), Text(c.name));
      ExpectChoices(list, c.choices);
      int icons = 0, palettes = 0;
      for (LONG i = 0; i < list->count; ++i) {
        icons += GetChoiceIcon(list, i) != nullptr;
        palettes += GetChoicePalette(list, i) != nullptr;
      }
      EXPECT_EQ(icons, c.icons);
      EXPECT_EQ(palettes, c.palettes);
      EXPECT_EQ(SimLiveGdiObjects(), icons + palettes);
      if (c.item == 274) {
        EXPECT_EQ(GetChoice(list, 2)->value.number, 0u);
      }
      FreeChoiceList(list);
    }
    EXPECT_EQ(SimLiveGdiObjects(), 0);
    CloseItemStore(store);
    EXPECT_EQ(SimLiveGlobalBlocks(), blocks);
  }
  SimSetAnsiCodePage(1252);
}

}  // namespace
