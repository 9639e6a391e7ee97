// The main tab of the document sheet (see main_tab.h): its row table and the callbacks of the
// rows that do more than their control kind.
#include "ui/pages/main_tab.h"

#include <iterator>

#include "core/descriptors/item_defaults.h"
#include "core/constraints/setting_change.h"
#include "core/messages/conflict_messages.h"
#include "core/common/typed_value.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/comctl/propsheet.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/kernel/memory.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/button_actions.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/edit_kind.h"
#include "ui/framework/dialog/list_kinds.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/row_callbacks.h"
#include "ui/framework/dialog/size_summary.h"
#include "ui/framework/dialog/value_pipeline.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/pages/choice_icons.h"
#include "ui/pages/picture_controls.h"

namespace {

// Controls.
constexpr LONG kZoomOnBox = 1184;
constexpr LONG kZoomEdit = 1010;
constexpr LONG kZoomLabel = 1177;
constexpr LONG kZoomUnit = 1185;
constexpr LONG kCopiesEdit = 1011;
constexpr LONG kCopiesSpin = 1029;
constexpr LONG kCopiesLabel = 1327;
constexpr LONG kPaperCombo = 1006;
constexpr LONG kPaperLabel = 1174;
constexpr LONG kPortraitButton = 3836;
constexpr LONG kLandscapeButton = 3837;
constexpr LONG kOutputCombo = 1008;
constexpr LONG kOutputLabel = 1175;
constexpr LONG kPagesPerSheetCombo = 1351;
constexpr LONG kPagesPerSheetLabel = 1350;
constexpr LONG kPageOrderCombo = 1007;
constexpr LONG kPageOrderLabel = 1176;
constexpr LONG kBordersBox = 3834;
constexpr LONG kDuplexCombo = 1012;
constexpr LONG kDuplexLabel = 1179;
constexpr LONG kColorCombo = 1615;
constexpr LONG kColorLabel = 1616;
constexpr LONG kJobTypeCombo = 1699;
constexpr LONG kJobTypeLabel = 1698;
constexpr LONG kDeviceStatusButton = 3831;
constexpr LONG kSizeSummaryText = 3838;
constexpr LONG kRestoreButton = 1090;
constexpr LONG kPermissionGroup = 3835;
constexpr LONG kDevicePicture = 1187;
constexpr LONG kPaperPicture = 1105;
constexpr LONG kCopiesPicture = 1761;
constexpr LONG kColorPicture = 1762;

constexpr DWORD kBoth = kRefreshOnFull | kRefreshOnChange;
constexpr WORD kZoomFollowsOutput = 100;

const DWORD kZoomOn[] = {BoundItem(kItemZoomOn, kBoth)};
const DWORD kZoom[] = {BoundItem(kItemZoomPercent, kBoth)};
const DWORD kCopies[] = {BoundItem(kItemCopies, kBoth)};
const DWORD kPaper[] = {BoundItem(kItemPaperSize, kBoth)};
const DWORD kOrientation[] = {BoundItem(kItemOrientation, kBoth)};
const DWORD kOutputPaper[] = {BoundItem(kItemOutputPaper, kBoth)};
const DWORD kPagesPerSheet[] = {BoundItem(kItemPagesPerSheet, kBoth)};
const DWORD kPageOrder[] = {BoundItem(kItemPageOrder, kBoth)};
const DWORD kBorders[] = {BoundItem(kItemNupBorders, kBoth)};
const DWORD kDuplex[] = {BoundItem(kItemDuplex, kBoth)};
const DWORD kColorMode[] = {BoundItem(kItemColorMode, kBoth)};
const DWORD kJobType[] = {BoundItem(kItemJobType, kBoth)};
const DWORD kDeviceStatus[] = {BoundItem(kItemDeviceStatus, kBoth)};
// The items the page keeps bound without a control of its own, so that their states follow
// every change made here.
const DWORD kPageItems[] = {
    BoundItem(8, kBoth),    BoundItem(262, kBoth),  BoundItem(294, kBoth),  BoundItem(7, kBoth),
    BoundItem(18, kBoth),   BoundItem(16, kBoth),   BoundItem(270, kBoth),  BoundItem(1313, kBoth),
    BoundItem(295, kBoth),  BoundItem(264, kBoth),  BoundItem(321, kBoth),  BoundItem(296, kBoth),
    BoundItem(1285, kBoth), BoundItem(297, kBoth),  BoundItem(322, kBoth),  BoundItem(446, kBoth),
    BoundItem(320, kBoth),  BoundItem(341, kBoth),  BoundItem(342, kBoth),  BoundItem(343, kBoth),
    BoundItem(327, kBoth),  BoundItem(328, kBoth),  BoundItem(437, kBoth),  BoundItem(441, kBoth),
    BoundItem(5154, kBoth), BoundItem(445, kBoth),  BoundItem(1328, kBoth), BoundItem(332, kBoth),
    BoundItem(458, kBoth),  BoundItem(339, kBoth),  BoundItem(1330, kBoth), BoundItem(448, kBoth),
    BoundItem(449, kBoth),  BoundItem(450, kBoth),  BoundItem(1296, kBoth), BoundItem(1297, kBoth),
    BoundItem(1298, kBoth), BoundItem(1299, kBoth), BoundItem(1300, kBoth), BoundItem(1301, kBoth),
};

// Kind data. The copies edit keeps the table's length here; each page limits its own edit to
// the digits of its model's maximum when it is shown.
const EditKindData kZoomEditData{kEditNumeric | kEditUnsigned, 3, nullptr, nullptr, 0};
const EditKindData* const kZoomEditSlot = &kZoomEditData;
constexpr LONG kCopiesTableLength = 5;
const EditKindData kCopiesEditData{kEditNumeric | kEditUnsigned, kCopiesTableLength, nullptr, nullptr, 0};
const EditKindData* const kCopiesEditSlot = &kCopiesEditData;
const StaticTextData kStateOnly{kStaticStateOnly, 0};
const DWORD kUnscaled = 0;
const SpinEditData kCopiesSpinData{&kUnscaled};
const ListKindData kComboData{kListChoices, kLinePartName, 0, 0, nullptr, nullptr, nullptr, nullptr};
const ListKindData kPagesPerSheetComboData{kListChoices, kLinePartName, 0,      kListPageIcon,
                                           nullptr,      nullptr,       nullptr, GetPagesPerSheetChoiceIcon};
const ListKindData kPageOrderComboData{kListChoices, kLinePartName, 0,      kListPageIcon,
                                       nullptr,      nullptr,       nullptr, GetItem264ChoiceIcon};
const ListKindData kDuplexComboData{kListChoices, kLinePartName, 0,      kListPageIcon,
                                    nullptr,      nullptr,       nullptr, GetDuplexChoiceIcon};
const ListKindData kColorComboData{kListChoices, kLinePartName, 0,      kListPageIcon,
                                   nullptr,      nullptr,       nullptr, GetColourModeChoiceIcon};
const LONG kOrientationButtons[] = {kPortraitButton, kLandscapeButton};
const RadioGroupData kOrientationGroup{2, kOrientationButtons};
const ButtonAction kRestoreAction{kButtonRestoreDefaults, nullptr};
const WORD kStaysEnabled = kRowEnabledWithoutPermission;
// The bitmaps of the picture rows.
const DWORD kPaperPictureCode = 5135;
const DWORD kCopiesPictureCode = 5136;
const DWORD kColorPictureCode = 5137;

// Label suffixes.
constexpr LONG kZoomOnSuffix = 9110, kZoomSuffix = 9111, kCopiesSuffix = 9112, kPaperSuffix = 9113,
               kOutputSuffix = 9114, kPagesPerSheetSuffix = 9115, kPageOrderSuffix = 9116, kDuplexSuffix = 9118,
               kColorSuffix = 9121, kJobTypeSuffix = 9123, kBordersSuffix = 9282;

INT_PTR RunChained(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                   const void* kindData) {
  return context->chained != nullptr ? context->chained(context, message, wParam, lParam, row, kindData) : 0;
}

bool IsNotice(UINT message, LPARAM lParam, UINT code) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  return message == WM_NOTIFY && header != nullptr && header->code == code;
}

