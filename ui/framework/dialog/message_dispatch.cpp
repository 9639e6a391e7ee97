// The slot map, the three slot-handler tables, the call of a slot handler with its context,
// the dispatch to the rows and the handler of control messages.
#include "ui/framework/dialog/message_dispatch.h"

#include "platform/comctl/commctrl.h"
#include "platform/comctl/propsheet.h"
#include "platform/comctl/tabctrl.h"
#include "platform/kernel/memory.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/value_pipeline.h"

namespace {

struct SlotMapRow {
  UINT message;
  UINT code;  // WM_NOTIFY rows only
  WORD slot;
};

constexpr SlotMapRow kMessageSlotMap[] = {
    {WM_COMMAND, 0, 0},
    {WM_INITDIALOG, 0, 1},
    {WM_NOTIFY, PSN_SETACTIVE, 2},
    {WM_NOTIFY, PSN_KILLACTIVE, 3},
    {WM_NOTIFY, PSN_RESET, 4},
    {WM_NOTIFY, PSN_APPLY, 5},
    {WM_NOTIFY, PSN_HELP, 6},
    {WM_NOTIFY, TCN_SELCHANGE, 7},
    {WM_VSCROLL, 0, 8},
    {WM_HSCROLL, 0, 9},
    {WM_HELP, 0, 10},
    {WM_CONTEXTMENU, 0, 11},
    {WM_MEASUREITEM, 0, 12},
    {WM_DRAWITEM, 0, 13},
    {WM_ERASEBKGND, 0, 14},
    {WM_VKEYTOITEM, 0, 15},
    {WM_QUERYNEWPALETTE, 0, 16},
    {WM_PALETTECHANGED, 0, 17},
    {WM_PAINT, 0, 18},
    {WM_MOUSEMOVE, 0, 19},
    {WM_DESTROY, 0, 20},
    {WM_QUERYPAGEINDEX, 0, 21},
    {WM_QUERYKINDDATA, 0, 22},
    {WM_ROWMESSAGE, 0, 23},
    {WM_SHOWWARNINGS, 0, 24},
    {0, 0, 0},
};

// The tables differ in slot 1 only.
constexpr SlotHandler SlotTable(SlotHandler init, LONG slot) {
  switch (slot) {
    case 0: case 8: case 9: case 13: case 15: case 22: case 23: return OnControlMessage;
    case 1: return init;
    case 2: return OnSetActiveNotify;
    case 3: return OnKillActiveNotify;
    case 4: return OnResetNotify;
    case 5: return OnApplyNotify;
    case 6: case 10: case 11: return OnHelpMessage;
    case 12: return OnMeasureItem;
    case 14: return OnEraseBackground;
    case 16: case 17: case 18: return OnPaletteMessage;
    case 21: return OnQueryPageIndex;
    case 24: return OnShowWarnings;
    default: return nullptr;  // 7, 19, 20, 25: a page brings its own
  }
}

template <SlotHandler Init>
struct SlotHandlerTable {
  SlotHandler slots[kSlotCount];
  constexpr SlotHandlerTable() : slots{} {
    for (LONG n = 0; n < kSlotCount; ++n) slots[n] = SlotTable(Init, n);
  }
};

constexpr SlotHandlerTable<OnInitPropertyPage> kTabPageSlots;
constexpr SlotHandlerTable<OnInitChildPage> kChildPageSlots;
constexpr SlotHandlerTable<OnInitPopupDialog> kPopupSlots;

// The row a control message is for: by control id (then among the shared popup rows) or by
// the control window in lParam.
const ControlRow* FindMessageRow(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* rows,
                                 LONG count) {
  if (rows == nullptr) return nullptr;
  if (message == WM_VKEYTOITEM || message == WM_HSCROLL || message == WM_VSCROLL) {
    const HWND control = reinterpret_cast<HWND>(lParam);
    if (control == nullptr) return nullptr;
    for (LONG n = 0; n < count; ++n) {
      if (rows[n].controlId != kNoControl && GetDlgItem(window, rows[n].controlId) == control) return &rows[n];
    }
    return nullptr;
  }
  const LONG id = message == WM_COMMAND ? LOWORD(wParam) : static_cast<LONG>(wParam);
  for (LONG n = 0; n < count; ++n) {
    if (rows[n].controlId == id) return &rows[n];
  }
  LONG shared = 0;
  const ControlRow* popupRows = GetSharedPopupRows(&shared);
  for (LONG n = 0; n < shared; ++n) {
    if (popupRows[n].controlId == id) return &popupRows[n];
  }
  return nullptr;
}

}  // namespace

