#include <cstring>
#include <string>
#include <vector>

#include "core/descriptors/choice_list.h"
#include "core/descriptors/user_paper_name.h"
#include "core/persist/form_matching.h"
#include "core/pictures/dib_colors.h"
#include "core/store/dm_fields.h"
#include "core/store/printer_forms.h"
#include "items/item_ids.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_sim.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/spooler/spooler_sim.h"
#include "tests/support/sample_fixture.h"

namespace {

LPWSTR NewText(const std::u16string& text) {
  auto* copy = static_cast<LPWSTR>(GlobalAlloc(GPTR, (text.size() + 1) * sizeof(WCHAR)));
  std::memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
  return copy;
}

std::u16string Text(LPCWSTR text) { return text == nullptr ? u"(none)" : std::u16string(text); }

class ChoiceListTest : public SandboxTest {
 protected:
  // A list of `count` choices with names; string lists get string values.
  static ChoiceList* NewList(WORD kind, ValueTypeCode type, LONG count) {
    auto* list = static_cast<ChoiceList*>(GlobalAlloc(GPTR, sizeof(ChoiceList)));
    list->id = 305;
    list->name = NewText(u"Names");
    list->kind = kind;
    list->type = static_cast<SHORT>(type);
    list->count = count;
    list->choices = static_cast<Choice*>(GlobalAlloc(GPTR, count * sizeof(Choice)));
    for (LONG i = 0; i < count; ++i) {
      list->choices[i].name = NewText(u"choice");
      if (type == kTypeString) list->choices[i].value.data = NewText(u"value");
      else list->choices[i].value.number = static_cast<DWORD>(i);
    }
    return list;
  }
};

TEST_F(ChoiceListTest, AccessorsAndFreeingReleaseEveryBlockIconAndPalette) {
  EXPECT_EQ(GetChoiceListName(nullptr), nullptr);
  EXPECT_EQ(GetChoiceListItems(nullptr), nullptr);
  EXPECT_EQ(GetChoiceListKind(nullptr), 0);
  EXPECT_EQ(SetChoiceListKind(nullptr, 2), 0);
  EXPECT_EQ(GetChoiceCount(nullptr), -1);
  EXPECT_EQ(FreeChoiceList(nullptr), 0);

  ChoiceList* strings = NewList(2, kTypeString, 3);
  EXPECT_EQ(Text(GetChoiceListName(strings)), u"Names");
  EXPECT_EQ(GetChoiceListItems(strings), strings->choices);
  EXPECT_EQ(GetChoiceCount(strings), 3);
  EXPECT_EQ(SetChoiceListKind(strings, 4), 1);
  EXPECT_EQ(GetChoiceListKind(strings), 4);
  // A picture: an icon with the palette it was drawn with.
  const BYTE mask[32 * 4] = {}, colours[32 * 32] = {};
  strings->choices[1].icon = CreateIcon(nullptr, 32, 32, 1, 8, mask, colours);
  const LOGPALETTE grey{kLogPaletteVersion, 1, {{7, 7, 7, 0}}};
  strings->choices[1].palette = CreatePalette(&grey);
  ASSERT_NE(strings->choices[1].icon, nullptr);
  ASSERT_NE(strings->choices[1].palette, nullptr);
  EXPECT_EQ(FreeChoiceList(strings), 1);

  // A kind-6 string list keeps no value in its third choice; the other two are still freed.
  ChoiceList* range = NewList(kChoiceKindNoThirdValue, kTypeString, 3);
  GlobalFree(range->choices[2].value.data);
  range->choices[2].value.data = nullptr;
  EXPECT_EQ(FreeChoiceList(range), 1);
  // Numbers are not freed; a list without choices frees its name.
  EXPECT_EQ(FreeChoiceList(NewList(4, kTypeInt16, 3)), 1);
  ChoiceList* empty = NewList(1, kTypeUInt16, 0);
  EXPECT_EQ(FreeChoiceList(empty), 1);
}

TEST_F(ChoiceListTest, DibPaletteTakesTheColourTableInRedGreenBlueOrder) {
  struct Dib {
    BITMAPINFOHEADER header;
    RGBQUAD table[256];
  };
  Dib dib{};
  dib.header.biSize = sizeof(BITMAPINFOHEADER);
  for (int i = 0; i < 256; ++i) dib.table[i] = {BYTE(i), BYTE(i + 1), BYTE(i + 2), 0xEE};
  const struct Case {
    WORD bits;
    DWORD used;
    UINT entries;  // 0: no palette
  } cases[] = {{1, 0, 2}, {4, 0, 16}, {8, 0, 256}, {8, 3, 3}, {24, 0, 0}, {32, 0, 0}, {0, 0, 0}, {8, 257, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.used << " used");
    dib.header.biBitCount = c.bits;
    dib.header.biClrUsed = c.used;
    HPALETTE palette = CreateDibPalette(&dib.header);
    if (c.entries == 0) {
      EXPECT_EQ(palette, nullptr);
      continue;
    }
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), c.entries);
    PALETTEENTRY last{};
    EXPECT_EQ(GetPaletteEntries(palette, c.entries - 1, 1, &last), 1u);
    const BYTE n = static_cast<BYTE>(c.entries - 1);
    EXPECT_EQ(last.peRed, BYTE(n + 2));
    EXPECT_EQ(last.peGreen, BYTE(n + 1));
    EXPECT_EQ(last.peBlue, n);
    EXPECT_EQ(last.peFlags, 0);
    EXPECT_TRUE(DeleteObject(palette));
    EXPECT_FALSE(DeleteObject(palette));  // a handle is never reused
  }
  EXPECT_EQ(CreateDibPalette(nullptr), nullptr);
  SimFailNthAllocation(1);
  dib.header.biBitCount = 4;
  EXPECT_EQ(CreateDibPalette(&dib.header), nullptr);
  SimFailNthAllocation(0);
}