// The page-wide hook of row 0: it does nothing.
INT_PTR IgnoreRowMessage(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*) { return 0; }

// Shows the row's state on the zoom edit and, without manual zoom, the zoom the output paper
// implies; with manual zoom just ticked, moves the focus to the edit and starts from 100.
int RefreshZoomEdit(HandlerContext* context, UINT message, const ControlRow* row) {
  ChoiceList* list = GetCurrentChoiceList(context->window, row);
  BoundValue* bound = GetCurrentBoundValue(context->window, row);
  if (context->window == nullptr || list == nullptr || bound == nullptr || context->settings == nullptr) return 0;
  ItemValueCell manual{};
  if (!ReadContextItem(context, kItemZoomOn, &manual)) return 0;
  StateCode code = kStateUsable;
  ApplyControlState(context->window, row, &code);
  if (manual.number != 0) {
    if (message == WM_REFRESHCONTROLS && IsItemChanged(context, kItemZoomOn)) {
      SetFocus(GetDlgItem(context->window, kZoomEdit));
      const WORD hundred = kZoomFollowsOutput;
      if (SetItemValue(bound->id, context->settings, context->config, bound->type, 2, &hundred) != kItemDone) return 0;
      bound->value.number = hundred;
    }
    return 1;
  }
  if (code != kStateUsable && code != kStateReadOnly) return 1;
  LONG zoom = 0;
  if (!GetZoomPercent(context, &zoom)) return 0;
  WORD* changed = nullptr;
  const WORD shown = static_cast<WORD>(zoom);
  if (ChangeControlValue(context, row, bound, &shown, &changed) != -1) {
    GlobalFree(changed);
    SetTypedValue(bound->type, &bound->value, &shown);
  }
  return 1;
}

