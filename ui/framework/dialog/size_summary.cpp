// The size summary, the zoom it states and the printable size of papers.
#include "ui/framework/dialog/size_summary.h"

#include <algorithm>
#include <string>

#include "core/choices/choice_list_build.h"
#include "core/common/typed_compare.h"
#include "core/constraints/change_values.h"
#include "core/database/dbrecords.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/comctl/commctrl.h"
#include "platform/comctl/propsheet.h"
#include "platform/comctl/tooltip.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/option_list.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/text/ansi_text.h"

namespace {

constexpr WORD kPaperRecordType = 10;
constexpr DWORD kResolutionFeature = 0x80000;

// An item of the context's settings as a number; false when it cannot be read.
bool ReadNumber(HandlerContext* context, SettingItemId id, LONG* value) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  LONGLONG n = 0;
  if (GetItemValue(id, context->settings, context->config, &type, &length, &cell) != kItemDone ||
      !NumberOfTypedValue(type, &cell, &n))
    return false;
  *value = static_cast<LONG>(n);
  return true;
}

struct PaperSize {
  LONG width;
  LONG length;
};

// The paper's size for the zoom: its full size in whole-paper mode, else its printable size.
bool ReadPaperSize(HandlerContext* context, const DatabaseRecord* record, WORD id, bool wholePaper, PaperSize* size) {
  if (wholePaper) {
    SizePairElement full{};
    if (GetPaperRecordSize(record, &full) != 0) return false;
    *size = {full.width, full.length};
    return true;
  }
  return GetPrintableSize(context->settings, context->config, record, id, &size->width, &size->length) == 1;
}

// The binding shift narrows the output when the margin on the binding side is smaller.
void ApplyBindingShift(const DatabaseRecord* output, LONG edge, LONG shift, bool wholePaper, PaperSize* size) {
  SizePairElement full{}, first{}, second{};
  if (GetPaperRecordSize(output, &full) != 0 || GetPaperRecordMargins(output, &first, &second) != 0) return;
  if (wholePaper) first = second = SizePairElement{};
  switch (edge) {
    case 1:
    case 3:  // left
      if (first.width < shift) size->width = full.width - second.width - shift;
      break;
    case 2:
    case 7:  // right
      if (second.width < shift) size->width = full.width - first.width - shift;
      break;
    case 4:
    case 8:  // top
      if (first.length < shift) size->length = full.length - second.length - shift;
      break;
    case 5:
    case 6:  // bottom
      if (second.length < shift) size->length = full.length - first.length - shift;
      break;
    default: break;
  }
}

// The name of the item's current choice, cut before its last "(" and the blank before it.
bool CurrentChoiceName(HandlerContext* context, SettingItemId id, std::u16string* name) {
  const ChoiceList* list = FindChoiceList(context->window, id);
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (list == nullptr || GetItemValue(id, context->settings, context->config, &type, &length, &cell) != kItemDone)
    return false;
  const LONG n = FindChoiceByValue(list, &cell, type);
  if (n < 0 || n >= list->count || list->choices[n].name == nullptr) return false;
  std::u16string text = list->choices[n].name;
  const size_t open = text.rfind(u'(');
  if (open != std::u16string::npos) {
    text.resize(open);
    std::u16string cut = text;
    const WORD bytes = GetAnsiByteLength(cut.c_str());
    if (bytes > 0 && TruncateToBytes(bytes - 1u, cut.data())) text = cut.c_str();
  }
  *name = text;
  return true;
}

std::u16string LoadText(UINT id, int chars) {
  std::u16string text(static_cast<size_t>(chars) + 1, u'\0');
  const int length = LoadStringW(GetResourceModule(), id, text.data(), chars + 1);
  text.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return text;
}

HWND SummaryTooltip(HandlerContext* context, SheetState* sheet) {
  return context->kind == kTabPage ? sheet->sheetTooltip : sheet->popupTooltip;
}

bool IsRefresh(UINT message, LPARAM lParam) {
  if (message == WM_REFRESHCONTROLS) return true;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  return message == WM_NOTIFY && header != nullptr && header->code == PSN_SETACTIVE;
}

