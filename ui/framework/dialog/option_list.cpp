// Option lists and tooltips.
#include "ui/framework/dialog/option_list.h"

#include <algorithm>

#include "core/constraints/change_values.h"
#include "core/descriptors/option_item_sets.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/comctl/tooltip.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/resources.h"
#include "platform/user/window.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/text/ansi_text.h"

namespace {

struct UserPaperRow {
  WORD paperId, widthItem, lengthItem, nameItem;
};

constexpr UserPaperRow UserPaperRowAt(LONG n) {
  return {static_cast<WORD>(n <= 5 ? 262 + n - 1 : 287 + n - 6), static_cast<WORD>(5889 + n - 1),
          static_cast<WORD>(5909 + n - 1), static_cast<WORD>(5929 + n - 1)};
}
static_assert(UserPaperRowAt(5).paperId == 266 && UserPaperRowAt(6).paperId == 287 &&
              UserPaperRowAt(20).paperId == 301);

struct OptionKeyRow {
  WORD key;
  SettingItemId item;
};
constexpr OptionKeyRow kOptionKeyTable[] = {{13, 6401}, {14, 6402}, {15, 6403}, {16, 6404}, {17, 6405}};

struct IdRange {
  WORD first, last;
};
constexpr IdRange kDeviceOptionRanges[] = {{4097, 4362}, {6145, 6159}, {6160, 6174}, {6175, 6189}, {6401, 6410}};

constexpr DevicePictureTool kDevicePictureTools[] = {
    {1, 0x1},     {3, 0x2},     {2, 0x4},     {257, 0x8},    {272, 0x2000}, {271, 0x1000}, {261, 0x10},
    {262, 0x20},  {11, 0x40},   {265, 0x80},  {266, 0x100},  {267, 0x200},  {4, 0x800},    {0, 0},
};

constexpr WORD kValueWithoutIcon = 273;
constexpr WORD kValueInParentheses = 275;
constexpr int kRoomyTextHeight = 9999;

// a x b / c over 64 bits, rounded half away from zero (the divisors here are never 0).
int MulDiv(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = (c < 0 ? -c : c) / 2;
  const long long rounded = (product < 0) == (c < 0) ? product + (c < 0 ? -half : half) : product - (c < 0 ? -half : half);
  return static_cast<int>(rounded / c);
}

int Clamp(int x, int low, int high) { return std::min(high, std::max(x, low)); }

// The name of an item's current value in the context's settings, as a new text (or NULL).
LPWSTR CurrentValueName(HandlerContext* context, SettingItemId id, LONG* value) {
  ItemValueCell cell{};
  if (!ReadContextItem(context, id, &cell)) return nullptr;
  ChoiceList* list = nullptr;
  SheetState* sheet = FindSheetState(context->window);
  if (sheet == nullptr || GetOrLoadChoiceList(context->window, GetResourceModule(), context->store, id, &list) != 0 ||
      list == nullptr) {
    return nullptr;
  }
  const LONG n = FindChoiceByValue(list, &cell, static_cast<ValueTypeCode>(list->type));
  LONGLONG number = 0;
  NumberOfTypedValue(static_cast<ValueTypeCode>(list->type), &cell, &number);
  if (value != nullptr) *value = static_cast<LONG>(number);
  LPCWSTR name = GetChoiceName(list, n);
  LPWSTR copy = CutValueTextAtLastCr(name != nullptr ? name : u"");
  ReleaseChoiceList(context->window, id);
  return copy;
}

LONG ItemNumber(HandlerContext* context, SettingItemId id) {
  ItemValueCell cell{};
  LONGLONG number = -1;
  ChoiceList* list = FindChoiceList(context->window, id);
  if (ReadContextItem(context, id, &cell) && list != nullptr) {
    NumberOfTypedValue(static_cast<ValueTypeCode>(list->type), &cell, &number);
  } else if (ReadContextItem(context, id, &cell)) {
    number = cell.number;
  }
  return static_cast<LONG>(number);
}

// The text inside the name's parentheses, in place.
void KeepInsideParentheses(LPWSTR text) {
  LPWSTR opening = nullptr;
  for (LPWSTR p = text; *p != 0; ++p) {
    if (*p == u'(') opening = p;
  }
  if (opening == nullptr) return;
  int n = 0;
  for (LPWSTR p = opening + 1; *p != 0 && *p != u')'; ++p) text[n++] = *p;
  text[n] = 0;
}

// Removes a parenthesised part, or cuts at the last "(" when it does not close.
void RemoveParenthesised(LPWSTR text) {
  LPWSTR opening = nullptr;
  for (LPWSTR p = text; *p != 0; ++p) {
    if (*p == u'(') opening = p;
  }
  if (opening == nullptr) return;
  LPWSTR closing = opening;
  while (*closing != 0 && *closing != u')') ++closing;
  if (*closing == 0) {
    *opening = 0;
    return;
  }
  lstrcpynW(opening, closing + 1, lstrlenW(closing + 1) + 1);
}

// The option-key text of an item whose value is a key of the option-key table, or NULL.
LPWSTR OptionKeyText(HandlerContext* context, LONG key) {
  SettingItemId item = 0;
  if (!MapOptionKeyToItem(static_cast<WORD>(key), &item)) return nullptr;
  ItemValueCell cell{};
  if (!ReadContextItem(context, item, &cell) || cell.data == nullptr) return nullptr;
  const auto* text = static_cast<LPCWSTR>(cell.data);
  if (text[0] == 0) return nullptr;
  return CutValueTextAtLastCr(text);
}

void DrawIconAt(HDC dc, int x, int y, WORD iconId) {
  HICON icon = static_cast<HICON>(LoadImageW(GetResourceModule(), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 0, 0, 0));
  if (icon == nullptr) return;
  DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
  DestroyIcon(icon);
}

TOOLINFOW MakeToolInfo(HWND window, UINT_PTR toolId, UINT flags, LPCWSTR text) {
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = flags;
  info.hwnd = window;
  info.uId = toolId;
  info.hinst = GetResourceModule();
  info.lpszText = const_cast<LPWSTR>(text);
  return info;
}

}  // namespace