// The zoom edit: refreshed with the zoom the papers imply, and its value checked against the
// constraints when the person leaves it (not for the manual-zoom box, which decides whether the
// value counts at all).
INT_PTR HandleZoomEditRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                          const void* kindData) {
  HWND focus = GetFocus();
  const LONG focused = focus != nullptr ? GetDlgCtrlID(focus) : kNoControl;
  if ((message == WM_REFRESHCONTROLS || IsNotice(message, lParam, PSN_SETACTIVE)) &&
      !RefreshZoomEdit(context, message, row))
    return 0;
  SheetState* sheet = FindSheetState(context->window);
  bool check = false;
  if (sheet != nullptr && !sheet->checking) {
    if (IsNotice(message, lParam, PSN_KILLACTIVE)) check = focused == kZoomEdit;
    else if (message == WM_COMMAND && HIWORD(wParam) == EN_KILLFOCUS) check = focused > 0 && focused != kZoomOnBox;
  }
  const INT_PTR answer = HandleEditKind(context, message, wParam, lParam, row, kindData);
  if (!check) return answer;
  const SettingItemId id = GetCurrentBoundItemId(context->window, row);
  ItemValueCell value{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  // An item that cannot be read is not checked: the person must still be able to leave the tab.
  if (GetItemValue(id, context->settings, context->config, &type, &length, &value) != kItemDone) return answer;
  sheet->checking = 1;
  const SettingsContext settings{context->store, context->settings, context->config};
  const ItemChange change{id, type, &value};
  ResolveItemConflict(context->window, &settings, &change);
  sheet->checking = 0;
  return answer;
}

// The number of decimal digits of a positive maximum.
LONG CountDigits(LONG maximum) {
  LONG digits = 1;
  for (; maximum >= 10; maximum /= 10) ++digits;
  return digits;
}

// The copies edit takes as many digits as the model's most copies has.
INT_PTR HandleCopiesEditRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                            const void* kindData) {
  const INT_PTR answer = RunChained(context, message, wParam, lParam, row, kindData);
  LONG minimum = 0, maximum = 0;
  if (IsNotice(message, lParam, PSN_SETACTIVE) && GetNumericRange(context, row, &minimum, &maximum) && maximum > 0)
    SendDlgItemMessageW(context->window, kCopiesEdit, EM_LIMITTEXT, WPARAM(CountDigits(maximum)), 0);
  return answer;
}

// The paper combos show the paper names as they are now (user papers may have been renamed).
INT_PTR HandlePaperComboRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                            const void* kindData) {
  if (IsNotice(message, lParam, PSN_SETACTIVE) &&
      !ReloadChoiceList(context->window, context->pageIndex, GetCurrentBoundItemId(context->window, row)))
    return 0;
  return RunChained(context, message, wParam, lParam, row, kindData);
}