class FormMatchingTest : public SampleStoreTest {
 protected:
  void SetUp() override {
    SampleStoreTest::SetUp();
    ASSERT_TRUE(ApplyDataFileDefaults(store_, settings_, config_, u"QX"));
    SimPrinterSetup setup;
    setup.name = u"QX";
    setup.dataFile = u"QX4500.DDD";
    ASSERT_TRUE(SimAddPrinter(setup));
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(OpenPrinterW(u"QX", &printer_, &defaults));
    // A form of the server's own that is no paper of the model but has the size of one.
    FORM_INFO_1W form{FORM_USER, const_cast<LPWSTR>(u"Office A4"), {210000, 297000}, {0, 0, 210000, 297000}};
    ASSERT_TRUE(AddFormW(printer_, 1, reinterpret_cast<const BYTE*>(&form)));
    FORM_INFO_1W* forms = nullptr;
    ASSERT_TRUE(ReadSpoolerForms(printer_, &forms, &formCount_));
    GlobalFree(forms);
  }
  void TearDown() override {
    ClosePrinter(printer_);
    SampleStoreTest::TearDown();
  }
  void SetUserPaperName(int slot, const std::u16string& name) {
    const WCHAR* p = name.c_str();
    ASSERT_EQ(SetItemValue(static_cast<SettingItemId>(kItemUserPaperName + slot), settings_, config_, kTypeString,
                           DWORD(2 * name.size() + 2), &p),
              kItemDone);
  }
  HANDLE printer_ = nullptr;
  DWORD formCount_ = 0;
};

struct PaperCase {
  const char* name;
  WORD flags;
  PaperSpec query;
  PaperSpec answer;
};