int GetUserPaperEntry(LONG* index, PrinterConfiguration* config, WORD* paperId, DWORD* width, DWORD* length,
                      LPWSTR* name) {
  if (index == nullptr) return 0;
  if (*index == 0) {
    if (config != nullptr || paperId != nullptr || width != nullptr || length != nullptr || name != nullptr) return 0;
    *index = kUserPaperCount;
    return 1;
  }
  if (*index < 1 || *index > kUserPaperCount || config == nullptr) return 0;
  const UserPaperRow row = UserPaperRowAt(*index);
  if (paperId != nullptr) *paperId = row.paperId;
  ValueTypeCode type = 0;
  DWORD size = 0;
  ItemValueCell cell{};
  if (width != nullptr) {
    if (GetItemValue(row.widthItem, nullptr, config, &type, &size, &cell) != kItemDone) return 0;
    *width = cell.number;
  }
  if (length != nullptr) {
    if (GetItemValue(row.lengthItem, nullptr, config, &type, &size, &cell) != kItemDone) return 0;
    *length = cell.number;
  }
  if (name != nullptr) {
    if (GetItemValue(row.nameItem, nullptr, config, &type, &size, &cell) != kItemDone) return 0;
    *name = static_cast<LPWSTR>(cell.data);
  }
  return 1;
}

int GetTrayItemIds(WORD trayKey, SettingItemId items[3]) {
  SettingItemId set[kOptionSetItemCount] = {};
  if (items == nullptr || !FindOptionItemSet(trayKey, set)) return 0;
  for (int n = 0; n < 3; ++n) items[n] = set[n];
  return 1;
}

int MapOptionKeyToItem(WORD key, SettingItemId* item) {
  for (const OptionKeyRow& row : kOptionKeyTable) {
    if (row.key == key) {
      if (item != nullptr) *item = row.item;
      return 1;
    }
  }
  return 0;
}

int HasDeviceOptionItem(const WORD* items) {
  for (const WORD* p = items; p != nullptr && *p != 0; ++p) {
    for (const IdRange& range : kDeviceOptionRanges) {
      if (*p >= range.first && *p <= range.last) return 1;
    }
  }
  return 0;
}