// Writes a resolution as a 16-bit value in the item's own 16-bit type.
bool WriteResolution(HandlerContext* context, SettingItemId id, LONG resolution) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetItemValue(id, context->settings, context->config, &type, &length, &cell) != kItemDone ||
      (type != kTypeInt16 && type != kTypeUInt16))
    return false;
  const WORD value = static_cast<WORD>(resolution);
  return SetItemValue(id, context->settings, context->config, type, sizeof(value), &value) == kItemDone;
}

}  // namespace

int GetPrintableSize(SettingsRecord* settings, PrinterConfiguration* config, const DatabaseRecord* paper,
                     WORD paperId, LONG* width, LONG* length) {
  if (paper == nullptr || width == nullptr || length == nullptr) return 0;
  if (!IsUserPaperId(paperId)) {
    SizePairElement minimum{};
    if (GetPaperRecordMinSize(paper, &minimum) != 0) return 0;
    *width = minimum.width;
    *length = minimum.length;
    return 1;
  }
  WORD w = 0, l = 0;
  LPCWSTR name = nullptr;
  SizePairElement first{}, second{}, minimum{}, maximum{};
  const int slot = GetUserPaperSlot(paperId);
  if (slot < 0 || !GetUserPaperItems(settings, config, slot, &w, &l, &name) ||
      GetPaperRecordMargins(paper, &first, &second) != 0 || GetPaperRecordMinSize(paper, &minimum) != 0 ||
      GetPaperRecordMaxSize(paper, &maximum) != 0)
    return 0;
  *width = std::max<LONG>(std::min<LONG>(LONG{w} - first.width - second.width, maximum.width), minimum.width);
  *length = std::max<LONG>(std::min<LONG>(LONG{l} - first.length - second.length, maximum.length), minimum.length);
  return 1;
}

int GetFitZoomPercent(HandlerContext* context, WORD paper, WORD output, LONG* percent) {
  if (context == nullptr || context->store == nullptr || percent == nullptr) return 0;
  LONG wholePaper = 0, edge = 0, shiftOn = 0, shift = 0, poster = 0, tiles = 0;
  if (!ReadNumber(context, kItemWholePaper, &wholePaper) || !ReadNumber(context, kItemBindingEdge, &edge) ||
      !ReadNumber(context, kItemBindingShiftOn, &shiftOn) ||
      (shiftOn != 0 && !ReadNumber(context, kItemBindingShift, &shift)) ||
      !ReadNumber(context, kItemPageLayout, &poster) || (poster == 1 && !ReadNumber(context, kItemTileCount, &tiles)))
    return 0;
  ScopedRecord input, target;
  if (ReadKeyedRecord(FALSE, context->store->main, context->store->linked, kPaperRecordType, paper, 0, &input.record) != 0 ||
      ReadKeyedRecord(FALSE, context->store->main, context->store->linked, kPaperRecordType, output, 0,
                      &target.record) != 0)
    return 0;
  PaperSize in{}, out{};
  if (!ReadPaperSize(context, input.record, paper, wholePaper == 1, &in) ||
      !ReadPaperSize(context, target.record, output, wholePaper == 1, &out) || in.width <= 0 || in.length <= 0)
    return 0;
  if (shiftOn != 0 && edge != 0) ApplyBindingShift(target.record, edge, shift, wholePaper == 1, &out);
  if (poster == 1) {
    out.width *= tiles & 0xFF;
    out.length *= (tiles >> 8) & 0xFF;
  }
  const LONG across = (out.width * 1000 / in.width + 5) / 10;
  const LONG down = (out.length * 1000 / in.length + 5) / 10;
  *percent = std::min(across, down);
  return 1;
}

