#include "tests/ui/framework/lists/lists_fixture.h"


#include "core/constraints/change_values.h"
#include "core/descriptors/item_defaults.h"
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "tests/support/model_files.h"
#include "ui/framework/sheet/sheet_validation.h"

namespace lists_test {
namespace {

constexpr DWORD kBoth = kRefreshOnFull | kRefreshOnChange;
const DWORD kStaple[] = {BoundItem(kItemStaplePosition, kBoth)};
const DWORD kLineItems[] = {BoundItem(kItemCollate, kBoth), BoundItem(kItemColorMode, kBoth),
                            BoundItem(kItemDuplex, kBoth), BoundItem(kItemPunchPosition, kBoth)};
const DWORD kJobType[] = {BoundItem(kItemJobType, kBoth)};
const DWORD kColorMode[] = {BoundItem(kItemColorMode, kBoth)};
const DWORD kCollate[] = {BoundItem(kItemCollate, kBoth)};
const DWORD kBrightness[] = {BoundItem(kItemColorTripleFirst, kBoth)};
const DWORD kStampName[] = {BoundItem(kItemStampName, kBoth)};
const DWORD kPaperSource[] = {BoundItem(kItemPaperSource, kBoth)};
const ListKindData kOptionData{kListChoices, kLinePartName, 0, kListPageDraw, nullptr, nullptr, OptionListDraw,
                               nullptr};

const ListKindData kStapleData{kListChoices, kLinePartName, 0, kListStateIcons, nullptr, nullptr, nullptr, nullptr};
const ListKindData kLinesData{kListItemLines, kLinePartName | kLinePartValue, 72, kListStepOnDoubleClick,
                              nullptr, nullptr, nullptr, nullptr};
const ListKindData kComboData{kListChoices, kLinePartName, 0, 0, nullptr, nullptr, nullptr, nullptr};
const ListKindData kCheckData{kListItemLines, kLinePartName, 0, kListCheckIcons, nullptr, nullptr, nullptr, nullptr};

NumberFormat brightnessFormat{1, 0};
const EditKindData kBrightnessEditData{kEditNumeric | kEditSigned | kEditDecimal | kEditHalfSteps, 8, nullptr,
                                       &brightnessFormat, 0xFF};
const EditKindData* const kBrightnessSlot = &kBrightnessEditData;
// The colour mode's short name follows the combo's item, which stands second among its own.
const DWORD kNameItems[] = {BoundItem(kItemCollate, kBoth), BoundItem(kItemColorMode, kBoth)};
const LONG kFollowCombo = kColorCombo;
const LONG kNameForbidden[] = {9300, 0};
const ValidationRule kNameRule{nullptr, nullptr, kNameForbidden, nullptr, 445};
const EditKindData kNameEditData{kEditText | kEditEncoded, 20, &kNameRule, nullptr, 0xFF};
const EditKindData* const kNameSlot = &kNameEditData;

const ControlRow kRows[] = {
    {kStapleList, 1, kStaple, kKindListBox, nullptr, &kStapleData, kNoControl, kNoString, nullptr},
    {kItemLines, 4, kLineItems, kKindListBox, nullptr, &kLinesData, kNoControl, kNoString, nullptr},
    {kColorCombo, 1, kColorMode, kKindComboBox, nullptr, &kComboData, kNoControl, kNoString, nullptr},
    {kCheckList, 1, kCollate, kKindListBox, nullptr, &kCheckData, kNoControl, kNoString, nullptr},
    {kBrightnessEdit, 1, kBrightness, kKindEdit, nullptr, &kBrightnessSlot, kNoControl, kNoString, nullptr},
    {kBrightnessText, 2, kNameItems, kKindValueText, nullptr, &kFollowCombo, kNoControl, kNoString, nullptr},
    {kHiddenLines, 1, kJobType, kKindListBox, nullptr, &kLinesData, kNoControl, kNoString, nullptr},
    {kOptionList, 1, kPaperSource, kKindListBox, nullptr, &kOptionData, kNoControl, kNoString, nullptr},
    {kNameEdit, 1, kStampName, kKindEdit, nullptr, &kNameSlot, kNoControl, kNoString, nullptr},
};

PageDescriptor kPage{kRows, LONG(std::size(kRows)), 4100, nullptr, nullptr, 0};
const TabRecord kTab{kListsPage, &kPage, nullptr};
const TabRecord* const kTabs[] = {&kTab};

INT_PTR PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SlotHandler handler = nullptr;
  LONG slot = -1;
  if (!GetSlotHandler(message, wParam, lParam, kPopupDialog, &handler, &slot)) return 0;
  return CallSlotHandler(window, message, wParam, lParam, kListsPage, kPopupDialog, handler);
}

// The sample model with grayscale never offered (so lists leave it out and stepping skips it),
// a wider brightness range, the job type hidden, punching fixed, long and short names for the
// colour modes and a stamp-name length range.
std::u16string InstallTestModel() {
  const std::string last = "rule 14 watch=(271 = u16:1) msgword=0x405 message=\"Paper source check.\"\n"
                           "    when=[(270 = u16:1 end)]\n";
  return InstallSampleVariant({
      {"choice 67  name=\"Grayscale\" value=u16:1", "choice 67  name=\"Grayscale\" rules=[15] value=u16:1"},
      {"choice 68  name=\"Full Color\" value=u16:2", "choice 68  name=\"Full Color\\rFull\" value=u16:2"},
      {"choice 66  name=\"Auto Color\" value=u16:0", "choice 66  name=\"Auto Color\\rAuto\" value=u16:0"},
      {"list 270 name=\"Color Mode\" kind=1 default=1 choices=[66 67 68]",
       "list 270 name=\"Color Mode\" kind=1 default=1 choices=[66 67 68] rules=[15]"},
      {"list 295 name=", "list 297 name=\"Stamp Name\" kind=6 default=0 choices=[115 116 117]\nlist 295 name="},
      {"choice 114 name=\"32\" value=u16:32\n",
       "choice 114 name=\"32\" value=u16:32\n"
       "choice 115 name=\"Shortest\" value=i16:1\n"
       "choice 116 name=\"Longest\" value=i16:20\n"
       "choice 117 name=\"Step\" value=i16:1\n"},
      {"choice 99  name=\"Minimum\" value=i16:-3", "choice 99  name=\"Minimum\" value=i16:-100"},
      {"choice 100 name=\"Maximum\" value=i16:3", "choice 100 name=\"Maximum\" value=i16:100"},
      {last, last + "rule 15 watch=(270 = u16:1) msgword=1 message=\"Grayscale is not offered.\"\n"
                    "    when=[(18 = i16:0 or) (18 = i16:1 end)]\n"
                    "rule 16 watch=(334 = u16:0) msgword=6 message=\"The job type is not shown.\"\n"
                    "    when=[(18 = i16:0 or) (18 = i16:1 end)]\n"
                    "rule 17 watch=(341 = u16:0) msgword=15 message=\"Punching is fixed.\"\n"
                    "    when=[(18 = i16:0 or) (18 = i16:1 end)]\n"},
      {"list 341 name=\"Punch\" kind=1 default=1 choices=[74 75 76 77] rules=[4]",
       "list 341 name=\"Punch\" kind=1 default=1 choices=[74 75 76 77] rules=[4 17]"},
      {"list 334 name=\"Job Type\" kind=1 default=1 choices=[78 79 80 81 82] requires=[4]",
       "list 334 name=\"Job Type\" kind=1 default=1 choices=[78 79 80 81 82] requires=[4] rules=[16]"},
  });
}

}  // namespace