const DevicePictureTool* GetDevicePictureTools() { return kDevicePictureTools; }

int MeasureChoiceNames(HWND window, HDC dc, SettingItemId id, BOOL cutAtParenthesis, ChoiceNameMeasure* measure) {
  if (measure == nullptr) return 0;
  *measure = ChoiceNameMeasure{9999, 0, 0, 0};
  PageData* data = GetPageData(window);
  ChoiceList* list = nullptr;
  if (data == nullptr || data->sheet == nullptr ||
      GetOrLoadChoiceList(window, GetResourceModule(), data->sheet->store, id, &list) != 0 || list == nullptr) {
    return 0;
  }
  for (LONG n = 0; n < list->count; ++n) {
    if (list->choices[n].name == nullptr) continue;
    LPWSTR name = CutValueTextAtLastCr(list->choices[n].name);
    if (name == nullptr) continue;
    if (cutAtParenthesis) CutAtLastParenthesis(name);
    RECT rect{0, 0, 0, 0};
    DrawTextW(dc, name, -1, &rect, DT_CALCRECT | DT_NOPREFIX);
    GlobalFree(name);
    const int width = rect.right - rect.left;
    measure->narrowest = std::min(measure->narrowest, width);
    measure->widest = std::max(measure->widest, width);
    measure->sum += width;
    ++measure->count;
  }
  ReleaseChoiceList(window, id);
  return 1;
}

void FitColumnWidths(const OptionColumnWidths columns[kOptionColumns], int width, int out[kOptionColumns]) {
  int sums[3] = {};
  for (int level = 0; level < 3; ++level) {
    for (int c = 0; c < kOptionColumns; ++c) sums[level] += columns[c].widths[level];
  }
  int level = 0;
  while (level < 3 && sums[level] > width) ++level;
  for (int c = 0; c < kOptionColumns; ++c) {
    const int* w = columns[c].widths;
    if (level == 0) {
      out[c] = sums[0] > 0 ? MulDiv(w[0], width, sums[0]) : 0;
    } else if (level < 3) {
      const int span = sums[level - 1] - sums[level];
      out[c] = w[level] + (span > 0 ? MulDiv(w[level - 1] - w[level], width - sums[level], span) : 0);
    } else {
      out[c] = sums[2] > 0 ? MulDiv(w[2], width, sums[2]) : 0;
    }
  }
}

int GetOptionColumnBounds(HandlerContext* context, HWND list, HDC dc, bool combo, int* first, int* second,
                          int* right) {
  RECT client{};
  if (context == nullptr || list == nullptr || !GetClientRect(list, &client)) return 0;
  const int W = client.right - client.left;
  OptionColumnWidths columns[kOptionColumns] = {};
  ChoiceNameMeasure m{};
  // Column 1: the option names.
  MeasureChoiceNames(context->window, dc, kItemPaperSource, FALSE, &m);
  int average = m.count > 0 ? m.sum / m.count : 0;
  const int comboExtra = combo ? ScaleForDpi(dc, 20, LOGPIXELSX) : 0;
  columns[0] = {{Clamp(m.widest, W / 4, W / 2) + comboExtra, Clamp(m.widest, W / 5, W / 2) + comboExtra,
                 Clamp(average, W / 6, W / 2) + comboExtra}};
  // Columns 2 and 4 gather the choices of a range of items, names cut at "(".
  auto gather = [&](SettingItemId from, SettingItemId to, ChoiceNameMeasure* all) {
    *all = ChoiceNameMeasure{9999, 0, 0, 0};
    for (SettingItemId id = from; id <= to; ++id) {
      ChoiceNameMeasure one{};
      if (!MeasureChoiceNames(context->window, dc, id, TRUE, &one) || one.count == 0) continue;
      all->narrowest = std::min(all->narrowest, one.narrowest);
      all->widest = std::max(all->widest, one.widest);
      all->sum += one.sum;
      all->count += one.count;
    }
    if (all->count == 0) all->narrowest = 0;
  };
  ChoiceNameMeasure values{};
  gather(6145, 6159, &values);
  average = values.count > 0 ? values.sum / values.count : 0;
  const int iconRoom = ScaleForDpi(dc, 14, LOGPIXELSX);
  columns[1] = {{Clamp(values.widest, W / 4, W / 2) + iconRoom, Clamp(average, W / 6, W / 2) + iconRoom,
                 Clamp(values.narrowest, W / 8, W / 2) + iconRoom}};
  ChoiceNameMeasure third{};
  MeasureChoiceNames(context->window, dc, kItemOptionColumn3, FALSE, &third);
  columns[2] = {{std::min(std::max(third.widest, 0), W / 6), 0, 0}};
  ChoiceNameMeasure further{};
  gather(6175, 6189, &further);
  average = further.count > 0 ? further.sum / further.count : 0;
  const int comboFurther = combo ? 16 : 0;
  columns[3] = {{Clamp(further.widest, W / 4, W / 2) + comboFurther, Clamp(average, W / 6, W / 2) + comboFurther,
                 Clamp(further.narrowest, W / 8, W / 2) + comboFurther}};
  int fitted[kOptionColumns] = {};
  FitColumnWidths(columns, W, fitted);
  *first = fitted[0];
  *second = fitted[0] + fitted[1] + fitted[2];
  *right = W;
  return 1;
}