// After restoring the defaults, the items whose defaults depend on others are put right.
INT_PTR HandleRestoreDefaultsRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                                 const ControlRow* row, const void* kindData) {
  const INT_PTR answer = RunChained(context, message, wParam, lParam, row, kindData);
  if (message != WM_COMMAND || context->actionResult != 1) return answer;
  SettingsRecord* settings = nullptr;
  PrinterConfiguration* config = nullptr;
  if (!GetCurrentSettings(context->window, &settings, &config)) return 1;
  ItemStore* store = context->store;
  ValueTypeCode type = 0;
  DWORD size = 0;
  ItemValueCell fallback{};
  if (GetItemDefault(store, kItemPrintMode, &type, &size, &fallback) != 1) return 1;
  ItemValueCell toner{}, colorMode{}, monochrome{}, feedEdge{};
  DWORD length = 0;
  if (GetItemValue(kItemPrintMode, settings, config, &type, &length, &toner) != kItemDone) return 1;
  if (toner.number == fallback.number) ResetItemToDefault(store, settings, kItemPrintModeDetail, config);
  if (GetItemValue(kItemColorMode, settings, config, &type, &length, &colorMode) != kItemDone ||
      GetItemValue(kItemMonochromeDefault, settings, config, &type, &length, &monochrome) != kItemDone)
    return 1;
  if (colorMode.number != 1 && monochrome.number == 1) {
    ResetItemToDefault(store, settings, kItemMonochromeDefault, config);
    ResetItemToDefault(store, settings, kItemColor, config);
  }
  if (GetItemValue(kItemBypassFeedEdge, settings, config, &type, &length, &feedEdge) != kItemDone ||
      GetItemDefault(store, kItemBypassFeedEdge, &type, &size, &fallback) != 1)
    return 1;
  if (feedEdge.byte != fallback.byte) ResetItemToDefault(store, settings, kItemBypassFeedEdge, config);
  return answer;
}

const ControlRow kMainTabRows[] = {
    {kNoControl, 0, nullptr, 0, IgnoreRowMessage, nullptr, kNoControl, kNoString, nullptr},
    {kZoomOnBox, 1, kZoomOn, kKindCheckBox, nullptr, nullptr, kZoomOnBox, kZoomOnSuffix, nullptr},
    {kZoomEdit, 1, kZoom, kKindEdit, HandleZoomEditRow, &kZoomEditSlot, kNoControl, kNoString, nullptr},
    {kZoomLabel, 1, kZoom, kKindStaticText, nullptr, &kStateOnly, kZoomLabel, kZoomSuffix, nullptr},
    {kZoomUnit, 1, kZoom, kKindStaticText, nullptr, &kStateOnly, kNoControl, kNoString, nullptr},
    {kCopiesEdit, 1, kCopies, kKindEdit, HandleCopiesEditRow, &kCopiesEditSlot, kCopiesLabel, kCopiesSuffix, nullptr},
    {kCopiesSpin, 1, kCopies, kKindSpinEdit, nullptr, &kCopiesSpinData, kNoControl, kNoString, nullptr},
    {kPaperCombo, 1, kPaper, kKindComboBox, HandlePaperComboRow, &kComboData, kPaperLabel, kPaperSuffix, nullptr},
    {kPortraitButton, 1, kOrientation, kKindRadio, nullptr, &kOrientationGroup, kNoControl, kNoString, nullptr},
    {kLandscapeButton, 1, kOrientation, kKindRadio, nullptr, &kOrientationGroup, kNoControl, kNoString, nullptr},
    {kOutputCombo, 1, kOutputPaper, kKindComboBox, HandlePaperComboRow, &kComboData, kOutputLabel, kOutputSuffix,
     nullptr},
    {kPagesPerSheetCombo, 1, kPagesPerSheet, kKindComboBox, nullptr, &kPagesPerSheetComboData, kPagesPerSheetLabel,
     kPagesPerSheetSuffix, nullptr},
    {kPageOrderCombo, 1, kPageOrder, kKindComboBox, HandleConstrainedComboRow, &kPageOrderComboData, kPageOrderLabel,
     kPageOrderSuffix, nullptr},
    {kBordersBox, 1, kBorders, kKindCheckBox, nullptr, nullptr, kBordersBox, kBordersSuffix, nullptr},
    {kDuplexCombo, 1, kDuplex, kKindComboBox, nullptr, &kDuplexComboData, kDuplexLabel, kDuplexSuffix, nullptr},
    {kDevicePicture, 0, nullptr, 0, PictureRowCallback, nullptr, kNoControl, kNoString, &kStaysEnabled},
    {kNoControl, LONG(std::size(kPageItems)), kPageItems, 0, nullptr, nullptr, kNoControl, kNoString, nullptr},
    {kColorCombo, 1, kColorMode, kKindComboBox, nullptr, &kColorComboData, kColorLabel, kColorSuffix, nullptr},
    {kPaperPicture, 0, nullptr, 0, PictureRowCallback, &kPaperPictureCode, kNoControl, kNoString, nullptr},
    {kCopiesPicture, 0, nullptr, 0, PictureRowCallback, &kCopiesPictureCode, kNoControl, kNoString, nullptr},
    {kColorPicture, 0, nullptr, 0, PictureRowCallback, &kColorPictureCode, kNoControl, kNoString, nullptr},
    {kJobTypeCombo, 1, kJobType, kKindComboBox, nullptr, &kComboData, kJobTypeLabel, kJobTypeSuffix, nullptr},
    {kDeviceStatusButton, 1, kDeviceStatus, kKindPushButton, DeviceStatusButtonRow, nullptr, kNoControl, kNoString,
     &kStaysEnabled},
    {kSizeSummaryText, 0, nullptr, kKindStaticText, SizeSummaryRow, &kStateOnly, kNoControl, kNoString, nullptr},
    {kRestoreButton, 0, nullptr, kKindPushButton, HandleRestoreDefaultsRow, &kRestoreAction, kNoControl, kNoString,
     nullptr},
};