int MapMessageToSlot(LONG* slot, UINT message, WPARAM, LPARAM lParam) {
  *slot = -1;
  if (message == WM_NOTIFY) {
    // A notice without its header has no slot.
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr) return 0;
    for (const SlotMapRow& row : kMessageSlotMap) {
      if (row.message == WM_NOTIFY && header->code == row.code) {
        *slot = row.slot;
        return 1;
      }
    }
    return 0;
  }
  for (const SlotMapRow* row = kMessageSlotMap; row->message != 0; ++row) {
    if (row->message == message) {
      *slot = row->slot;
      return 1;
    }
  }
  return 0;
}

int GetSlotHandler(UINT message, WPARAM wParam, LPARAM lParam, DialogKind kind, SlotHandler* handler, LONG* slot) {
  const SlotHandler* table = kind == kTabPage      ? kTabPageSlots.slots
                             : kind == kChildPage  ? kChildPageSlots.slots
                             : kind == kPopupDialog ? kPopupSlots.slots
                                                    : nullptr;
  if (table == nullptr || handler == nullptr || slot == nullptr) return 0;
  if (!MapMessageToSlot(slot, message, wParam, lParam)) return 0;
  *handler = table[*slot];
  return 1;
}

int OverrideSlotHandler(SlotHandler pageHandler, LONG wantedSlot, SlotHandler* handler, LONG currentSlot) {
  if (wantedSlot > kLastSlot || currentSlot > kLastSlot || handler == nullptr) return 0;
  if (currentSlot == wantedSlot) *handler = pageHandler;
  return 1;
}

INT_PTR CallSlotHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LONG pageIndex, DialogKind kind,
                        SlotHandler handler) {
  if (handler == nullptr) return 0;
  SlotContext slot{nullptr, nullptr, 0, kind};
  GetPageControls(window, pageIndex, &slot.rows, &slot.count);
  PageData* data = GetPageData(window);
  const HWND owner = kind == kTabPage ? GetParent(window) : data != nullptr ? data->owner : nullptr;
  // The context lives on the stack: a message that frees the page's records (WM_DESTROY) must
  // run even when memory is short.
  HandlerContext context{};
  InitHandlerContext(&context, window, owner, pageIndex, message, kind);
  slot.context = &context;
  const INT_PTR result = handler(window, message, wParam, lParam, pageIndex, &slot);
  GlobalFree(context.changedItems);
  return result;
}

INT_PTR RunChained(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                   const void* kindData) {
  return context->chained != nullptr ? context->chained(context, message, wParam, lParam, row, kindData) : 0;
}

bool IsNotice(UINT message, LPARAM lParam, UINT code) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  return message == WM_NOTIFY && header != nullptr && header->code == code;
}

INT_PTR DispatchToRows(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* rows,
                       LONG count, INT_PTR defaultResult) {
  INT_PTR result = defaultResult;
  for (LONG n = 0; rows != nullptr && n < count; ++n) {
    const ControlRow* row = &rows[n];
    RowHandler kindHandler = FindControlKindHandler(row->kind);
    RowHandler handler = row->callback != nullptr ? row->callback : kindHandler;
    context->chained = kindHandler;
    context->message = message;
    if (handler == nullptr) continue;
    const INT_PTR answer = handler(context, message, wParam, lParam, row, row->kindData);
    if (answer != defaultResult) {
      result = answer;
      if (message == WM_VALIDATEPAGE) break;
    }
  }
  context->chained = nullptr;
  return result;
}

INT_PTR OnControlMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LONG, SlotContext* slot) {
  const ControlRow* row = FindMessageRow(window, message, wParam, lParam, slot->rows, slot->count);
  if (row == nullptr) return 1;
  HandlerContext* context = slot->context;
  RowHandler kindHandler = FindControlKindHandler(row->kind);
  RowHandler handler = row->callback != nullptr ? row->callback : kindHandler;
  context->chained = kindHandler;
  const INT_PTR result = handler != nullptr ? handler(context, message, wParam, lParam, row, row->kindData) : 1;
  if (context->changed == 1) {
    ApplyDependentUpdates(context, context->changedItems, slot->rows, slot->count);
    SetContextChanges(context, 0, nullptr, context->row);
  }
  context->chained = nullptr;
  return result;
}