int DrawTextEllipsis(int top, int left, HDC dc, HMODULE resources, int right, LPCWSTR text) {
  WCHAR base[256] = {};
  lstrcpynW(base, text != nullptr ? text : u"", 256);
  WCHAR ellipsis[9] = {};
  if (resources == nullptr || LoadStringW(resources, kEllipsisString, ellipsis, 9) <= 0) {
    lstrcpynW(ellipsis, u"...", 9);
  }
  WCHAR shown[256 + 9] = {};
  lstrcpynW(shown, base, 256);
  // The base text loses one character per round and the ellipsis is measured with it, so the
  // text gets narrower at every round and the loop ends.
  int length = lstrlenW(base);
  for (;;) {
    RECT rect{left, top, right, top + kRoomyTextHeight};
    DrawTextW(dc, shown, -1, &rect, DT_CALCRECT | DT_NOPREFIX);
    if (rect.right - rect.left <= right - left || length == 0) break;
    base[--length] = 0;
    lstrcpynW(shown, base, 256);
    lstrcatW(shown, ellipsis);
  }
  RECT rect{left, top, right, top + kRoomyTextHeight};
  DrawTextW(dc, shown, -1, &rect, DT_NOPREFIX);
  return 1;
}

INT_PTR OptionListDraw(HandlerContext* context, const DRAWITEMSTRUCT* item, const ControlRow* row,
                       const ListKindData* data, int column) {
  return DrawListItem(context, item, row, data, column, OptionLineText);
}

