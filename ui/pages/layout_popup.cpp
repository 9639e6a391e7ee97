// The layout popup (see layout_popup.h): its row table and the hook that shows the controls
// of the chosen layout kind.
#include "ui/pages/layout_popup.h"

#include <iterator>

#include "items/item_ids.h"
#include "core/common/typed_value.h"
#include "platform/comctl/propsheet.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/edit_kind.h"
#include "ui/framework/dialog/list_kinds.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/row_callbacks.h"
#include "ui/framework/dialog/size_summary.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/text/number_text.h"
#include "ui/pages/layout_masks.h"
#include "ui/pages/page_routines.h"

namespace {

// Items.
constexpr SettingItemId kPosterSizeItem = kItemTileCount, kCutLinesItem = kItemTileMarks, kLayoutKindItem = kItemPageLayout, kBindingEdgeItem = kItemBookletBinding,
                        kPageOrderItem = kItemBookletOutput, kSetsItem = kItemBookletHeaderSwitch, kSheetsPerSetItem = kItemBookletSubset, kOverlapItem = kItemBookletOptionA,
                        kGutterOnItem = kItemBookletOptionB, kGutterItem = kItemBookletShift, kFinishingItem = kItemLayoutOrientation, kCoverItem = kItemNupRotation,
                        kCoverPrintItem = kItemCoverPrinting, kBookletSheetsItem = kItemBookletSubsetDevice, kUnitItem = kItemUnitRow, kTitleItem = kItemLayoutTitle;

// Controls the layout kind shows: 1519 for the poster and the booklet, the others for the
// booklet only.
constexpr LONG kKindText = 1519, kSetsText = 1777;
const MaskedControl kLayoutKindControls[] = {{kKindText, 3}, {1498, 2}, {1504, 2}, {1531, 2},
                                             {1508, 2},      {1503, 2}, {kSetsText, 2}};
constexpr UINT kPosterText = 438, kBookletText = 439, kSetsFormat = 1814;
constexpr int kKindTextChars = 128;
constexpr LONG kBookletKind = 2;

constexpr DWORD kBoth = kRefreshOnFull | kRefreshOnChange;
const DWORD kPosterSize[] = {BoundItem(kPosterSizeItem, kBoth)};
const DWORD kCutLines[] = {BoundItem(kCutLinesItem, kBoth)};
const DWORD kLayoutKind[] = {BoundItem(kLayoutKindItem, kBoth)};
const DWORD kBindingEdge[] = {BoundItem(kBindingEdgeItem, kBoth)};
const DWORD kPageOrder[] = {BoundItem(kPageOrderItem, kBoth)};
const DWORD kSets[] = {BoundItem(kSetsItem, kBoth)};
const DWORD kSheetsPerSet[] = {BoundItem(kSheetsPerSetItem, kBoth)};
const DWORD kOverlap[] = {BoundItem(kOverlapItem, kBoth)};
const DWORD kGutterOn[] = {BoundItem(kGutterOnItem, kBoth)};
const DWORD kGutter[] = {BoundItem(kGutterItem, kBoth)};
const DWORD kFinishing[] = {BoundItem(kFinishingItem, kBoth)};
const DWORD kCover[] = {BoundItem(kCoverItem, kBoth)};
const DWORD kCoverPrint[] = {BoundItem(kCoverPrintItem, kBoth)};
const DWORD kUnit[] = {BoundItem(kUnitItem, kBoth)};

const ListKindData kComboData{kListChoices, kLinePartName, 0, 0, nullptr, nullptr, nullptr, nullptr};
const LONG kKindButtons[] = {1513, 1514, 1515};
const RadioGroupData kKindGroup{3, kKindButtons};
const LONG kEdgeButtons[] = {1496, 1497};
const RadioGroupData kEdgeGroup{2, kEdgeButtons};
const LONG kOrderButtons[] = {1507, 1517, 1518};
const RadioGroupData kOrderGroup{3, kOrderButtons};
const LONG kUnitButtons[] = {1752, 1753};
const RadioGroupData kUnitPair{2, kUnitButtons};
const EditKindData kSheetsEditData{kEditNumeric | kEditUnsigned, 2, nullptr, nullptr, 0};
const EditKindData* const kSheetsEditSlot = &kSheetsEditData;
const EditKindData kGutterEditData{kEditNumeric | kEditUnsigned | kEditUnits, 3, nullptr, nullptr, 0};
const EditKindData* const kGutterEditSlot = &kGutterEditData;
const DWORD kUnscaled = 0;
const SpinEditData kSpinData{&kUnscaled};
const StaticTextData kStateOnly{kStaticStateOnly, 0};

// Shows the controls of the layout kind (item 321: 1 poster, 2 booklet, others none) with the
// kind's text, and for the booklet the sheets a set takes and the pages they make. It runs
// after the rows of the same message, so what a row showed by its item's state does not undo
// it, and at every refresh, since any row of these controls may have been refreshed.
INT_PTR ShowLayoutKindControls(HandlerContext* context, UINT message, WPARAM, LPARAM lParam, const ControlRow*,
                               const void*) {
  if (!IsPageRefresh(message, lParam)) return 0;
  ItemValueCell value{};
  if (!ReadContextItem(context, kLayoutKindItem, &value)) return 0;
  const LONG kind = value.number == 1 || value.number == 2 ? LONG(value.number) : 0;
  HWND window = context->window;
  ShowMaskedControls(window, kLayoutKindControls, kind);
  if (kind != 0) {
    WCHAR text[kKindTextChars] = {};
    if (LoadStringW(GetDialogResourceModule(window), kind == 1 ? kPosterText : kBookletText, text, kKindTextChars) > 0)
      SetDlgItemTextW(window, kKindText, text);
  }
  if (kind != kBookletKind) return 0;
  ItemValueCell sheets{};
  if (!ReadContextItem(context, kBookletSheetsItem, &sheets)) return 0;
  LPWSTR text = nullptr;
  if (LoadStringFormat(window, &text, kKindTextChars, kSetsFormat, {LONG(sheets.word), 4 * LONG(sheets.word)}) == 1)
    SetDlgItemTextW(window, kSetsText, text);
  GlobalFree(text);
  return 0;
}

const ControlRow kLayoutPopupRows[] = {
    {1476, 1, kPosterSize, kKindComboBox, nullptr, &kComboData, 1475, 9126, nullptr},
    {1477, 1, kCutLines, kKindCheckBox, nullptr, nullptr, 1477, 9127, nullptr},
    {1513, 1, kLayoutKind, kKindRadio, nullptr, &kKindGroup, kNoControl, kNoString, nullptr},
    {1514, 1, kLayoutKind, kKindRadio, nullptr, &kKindGroup, kNoControl, kNoString, nullptr},
    {1515, 1, kLayoutKind, kKindRadio, nullptr, &kKindGroup, kNoControl, kNoString, nullptr},
    {1496, 1, kBindingEdge, kKindRadio, nullptr, &kEdgeGroup, kNoControl, kNoString, nullptr},
    {1497, 1, kBindingEdge, kKindRadio, nullptr, &kEdgeGroup, kNoControl, kNoString, nullptr},
    {1520, 1, kPageOrder, kKindGroupButton, nullptr, nullptr, kNoControl, kNoString, nullptr},
    {1507, 1, kPageOrder, kKindRadio, nullptr, &kOrderGroup, kNoControl, kNoString, nullptr},
    {1517, 1, kPageOrder, kKindRadio, nullptr, &kOrderGroup, kNoControl, kNoString, nullptr},
    {1518, 1, kPageOrder, kKindRadio, nullptr, &kOrderGroup, kNoControl, kNoString, nullptr},
    {2980, 1, kSets, kKindGroupButton, nullptr, nullptr, kNoControl, kNoString, nullptr},
    {1521, 1, kSets, kKindCheckBox, nullptr, nullptr, 1521, kNoString, nullptr},
    {1777, 1, kSets, kKindValueText, nullptr, nullptr, kNoControl, kNoString, nullptr},
    {1765, 1, kSets, kKindGroupButton, nullptr, nullptr, kNoControl, kNoString, nullptr},
    {1501, 1, kSheetsPerSet, kKindEdit, nullptr, &kSheetsEditSlot, 1500, 9129, nullptr},
    {1502, 1, kSheetsPerSet, kKindSpinEdit, nullptr, &kSpinData, kNoControl, kNoString, nullptr},
    {1503, 1, kSheetsPerSet, kKindStaticText, nullptr, &kStateOnly, kNoControl, kNoString, nullptr},
    {1505, 1, kOverlap, kKindCheckBox, nullptr, nullptr, 1505, 9130, nullptr},
    {1533, 1, kGutter, kKindStaticText, UnitNameRow, nullptr, kNoControl, kNoString, nullptr},
    {1506, 1, kGutterOn, kKindCheckBox, nullptr, nullptr, 1506, 9131, nullptr},
    {1511, 1, kGutter, kKindStaticText, RangeCaptionRow, nullptr, kNoControl, 9132, nullptr},
    {1509, 1, kGutter, kKindEdit, nullptr, &kGutterEditSlot, kNoControl, kNoString, nullptr},
    {1510, 1, kGutter, kKindSpinEdit, nullptr, &kSpinData, kNoControl, kNoString, nullptr},
    {kNoControl, kSharedPageItemCount, kSharedPageItems, 0, nullptr, nullptr, kNoControl, kNoString, nullptr},
    {1751, 1, kUnit, kKindGroupButton, nullptr, nullptr, kNoControl, kNoString, nullptr},
    {1752, 1, kUnit, kKindGroupButton, HandleUnitRadioRow, &kUnitPair, kNoControl, 9207, nullptr},
    {1753, 1, kUnit, kKindGroupButton, HandleUnitRadioRow, &kUnitPair, kNoControl, 9208, nullptr},
    {2982, 1, kFinishing, kKindComboBox, nullptr, &kComboData, 2981, 9133, nullptr},
    {2984, 1, kCover, kKindComboBox, nullptr, &kComboData, 2983, 9134, nullptr},
    {2986, 1, kCoverPrint, kKindComboBox, nullptr, &kComboData, 2985, kNoString, nullptr},
    {3838, 0, nullptr, kKindStaticText, SizeSummaryRow, &kStateOnly, kNoControl, kNoString, nullptr},
    // The page-wide hook comes last: it decides over controls the rows above show.
    {kNoControl, 0, nullptr, 0, ShowLayoutKindControls, nullptr, kNoControl, kNoString, nullptr},
};

const DWORD kLayoutPopupHelp[] = {
    1534, 1700,  1475, 1710,  1476, 1710,  1477, 1720,  1092, 1520,  1091, 1530,  1090, 1540,  1341, 7777,
    1513, 1740,  1514, 1750,  1515, 1760,  1519, 1770,  1496, 1800,  1497, 1810,  1500, 1830,  1501, 1830,
    1502, 1830,  1503, 1830,  1505, 1840,  1506, 1850,  1509, 1860,  1510, 1860,  1533, 1860,  1512, 1650,
    1531, 1870,  1511, 1860,  1508, 1870,  1751, 18010, 1752, 18020, 1753, 18030, 1520, 18040, 1507, 18050,
    1517, 18060, 1518, 18070, 1521, 18080, 1765, 18090, 2981, 18100, 2982, 18100, 2983, 18110, 2984, 18110,
    2985, 18120, 2986, 18120, 3838, 10130, 0};
const LONG kLayoutPopupNoPermission[] = {kKindText, kNoControl};
constexpr LONG kLayoutPopupHelpId = 1730;

}  // namespace

PageDescriptor kLayoutPopupDescriptor{kLayoutPopupRows, LONG(std::size(kLayoutPopupRows)), kLayoutPopupHelpId,
                                      kLayoutPopupHelp, kLayoutPopupNoPermission, 0};

const DialogRecord kLayoutPopupDialog{kLayoutPopupTemplate, LayoutPopupDialogProc, kLayoutPopupPage, kNoString,
                                      kTitleItem, nullptr, 0};

INT_PTR LayoutPopupDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SlotHandler handler = nullptr;
  LONG slot = -1;
  if (!GetSlotHandler(message, wParam, lParam, kPopupDialog, &handler, &slot)) return 0;
  return CallSlotHandler(window, message, wParam, lParam, kLayoutPopupPage, kPopupDialog, handler);
}