int GetZoomPercent(HandlerContext* context, LONG* percent) {
  if (context == nullptr || percent == nullptr) return 0;
  LONG manual = 0, output = 0, paper = 0;
  if (ReadNumber(context, kItemZoomOn, &manual) && manual != 0)
    return ReadNumber(context, kItemZoomPercent, percent) ? 1 : 0;
  if (!ReadNumber(context, kItemOutputPaper, &output)) return 0;
  if (output == kSameAsPaper) {
    *percent = 100;
    return 1;
  }
  if (!ReadNumber(context, kItemPaperSize, &paper)) return 0;
  return GetFitZoomPercent(context, static_cast<WORD>(paper), static_cast<WORD>(output), percent);
}

int BuildSizeSummary(HandlerContext* context, LPWSTR text) {
  if (context == nullptr || text == nullptr) return 0;
  std::u16string summary;
  if (!CurrentChoiceName(context, kItemPaperSize, &summary)) return 0;
  LONG output = 0, fit = 0, poster = 0;
  if (!ReadNumber(context, kItemOutputPaper, &output) || !ReadNumber(context, kItemPagesPerSheet, &fit) ||
      !ReadNumber(context, kItemPageLayout, &poster))
    return 0;
  if (output != kSameAsPaper) {
    std::u16string name;
    if (!CurrentChoiceName(context, kItemOutputPaper, &name)) return 0;
    summary += LoadText(kStringSummaryArrow, 8) + name;
  }
  if (fit != 1 || poster == 2) {
    summary += LoadText(kStringNoZoom, 16);
  } else {
    LONG percent = 0;
    LPWSTR zoom = nullptr;
    if (!GetZoomPercent(context, &percent) ||
        !LoadStringFormat(context->window, &zoom, 16, kStringZoomFormat, {percent}))
      return 0;
    summary += zoom;
    GlobalFree(zoom);
  }
  lstrcpynW(text, summary.c_str(), kSizeSummaryTextChars);
  return 1;
}

INT_PTR SizeSummaryRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                       const void* kindData) {
  const INT_PTR answer =
      context->chained != nullptr ? context->chained(context, message, wParam, lParam, row, kindData) : 0;
  SheetState* sheet = FindSheetState(context->window);
  if (sheet == nullptr) return answer;
  const UINT_PTR tool = static_cast<UINT_PTR>(row->controlId);
  if (message == WM_INITDIALOG) {
    sheet->sizeSummary[0] = u'\0';
    AddTooltip(context->window, SummaryTooltip(context, sheet), tool, TTF_SUBCLASS, u"");
  } else if (IsRefresh(message, lParam)) {
    WCHAR summary[kSizeSummaryTextChars] = {};
    if (!BuildSizeSummary(context, summary)) return answer;
    HWND control = GetDlgItem(context->window, row->controlId);
    SetWindowTextW(control, summary);
    RECT box{};
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, context->window, reinterpret_cast<POINT*>(&box), 2);
    HWND tooltip = SummaryTooltip(context, sheet);
    SetTooltipRect(context->window, tooltip, tool, TTF_SUBCLASS, box.left, box.top, box.right, box.bottom);
    SetSizeSummaryText(sheet, summary);
    UpdateTooltipText(context->window, tooltip, tool, TTF_SUBCLASS, sheet->sizeSummary);
  }
  return answer;
}

int CheckResolutionItems(HandlerContext* context, SettingItemId changedItem) {
  SheetState* sheet = context != nullptr ? FindSheetState(context->window) : nullptr;
  if (sheet == nullptr || !HasSheetFeature(sheet, kResolutionFeature)) return 0;
  LONG resolution = 0;
  if (changedItem == 271) {
    LONG item443 = 0;
    if (!ReadNumber(context, kItemResolutionLock, &item443) || item443 != 0) return 0;
    resolution = 300;
  } else {
    LONG item271 = 0;
    if (!ReadNumber(context, kItemPrintMode, &item271)) return 0;
    if (item271 == 257 || item271 == 776)
      resolution = 600;
    else if (item271 == 264)
      resolution = 300;
    else
      return 0;
  }
  const bool written =
      WriteResolution(context, kItemResolution, resolution) && WriteResolution(context, kItemYResolution, resolution);
  return written ? 1 : 0;
}