TEST_F(FormMatchingTest, FindFormForPaperBySizeNumberAndName) {
  const PaperCase cases[] = {
      {"first form of the size that is a paper", 0, {0, 2100, 2970, nullptr}, {9, 2100, 2970, const_cast<LPWSTR>(u"A4")}},
      {"turned query", 0, {0, 2970, 2100, nullptr}, {9, 2100, 2970, const_cast<LPWSTR>(u"A4")}},
      {"by number", 4, {8, 2970, 4200, nullptr}, {8, 2970, 4200, const_cast<LPWSTR>(u"A3")}},
      // Form 10 has the size but is no paper: the number ends its search, the size decides.
      {"number of a form that is no paper", 4, {10, 2100, 2970, nullptr}, {9, 2100, 2970, const_cast<LPWSTR>(u"A4")}},
      {"by name", 1, {0, 2159, 2794, const_cast<LPWSTR>(u"Letter")}, {1, 2159, 2794, const_cast<LPWSTR>(u"Letter")}},
      {"size no form has", 5, {3, 1234, 567, nullptr}, {256, 1234, 567, nullptr}},
      // The server calls it "6 3/4 Envelope", the model "Envelope 6 3/4": not the same paper.
      {"form of the size under another name", 1, {0, 921, 1651, nullptr}, {256, 921, 1651, nullptr}},
  };
  for (const PaperCase& c : cases) {
    SCOPED_TRACE(c.name);
    PaperSpec answer{};
    ASSERT_EQ(FindFormForPaper(store_, settings_, config_, printer_, c.flags, &c.query, &answer), 1);
    EXPECT_EQ(answer.id, c.answer.id);
    EXPECT_EQ(answer.width, c.answer.width);
    EXPECT_EQ(answer.length, c.answer.length);
    EXPECT_EQ(Text(answer.name), Text(c.answer.name));
    FreePaperSpecName(&answer);
  }
  // The forms cannot be read: 0 and the answer untouched.
  PaperSpec answer{1, 2, 3, nullptr};
  const PaperSpec query{0, 2100, 2970, nullptr};
  EXPECT_EQ(FindFormForPaper(store_, settings_, config_, reinterpret_cast<HANDLE>(77), 0, &query, &answer), 0);
  SimFailCall("EnumFormsW", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(FindFormForPaper(store_, settings_, config_, printer_, 0, &query, &answer), 0);
  EXPECT_EQ(answer.id, 1);
  // Out of memory anywhere: 0 or a clean answer, never a leak.
  for (int n = 1; n <= 12; ++n) {
    SimFailNthAllocation(n);
    const int result = FindFormForPaper(store_, settings_, config_, printer_, 1, &query, &answer);
    SimFailNthAllocation(0);
    if (result == 1) FreePaperSpecName(&answer);
  }
}

TEST_F(FormMatchingTest, UserPaperNamesKeepANameFromMatchingAForm) {
  WCHAR third[40] = {};
  ASSERT_EQ(FormatUserPaperName(2, third, 33), 1);
  const std::u16string name3 = third;
  EXPECT_EQ(IsUserPaperName(kUserPaperNamesDefault, nullptr, nullptr, (name3 + u" wide").c_str()), 1);
  EXPECT_EQ(IsUserPaperName(kUserPaperNamesDefault, nullptr, nullptr, name3.substr(0, name3.size() - 1).c_str()), 0);
  EXPECT_EQ(IsUserPaperName(3, settings_, config_, name3.c_str()), 0);
  // A stored name matches what begins with it; an emptied slot (below) matches nothing.
  EXPECT_EQ(IsUserPaperName(kUserPaperNamesStored, settings_, config_, u"A4"), 0);
  SetUserPaperName(19, u"A4");
  EXPECT_EQ(IsUserPaperName(kUserPaperNamesStored, settings_, config_, u"A4 long"), 1);
  EXPECT_EQ(IsUserPaperName(kUserPaperNamesStored, nullptr, nullptr, u"A4"), 0);  // unreadable

  // By name, a user paper's name is never taken for a form; by number it still is.
  FORM_INFO_1W* forms = nullptr;
  DWORD count = 0;
  ASSERT_TRUE(ReadSpoolerForms(printer_, &forms, &count));
  const DWORD candidates[] = {8, 9};  // forms 9 "A4" and 10 "A4 Small"
  const PaperSpec byName{0, 2100, 2970, const_cast<LPWSTR>(u"A4")};
  PaperSpec answer{};
  EXPECT_EQ(MatchFormCandidates(store_, settings_, config_, forms, candidates, 2, kFormMatchByName, &byName, &answer), 0);
  const PaperSpec byNumber{9, 2100, 2970, nullptr};
  ASSERT_EQ(MatchFormCandidates(store_, settings_, config_, forms, candidates, 2, kFormMatchByNumber, &byNumber, &answer),
            1);
  EXPECT_EQ(answer.name, forms[8].pName);  // the form's own name, not a copy
  SetUserPaperName(19, u"");
  EXPECT_EQ(MatchFormCandidates(store_, settings_, config_, forms, candidates, 2, kFormMatchByName, &byName, &answer), 1);
  EXPECT_EQ(answer.id, 9);
  GlobalFree(forms);
}

TEST_F(FormMatchingTest, MatchFormToPaperKeepsPrintableFormsAndMapsOthersBySize) {
  const WORD officeA4 = static_cast<WORD>(formCount_);  // the form added last
  const PaperCase cases[] = {
      {"built-in form", 0, {10, 1, 1, nullptr}, {10, 1, 1, nullptr}},
      {"a paper of the model by name", 0, {300, 2100, 2970, const_cast<LPWSTR>(u"A4")}, {300, 2100, 2970, nullptr}},
      {"server form of a paper's size", 0, {officeA4, 2100, 2970, const_cast<LPWSTR>(u"Office A4")},
       {9, 2100, 2970, nullptr}},
  };
  for (const PaperCase& c : cases) {
    SCOPED_TRACE(c.name);
    PaperSpec paper = c.query;
    ASSERT_EQ(MatchFormToPaper(&paper, store_, settings_, config_, printer_), 1);
    EXPECT_EQ(paper.id, c.answer.id);
    EXPECT_EQ(paper.width, c.answer.width);
    EXPECT_EQ(paper.length, c.answer.length);
    if (c.answer.id == 9) {
      EXPECT_EQ(paper.name, nullptr);
    }
  }
  // No paper of that size: 0, unchanged.
  PaperSpec odd{static_cast<WORD>(officeA4 + 1), 1234, 567, const_cast<LPWSTR>(u"Odd")};
  EXPECT_EQ(MatchFormToPaper(&odd, store_, settings_, config_, printer_), 0);
  EXPECT_EQ(odd.id, officeA4 + 1);
  EXPECT_EQ(Text(odd.name), u"Odd");
  // The server's form by number gives the model's form with its name.
  PaperSpec answer{};
  const PaperSpec byNumber{officeA4, 0, 0, nullptr};
  ASSERT_EQ(MatchFormByIndexOrName(store_, settings_, config_, printer_, kFormMatchByNumber, &byNumber, &answer), 1);
  EXPECT_EQ(answer.id, 9);
  EXPECT_EQ(Text(answer.name), u"A4");
  FreePaperSpecName(&answer);
  EXPECT_EQ(IsBuiltinForm(printer_, 9), 1);
  EXPECT_EQ(IsBuiltinForm(printer_, officeA4), 0);
  EXPECT_EQ(IsBuiltinForm(printer_, 0), 0);
}

TEST_F(FormMatchingTest, PapersOfTheModelAndItsFacts) {
  PaperSpec found{};
  WORD status = 9;
  const PaperSpec turned{0, 2970, 2100, nullptr};
  ASSERT_EQ(FindPaper(store_, kItemPaperSize, kFindPaperBySize, &turned, &found, &status), 1);
  EXPECT_EQ(status, kQueryOk);
  EXPECT_EQ(found.id, 9);
  EXPECT_EQ(Text(found.name), u"A4");
  FreePaperSpecName(&found);
  const PaperSpec longer{0, 2100, 2981, nullptr};  // 11 units longer than A4
  EXPECT_EQ(FindPaper(store_, kItemPaperSize, kFindPaperBySize, &longer, &found, &status), 0);
  EXPECT_EQ(status, kQueryAbsent);
  EXPECT_EQ(FindPaper(store_, kItemPaperSize, 4, &turned, &found, &status), 0);
  EXPECT_EQ(status, kQueryAbsent);
  EXPECT_EQ(FindPaper(store_, kItemPaperSize, kFindPaperByName, &turned, &found, &status), 0);  // no name asked
  EXPECT_EQ(status, kQueryFailed);
  const PaperSpec byId{256, 0, 0, nullptr};
  ASSERT_EQ(FindPaper(store_, kItemPaperSize, kFindPaperById, &byId, &found, &status), 1);
  EXPECT_EQ(Text(found.name), u"Custom Size");
  FreePaperSpecName(&found);

  EXPECT_EQ(GetModelColorCapability(store_), 2);  // the sample is a colour device
  EXPECT_EQ(GetModelColorCapability(nullptr), 0xFFFF);
}

}  // namespace