int OptionLineText(HandlerContext* context, const ControlRow* row, const DRAWITEMSTRUCT* item, LPCWSTR line, int x,
                   int y) {
  if (context == nullptr || row == nullptr || item == nullptr || line == nullptr) return 0;
  HDC dc = item->hDC;
  HWND list = item->hwndItem;
  int b1 = 0, b2 = 0, right = 0;
  if (!GetOptionColumnBounds(context, list, dc, item->CtlType == ODT_COMBOBOX, &b1, &b2, &right)) return 0;
  const int top = y;
  DrawTextEllipsis(top, x, dc, GetResourceModule(), item->rcItem.left + b1, line);
  const Choice* choice = FindChoiceByName(GetCurrentChoiceList(context->window, row), line);
  if (choice == nullptr) return 1;
  const WORD key = static_cast<WORD>(choice->value.number);
  const int left1 = item->rcItem.left + b1, left2 = item->rcItem.left + b2, edge = item->rcItem.left + right;
  SettingItemId set[kOptionSetItemCount] = {};
  if (FindOptionItemSet(key, set)) {
    LONG firstValue = 0, secondValue = 0, thirdValue = 0;
    LPWSTR firstName = CurrentValueName(context, set[0], &firstValue);
    LPWSTR secondName = CurrentValueName(context, set[1], &secondValue);
    LPWSTR thirdName = CurrentValueName(context, set[2], &thirdValue);
    if (firstValue != kValueWithoutIcon) {
      DrawIconAt(dc, left1, item->rcItem.top, secondValue == 1 ? kIconOptionOn : kIconOptionOff);
    }
    WCHAR middle[300] = {};
    if (firstName != nullptr) {
      if (firstValue == kValueInParentheses) {
        KeepInsideParentheses(firstName);
      } else {
        CutAtLastParenthesis(firstName);
      }
      lstrcpynW(middle, firstName, 256);
    }
    const int n = lstrlenW(middle);
    if (n > 0 && middle[n - 1] != u' ') AppendBounded(middle, u" ", 300);
    if (firstValue != kValueWithoutIcon && secondName != nullptr) AppendBounded(middle, secondName, 300);
    DrawTextEllipsis(top, left1 + ScaleForDpi(dc, 14, LOGPIXELSX), dc, GetResourceModule(), left2, middle);
    LPWSTR keyText = OptionKeyText(context, thirdValue);
    if (keyText != nullptr) {
      DrawTextEllipsis(top, left2, dc, GetResourceModule(), edge, keyText);
    } else if (thirdName != nullptr) {
      CutAtLastParenthesis(thirdName);
      DrawTextEllipsis(top, left2, dc, GetResourceModule(), edge, thirdName);
    }
    GlobalFree(keyText);
    GlobalFree(firstName);
    GlobalFree(secondName);
    GlobalFree(thirdName);
    return 1;
  }
  SettingItemId shown = 0;
  if (key == 4 || key == 260) {
    shown = kItemMediaType;
  } else if (key == 7 && row->controlId != 1210 &&
             !(row->controlId == 1016 && ItemNumber(context, kItemOptionKey) == 48)) {
    shown = kItemOptionKey;
  }
  if (shown == 0) return 1;
  LONG value = 0;
  LPWSTR name = CurrentValueName(context, shown, &value);
  LPWSTR keyText = OptionKeyText(context, value);
  if (keyText != nullptr) {
    DrawTextEllipsis(top, left2, dc, GetResourceModule(), edge, keyText);
  } else if (name != nullptr) {
    RemoveParenthesised(name);
    DrawTextEllipsis(top, left2, dc, GetResourceModule(), edge, name);
  }
  GlobalFree(keyText);
  GlobalFree(name);
  return 1;
}

int AddTooltip(HWND window, HWND tooltip, UINT_PTR toolId, UINT flags, LPCWSTR text) {
  if (text == nullptr) return 0;
  TOOLINFOW info = MakeToolInfo(window, toolId, flags, text);
  return SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0 ? 1 : 0;
}

int UpdateTooltipText(HWND window, HWND tooltip, UINT_PTR toolId, UINT flags, LPCWSTR text) {
  if (text == nullptr) return 0;
  TOOLINFOW info = MakeToolInfo(window, toolId, flags, text);
  SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  return 1;
}

int SetTooltipRect(HWND window, HWND tooltip, UINT_PTR toolId, UINT flags, int left, int top, int right, int bottom) {
  TOOLINFOW info = MakeToolInfo(window, toolId, flags, nullptr);
  info.rect = RECT{left, top, right, bottom};
  SendMessageW(tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
  return 1;
}

int AddDevicePictureTooltips(HWND dialog) {
  SheetState* sheet = FindSheetState(dialog);
  auto* tips = sheet != nullptr ? static_cast<PictureTipData*>(sheet->pictureTipData) : nullptr;
  if (tips == nullptr) return 0;
  for (const DevicePictureTool* tool = kDevicePictureTools; tool->toolId != 0; ++tool) {
    if ((tool->mask & tips->capabilities) == 0) continue;
    if (!AddTooltip(dialog, tips->tooltip, tool->toolId, TTF_SUBCLASS, u"")) return 0;
  }
  return 1;
}

int FreePictureTipData(SheetState* sheet) {
  if (sheet == nullptr || sheet->pictureTipData == nullptr) return 0;
  GlobalFree(sheet->pictureTipData);
  sheet->pictureTipData = nullptr;
  return 1;
}