const ControlRow* Row(int controlId) {
  for (const ControlRow& row : kRows) {
    if (row.controlId == controlId) return &row;
  }
  return nullptr;
}

NumberFormat* BrightnessFormat() { return &brightnessFormat; }

void ListsTest::SetUp() {
  PrinterTest::SetUp();
  brightnessFormat = NumberFormat{1, 0};
  OpenFramework(u"lists_test_module.qrs", InstallTestModel(), kTabs, LONG(std::size(kTabs)));
}

INT_PTR ListsTest::RunPopup(SimDialogDriver driver) {
  PageData* popup = CreatePageData(nullptr, &sheet_, &data_->current, nullptr);
  if (popup == nullptr) return -1;
  SimOnDialog(kListsTemplate, std::move(driver));
  const INT_PTR answer = DialogBoxParamW(resources_, MAKEINTRESOURCEW(kListsTemplate), nullptr, PageProc,
                                         reinterpret_cast<LPARAM>(popup));
  DestroyPageData(&popup);
  return answer;
}

void ListsTest::ClosePopup(HWND dialog, bool apply) {
  PSHNOTIFY notice{{dialog, 0, UINT(apply ? PSN_APPLY : PSN_RESET)}, 1};
  SendMessageW(dialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
  EndDialog(dialog, apply ? 1 : 2);
}

LONG ListsTest::PopupItem(HWND dialog, SettingItemId id) {
  SettingsRecord* settings = nullptr;
  PrinterConfiguration* config = nullptr;
  if (!GetCurrentSettings(dialog, &settings, &config)) return -999;
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetItemValue(id, settings, config, &type, &length, &cell) != kItemDone) return -999;
  LONGLONG n = 0;
  NumberOfTypedValue(type, &cell, &n);
  return LONG(n);
}

std::vector<std::u16string> ListsTest::Lines(HWND control) {
  WCHAR name[16] = {};
  GetClassNameW(control, name, 16);
  const bool combo = lstrcmpiW(name, u"ComboBox") == 0;
  std::vector<std::u16string> lines;
  const LRESULT count = SendMessageW(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  for (LRESULT n = 0; n < count; ++n) {
    const LRESULT length = SendMessageW(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, n, 0);
    std::u16string line(size_t(length), u'\0');
    SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, n, reinterpret_cast<LPARAM>(line.data()));
    lines.push_back(line);
  }
  return lines;
}

}  // namespace lists_test