const DWORD kMainTabHelp[] = {
    1186, 1000,  1187, 1010,  1327, 1020,  1011, 1020,  1029, 1020,  1174, 1030,  1006, 1030,  1175, 1040,
    1008, 1040,  1184, 0x41A, 1177, 1060,  1010, 1065,  1185, 1065,  1179, 1100,  1012, 1100,  1350, 1080,
    1351, 1080,  1176, 1195,  1007, 1195,  1352, 1095,  1698, 10090, 1699, 10090, 3833, 10100, 3831, 10110,
    1354, 10120, 1615, 10020, 1616, 10020, 1090, 1190,  1013, 10050, 1716, 10050, 1355, 10060, 1356, 10070,
    3835, 10140, 3836, 10150, 3837, 10160, 3838, 10130, 3834, 10170, 0};
const LONG kMainTabNoPermission[] = {kPermissionGroup, kNoControl};
constexpr LONG kMainTabHelpId = 9999;

PageDescriptor kMainTabDescriptor{kMainTabRows, LONG(std::size(kMainTabRows)), kMainTabHelpId, kMainTabHelp,
                                  kMainTabNoPermission, 0};

const DialogRecord kMainTabDialog{kMainTabTemplate, MainPageDialogProc, kMainTabPage, kNoString, 0, nullptr, 0};

// Adds the right-to-left layout to a window and has it drawn again.
void MirrorWindow(HWND window) {
  SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYOUTRTL);
  InvalidateRect(window, nullptr, TRUE);
}

// Mirrors the property-sheet frame and every child of it, for a model whose texts read right
// to left. The page's PROPSHEETPAGEW carries the sheet data, whose first field is the state.
void MirrorSheet(HWND page, LPARAM lParam) {
  const auto* sheetPage = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
  const auto* data = sheetPage != nullptr ? reinterpret_cast<const PageData*>(sheetPage->lParam) : nullptr;
  if (data == nullptr || data->sheet == nullptr || HasSheetFeature(data->sheet, kRightToLeftFeature) != 1) return;
  HWND frame = GetParent(page);
  if (frame == nullptr) return;
  MirrorWindow(frame);
  HWND first = GetWindow(frame, GW_CHILD);
  for (HWND child = first; child != nullptr;) {
    MirrorWindow(child);
    child = GetWindow(child, GW_HWNDNEXT);
    if (child == first) break;
  }
}

}  // namespace

const TabRecord kMainTabRecord{kMainTabPage, &kMainTabDescriptor, &kMainTabDialog};

INT_PTR MainPageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) MirrorSheet(window, lParam);
  SlotHandler handler = nullptr;
  LONG slot = -1;
  if (!GetSlotHandler(message, wParam, lParam, kTabPage, &handler, &slot)) return 0;
  return CallSlotHandler(window, message, wParam, lParam, kMainTabPage, kTabPage, handler);
}

INT_PTR HandleConstrainedComboRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                                  const ControlRow* row, const void* kindData) {
  if (message == WM_REFRESHCONTROLS) EvaluateListChoiceStates(context, row);
  return HandleComboBoxKind(context, message, wParam, lParam, row, kindData);
}
