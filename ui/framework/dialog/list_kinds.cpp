// The list control kinds (combo box and list box): filling, selecting, stepping, keys and the
// owner drawing of their lines.
#include "ui/framework/dialog/list_kinds.h"

#include "core/constraints/change_values.h"
#include "core/pictures/dib_colors.h"
#include "core/runtime/resource_module.h"
#include "core/system/os_generation.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/comctl/propsheet.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/dialog.h"
#include "platform/user/format.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/resources.h"
#include "platform/user/sys_colors.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/edit_kind.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/value_pipeline.h"
#include "ui/framework/sheet/sheet_routines.h"

namespace {

// One code path drives both controls: column 0 list boxes, column 1 combo boxes.
struct ListMessages {
  UINT selectString, addString, setItemData, getItemData, getText, getSelection, getTextLength, resetContent,
      setSelection, setTabStops, selectionNotice, focusLossNotice, closeUpNotice, deleteString, insertString;
  LRESULT error, outOfSpace;
  DWORD sortStyle;
};
constexpr ListMessages kListMessageTable[2] = {
    {LB_SELECTSTRING, LB_ADDSTRING, LB_SETITEMDATA, LB_GETITEMDATA, LB_GETTEXT, LB_GETCURSEL, LB_GETTEXTLEN,
     LB_RESETCONTENT, LB_SETCURSEL, LB_SETTABSTOPS, LBN_SELCHANGE, LBN_KILLFOCUS, 0, LB_DELETESTRING,
     LB_INSERTSTRING, LB_ERR, LB_ERRSPACE, LBS_SORT},
    {CB_SELECTSTRING, CB_ADDSTRING, CB_SETITEMDATA, CB_GETITEMDATA, CB_GETLBTEXT, CB_GETCURSEL, CB_GETLBTEXTLEN,
     CB_RESETCONTENT, CB_SETCURSEL, 0, CBN_SELENDOK, CBN_KILLFOCUS, CBN_CLOSEUP, CB_DELETESTRING, CB_INSERTSTRING,
     CB_ERR, CB_ERRSPACE, CBS_SORT},
};

// The notice that checks a combo box's text field (LBN_SETFOCUS of a list box has the same code).
constexpr UINT kTextFieldCheckNotice = 4;
constexpr WORD kListIcons[] = {kIconRestricted, kIconExcluded, kIconUnchecked, kIconChecked};
constexpr int kIconDataList = 1;
constexpr int kMaxKeyTarget = 0x28;

struct ListIcon {
  HICON icon;
};

LRESULT Send(HandlerContext* context, const ControlRow* row, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendDlgItemMessageW(context->window, row->controlId, message, wParam, lParam);
}

bool Excluded(StateCode code) { return code == kStateDisabled || code == kStateHidden; }

// The text of a line as a new buffer of its own length (never a fixed-size read).
LPWSTR ReadLineText(HandlerContext* context, const ControlRow* row, int column, LONG line) {
  const ListMessages& m = kListMessageTable[column];
  const LRESULT length = Send(context, row, m.getTextLength, line, 0);
  if (length < 0) return nullptr;
  auto* text = static_cast<LPWSTR>(GlobalAlloc(GPTR, (length + 1) * sizeof(WCHAR)));
  if (text == nullptr) return nullptr;
  if (Send(context, row, m.getText, line, reinterpret_cast<LPARAM>(text)) < 0) text[0] = 0;
  text[length] = 0;
  return text;
}

// The name part of a mode-2 line: the text up to the tab when both parts are shown.
void CutNamePart(const ListKindData* data, LPWSTR text) {
  if ((data->lineParts & (kLinePartName | kLinePartValue)) != (kLinePartName | kLinePartValue)) return;
  for (LPWSTR p = text; *p != 0; ++p) {
    if (*p == u'\t') {
      *p = 0;
      return;
    }
  }
}

// The bound item whose choice-list name equals the text; -1 none.
LONG FindBoundIndexByName(HandlerContext* context, const ControlRow* row, LPCWSTR name) {
  for (LONG j = 0; j < row->itemCount; ++j) {
    ChoiceList* list = GetBoundChoiceList(context->window, row, j);
    if (list != nullptr && list->name != nullptr && lstrcmpW(list->name, name) == 0) return j;
  }
  return -1;
}

// The choice value, negated for check lists, as a cell the change pipeline takes.
const void* ChoiceValueFor(const ListKindData* data, const ChoiceList* list, LONG n, ItemValueCell* cell) {
  if ((data->flags & kListCheckIcons) == 0) return ChoiceValueReference(list, n);
  const Choice* choice = GetChoice(list, n);
  if (choice == nullptr) return nullptr;
  *cell = ItemValueCell{};
  cell->number = choice->value.number == 0 ? 1 : 0;
  return cell;
}

// The icon a choice's line carries, 0 none.
WORD LineIcon(const ListKindData* data, StateCode code, const Choice* choice) {
  if (data->flags & kListStateIcons) {
    if (code == 2 || (code >= 10 && code <= 13)) return kIconRestricted;
    if (code == 3 || code == 5) return kIconExcluded;
    return 0;
  }
  if (data->flags & kListCheckIcons) return choice->value.number == 0 ? kIconUnchecked : kIconChecked;
  return 0;
}

// Sets the item data of a line: the icon for icon lists, the colour for colour lists.
bool FillListEntry(HandlerContext* context, const ControlRow* row, const ListKindData* data, int column, LONG line,
                   const ChoiceList* list, LONG n, StateCode code) {
  const Choice* choice = GetChoice(list, n);
  if (choice == nullptr) return true;
  const ListMessages& m = kListMessageTable[column];
  if (data->flags & kListColorBox) {
    COLORREF colour = 0;
    LONG key = static_cast<LONG>(choice->value.number);
    ItemValueCell custom{};
    if (list->id == kItemStampColorChoice && key == 8 && ReadContextItem(context, kItemCustomColor, &custom)) {
      colour = custom.number;
    } else {
      LookUpColorValue(key, &colour, -1);
    }
    return Send(context, row, m.setItemData, line, static_cast<LPARAM>(colour)) != m.error;
  }
  const WORD icon = LineIcon(data, code, choice);
  if (icon == 0) return true;
  HICON handle = GetListIcon(context->window, icon);
  return Send(context, row, m.setItemData, line, reinterpret_cast<LPARAM>(handle)) != m.error;
}

bool IsSorted(HandlerContext* context, const ControlRow* row, int column) {
  HWND control = GetDlgItem(context->window, row->controlId);
  return (GetWindowLongW(control, GWL_STYLE) & kListMessageTable[column].sortStyle) != 0;
}

// Mode 1: the choices of the current bound item.
bool FillChoices(HandlerContext* context, const ControlRow* row, const ListKindData* data, int column, BOOL refill,
                 StateCode controlCode) {
  const ListMessages& m = kListMessageTable[column];
  ChoiceList* list = GetCurrentChoiceList(context->window, row);
  const SettingItemId id = GetCurrentBoundItemId(context->window, row);
  const LONG selected = GetCurrentChoiceIndex(context->window, row);
  LONG position = -1, added = 0;
  LPWSTR selectedText = nullptr;
  bool ok = true;
  for (LONG n = 0; ok && list != nullptr && n < list->count; ++n) {
    StateCode code = 0;
    if (list->choices[n].name == nullptr || !GetChoiceStateCode(context->window, id, n, &code) || Excluded(code)) {
      continue;
    }
    LPWSTR name = CutValueTextAtLastCr(list->choices[n].name);
    if (name == nullptr) {
      ok = false;
      break;
    }
    if (refill) {
      const LRESULT line = Send(context, row, m.addString, 0, reinterpret_cast<LPARAM>(name));
      if (line == m.error || line == m.outOfSpace) ok = false;
      if (ok && !Excluded(controlCode)) ok = FillListEntry(context, row, data, column, LONG(line), list, n, code);
    }
    if (n == selected) {
      position = added;
      GlobalFree(selectedText);
      selectedText = name;
    } else {
      GlobalFree(name);
    }
    ++added;
  }
  if (ok && position >= 0 && !(column == kListColumn && Excluded(controlCode))) {
    const LRESULT answer = IsSorted(context, row, column)
                               ? Send(context, row, m.selectString, WPARAM(-1), reinterpret_cast<LPARAM>(selectedText))
                               : Send(context, row, m.setSelection, position, 0);
    ok = answer != m.error && answer != m.outOfSpace;
  }
  GlobalFree(selectedText);
  return ok;
}

bool InList(const WORD* ids, SettingItemId id) {
  for (const WORD* p = ids; p != nullptr && *p != 0; ++p) {
    if (*p == id) return true;
  }
  return false;
}

// Whether line j is rebuilt by a partial refresh: the current item, an item its state names
// as affected, or an item the context changed.
bool LineAffected(HandlerContext* context, const ControlRow* row, LONG j) {
  const LONG current = GetCurrentBoundIndex(context->window, row);
  if (j == current) return true;
  const BoundValue* bound = GetBoundValueAt(context->window, row, j);
  if (bound == nullptr) return false;
  const WORD* related = nullptr;
  WORD count = 0;
  if (GetItemConflictInfo(context->window, row, &related, &count)) {
    for (WORD k = 0; k < count; ++k) {
      if (related[k] == bound->id) return true;
    }
  }
  return InList(context->changedItems, bound->id);
}

// The value part of item j's line as a new text.
LPWSTR ValuePart(HandlerContext* context, const ControlRow* row, LONG j, const ChoiceList* list, StateCode code) {
  if (code == kStateDisabledCurrent) {
    auto* text = static_cast<LPWSTR>(GlobalAlloc(GPTR, 21 * sizeof(WCHAR)));
    if (text != nullptr) LoadStringW(GetResourceModule(), kDisabledValueString, text, 21);
    return text;
  }
  const BoundValue* bound = GetBoundValueAt(context->window, row, j);
  if (list->kind == kChoiceKindNoThirdValue && bound != nullptr && bound->type == 6) {
    LPCWSTR own = reinterpret_cast<LPCWSTR>(bound->value.data);
    return CutValueTextAtLastCr(own != nullptr ? own : u"");
  }
  LPCWSTR name = GetChoiceName(list, GetBoundChoiceIndex(context->window, row, j));
  return CutValueTextAtLastCr(name != nullptr ? name : u"");
}

// Mode 2: one line per bound item.
bool FillItemLines(HandlerContext* context, const ControlRow* row, const ListKindData* data, int column,
                   BOOL refill) {
  const ListMessages& m = kListMessageTable[column];
  const bool both = (data->lineParts & (kLinePartName | kLinePartValue)) == (kLinePartName | kLinePartValue);
  if (both && m.setTabStops != 0) {
    INT stop = data->tabStop;
    Send(context, row, m.setTabStops, 1, reinterpret_cast<LPARAM>(&stop));
  }
  const bool partial = (data->flags & kListRebuildAffected) && !refill;
  const LONG current = GetCurrentBoundIndex(context->window, row);
  LONG line = 0, currentLine = -1;
  for (LONG j = 0; j < row->itemCount; ++j) {
    ChoiceList* list = GetBoundChoiceList(context->window, row, j);
    const BoundValue* bound = GetBoundValueAt(context->window, row, j);
    StateCode code = 0;
    if (list == nullptr || bound == nullptr || !GetItemStateCode(context->window, bound->id, &code, nullptr) ||
        Excluded(code)) {
      continue;
    }
    if (!partial || LineAffected(context, row, j)) {
      LPWSTR value = (data->lineParts & kLinePartValue) ? ValuePart(context, row, j, list, code) : nullptr;
      LPCWSTR name = (data->lineParts & kLinePartName) && list->name != nullptr ? list->name : u"";
      const int size = lstrlenW(name) + (value != nullptr ? lstrlenW(value) : 0) + 2;
      auto* text = static_cast<LPWSTR>(GlobalAlloc(GPTR, size * sizeof(WCHAR)));
      if (text == nullptr) {
        GlobalFree(value);
        return false;
      }
      lstrcpynW(text, name, size);
      if (both) lstrcatW(text, u"\t");
      if (value != nullptr) lstrcatW(text, value);
      GlobalFree(value);
      LRESULT at = 0;
      if (partial) {
        Send(context, row, m.deleteString, line, 0);
        at = Send(context, row, m.insertString, line, reinterpret_cast<LPARAM>(text));
      } else {
        at = Send(context, row, m.addString, 0, reinterpret_cast<LPARAM>(text));
      }
      GlobalFree(text);
      if (at == m.error || at == m.outOfSpace) return false;
      if (list->kind != kChoiceKindNoThirdValue) {
        const LONG choice = GetBoundChoiceIndex(context->window, row, j);
        StateCode choiceCode = 0;
        GetChoiceStateCode(context->window, bound->id, choice, &choiceCode);
        if (!FillListEntry(context, row, data, column, LONG(at), list, choice, choiceCode)) return false;
      }
    }
    if (j == current) currentLine = line;
    ++line;
  }
  if (line == 0) {
    WCHAR empty[256] = {};
    LoadStringW(GetResourceModule(), kEmptyListString, empty, 256);
    const LRESULT at = Send(context, row, m.addString, 0, reinterpret_cast<LPARAM>(empty));
    return at != m.error && at != m.outOfSpace;
  }
  if (currentLine >= 0) Send(context, row, m.setSelection, currentLine, 0);
  return true;
}

// The change of one value through the pipeline; an applied change is recorded.
int ApplyListValue(HandlerContext* context, const ControlRow* row, const void* value) {
  const BoundValue* bound = GetCurrentBoundValue(context->window, row);
  if (bound == nullptr || value == nullptr) return kChangeError;
  WORD* changed = nullptr;
  const int result = ChangeControlValue(context, row, bound, value, &changed);
  if (result == kChangeApplied) SetContextChanges(context, 1, changed, row);
  return result;
}

// The next choice of bound item j after its selected one that has a name and is not
// excluded, wrapping around; -1 when none other qualifies.
LONG NextChoice(HandlerContext* context, const ChoiceList* list, SettingItemId id, LONG selected) {
  for (LONG step = 1; step < list->count; ++step) {
    const LONG n = ((selected < 0 ? -1 : selected) + step + list->count) % list->count;
    StateCode code = 0;
    if (list->choices[n].name != nullptr && GetChoiceStateCode(context->window, id, n, &code) && !Excluded(code)) {
      return n;
    }
  }
  return -1;
}

// Mode 1: the choice a line stands for (its position when the full name matches, else the
// first whose cut name equals the text); -1 none.
LONG ChoiceOfLine(const ChoiceList* list, LONG line, LPCWSTR text, HandlerContext* context, SettingItemId id) {
  // Lines leave excluded choices out, so the line's position counts only the listed choices.
  LONG position = 0;
  for (LONG n = 0; n < list->count; ++n) {
    StateCode code = 0;
    if (list->choices[n].name == nullptr || !GetChoiceStateCode(context->window, id, n, &code) || Excluded(code)) {
      continue;
    }
    if (position == line && lstrcmpW(list->choices[n].name, text) == 0) return n;
    ++position;
  }
  for (LONG n = 0; n < list->count; ++n) {
    LPWSTR cut = CutValueTextAtLastCr(list->choices[n].name);
    const bool same = cut != nullptr && lstrcmpW(cut, text) == 0;
    GlobalFree(cut);
    if (same) return n;
  }
  return -1;
}

// Applies what a line stands for: mode 1 its choice, mode 2 (toggle) the negation of its
// item's value. Mode-2 lists without a toggle only change the current item. The answer is
// ChangeControlValue's, 0 when nothing was applied.
int ApplyLine(HandlerContext* context, const ControlRow* row, const ListKindData* data, int column, LONG line,
              bool toggle) {
  LPWSTR text = ReadLineText(context, row, column, line);
  if (text == nullptr) return 0;
  int result = 0;
  ItemValueCell cell{};
  if (data->mode == kListItemLines) {
    CutNamePart(data, text);
    const LONG previous = GetCurrentBoundIndex(context->window, row);
    const LONG j = FindBoundIndexByName(context, row, text);
    if (j >= 0) {
      SetCurrentBoundIndex(context->window, row, j);
      if (toggle && (data->flags & kListCheckIcons)) {
        ChoiceList* list = GetBoundChoiceList(context->window, row, j);
        result = ApplyListValue(context, row, ChoiceValueFor(data, list, GetBoundChoiceIndex(context->window, row, j),
                                                             &cell));
        if (result == kChangeRefused) {
          SetCurrentBoundIndex(context->window, row, previous);
          RefillListControl(data, context, row, column, FALSE, FALSE);
        }
      } else {
        SetContextChanges(context, 1, nullptr, row);
      }
    }
  } else {
    ChoiceList* list = GetCurrentChoiceList(context->window, row);
    const SettingItemId id = GetCurrentBoundItemId(context->window, row);
    const LONG n = list != nullptr ? ChoiceOfLine(list, line, text, context, id) : -1;
    if (n >= 0) result = ApplyListValue(context, row, ChoiceValueFor(data, list, n, &cell));
  }
  GlobalFree(text);
  return result;
}

// Double-click stepping of the line's item.
void StepLine(HandlerContext* context, const ControlRow* row, const ListKindData* data, int column, LONG line) {
  LPWSTR text = ReadLineText(context, row, column, line);
  if (text == nullptr) return;
  LONG j = GetCurrentBoundIndex(context->window, row);
  if (data->mode == kListItemLines) {
    CutNamePart(data, text);
    j = FindBoundIndexByName(context, row, text);
  }
  GlobalFree(text);
  ChoiceList* list = j >= 0 ? GetBoundChoiceList(context->window, row, j) : nullptr;
  const BoundValue* bound = j >= 0 ? GetBoundValueAt(context->window, row, j) : nullptr;
  StateCode code = 0;
  if (list == nullptr || bound == nullptr || list->kind == 0 || list->kind == kChoiceKindNoThirdValue ||
      (GetItemStateCode(context->window, bound->id, &code, nullptr) && code == kStateDisabledCurrent)) {
    return;
  }
  const LONG next = NextChoice(context, list, bound->id, GetBoundChoiceIndex(context->window, row, j));
  if (next < 0) return;
  const LONG previous = GetCurrentBoundIndex(context->window, row);
  SetCurrentBoundIndex(context->window, row, j);
  if (ApplyListValue(context, row, ChoiceValueReference(list, next)) == kChangeRefused) {
    SetCurrentBoundIndex(context->window, row, previous);
    RefillListControl(data, context, row, column, FALSE, FALSE);
  }
}

INT_PTR OnSelection(HandlerContext* context, const ControlRow* row, const ListKindData* data, int column) {
  const LRESULT line = Send(context, row, kListMessageTable[column].getSelection, 0, 0);
  if (line < 0) return 0;
  const LONG previous = GetCurrentBoundIndex(context->window, row);
  if (ApplyLine(context, row, data, column, LONG(line), true) == kChangeRefused) {
    if (data->mode == kListItemLines) SetCurrentBoundIndex(context->window, row, previous);
    RefillListControl(data, context, row, column, FALSE, FALSE);
  }
  return 0;
}

// WM_VKEYTOITEM of a list box: -2 handled, -1 the list box's own handling.
INT_PTR OnKey(HandlerContext* context, const ControlRow* row, const ListKindData* data, WPARAM wParam) {
  const int key = LOWORD(wParam);
  if (key < VK_SPACE || key > kMaxKeyTarget) return -1;
  const LONG count = LONG(Send(context, row, LB_GETCOUNT, 0, 0));
  const LONG caret = HIWORD(wParam);
  LONG target = caret;
  switch (key) {
    case VK_HOME: case VK_PRIOR: target = 0; break;
    case VK_END: case VK_NEXT: target = count - 1; break;
    case VK_LEFT: case VK_UP: target = caret - 1; break;
    case VK_RIGHT: case VK_DOWN: target = caret + 1; break;
    default: break;  // Space stays on its line
  }
  if (target < 0 || target >= count || (target == caret && key != VK_SPACE)) return -2;
  int result = 0;
  if (data->mode == kListItemLines) {
    result = ApplyLine(context, row, data, kListColumn, target, key == VK_SPACE);
  } else {
    result = ApplyLine(context, row, data, kListColumn, target, true);
  }
  if (result == kChangeRefused) {
    RefillListControl(data, context, row, kListColumn, FALSE, FALSE);
  } else {
    Send(context, row, LB_SETCURSEL, target, 0);
  }
  return -2;
}

// The combo box's text field check: 1 when its text was refused.
INT_PTR CheckTextField(HandlerContext* context, const ControlRow* row, const ListKindData* data, WPARAM wParam) {
  if (!(data->flags & kListTextField) || data->edit == nullptr) return 0;
  ChoiceList* list = GetCurrentChoiceList(context->window, row);
  if (list == nullptr || list->kind == 0) return 0;
  const WORD kind = list->kind;
  list->kind = kChoiceKindNoThirdValue;
  const int result = ApplyEditValue(context, wParam, row, data->edit, TRUE);
  list->kind = kind;
  return result == 2 ? 1 : 0;
}

INT_PTR OnCommand(HandlerContext* context, const ControlRow* row, const ListKindData* data, int column,
                  WPARAM wParam) {
  const ListMessages& m = kListMessageTable[column];
  const UINT notice = HIWORD(wParam);
  if (notice == m.selectionNotice) return OnSelection(context, row, data, column);
  if (notice == LBN_DBLCLK && column == kListColumn) {
    if (data->flags & kListStepOnDoubleClick) {
      const LRESULT line = Send(context, row, LB_GETCURSEL, 0, 0);
      if (line >= 0) StepLine(context, row, data, column, LONG(line));
    }
    return 0;
  }
  if (column == kComboColumn && notice == CBN_CLOSEUP) {
    RefillListControl(data, context, row, column, FALSE, FALSE);
    return 0;
  }
  if (column == kComboColumn && notice == CBN_DROPDOWN) {
    EvaluateListChoiceStates(context, row);
    RefillListControl(data, context, row, column, FALSE, FALSE);
    return 0;
  }
  if (notice == kTextFieldCheckNotice) return CheckTextField(context, row, data, 0);
  return 1;
}

INT_PTR HandleListKind(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                       const void* kindData, int column) {
  const auto* data = static_cast<const ListKindData*>(kindData);
  if (context == nullptr || row == nullptr || data == nullptr || row->controlId == kNoControl ||
      GetDlgItem(context->window, row->controlId) == nullptr) {
    return 0;
  }
  INT_PTR answer = 0;
  if (message == WM_INITDIALOG) {
    answer = 0;
  } else if (IsNotice(message, lParam, PSN_SETACTIVE)) {
    LoadListIcons(context->window);
    if (column == kListColumn && data->mode == kListChoices) EvaluateListChoiceStates(context, row);
    RefillListControl(data, context, row, column, wParam != kRefreshAfterValidation, TRUE);
    if ((data->flags & kListTextField) && data->edit != nullptr) AttachEditState(context, row, data->edit);
  } else if (IsNotice(message, lParam, PSN_KILLACTIVE) || IsNotice(message, lParam, PSN_RESET)) {
    answer = CheckTextField(context, row, data, 0);
    FreeListIcons(context->window);
    DetachEditState(context, row);
  } else if (IsNotice(message, lParam, PSN_APPLY)) {
    FreeListIcons(context->window);
    DetachEditState(context, row);
  } else if (message == WM_COMMAND) {
    answer = OnCommand(context, row, data, column, wParam);
  } else if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (data->flags & kListPageDraw) {
      answer = data->draw != nullptr ? data->draw(context, item, row, data, column) : 0;
    } else {
      answer = DrawListItem(context, item, row, data, column, nullptr);
    }
  } else if (message == WM_VKEYTOITEM) {
    answer = column == kListColumn ? OnKey(context, row, data, wParam) : -2;
  } else if (message == WM_REFRESHCONTROLS) {
    if (context->row == nullptr) return 0;
    if (column == kListColumn) EvaluateListChoiceStates(context, row);
    const bool own = context->row == row || context->row->controlId == row->controlId;
    const bool refill = !own && !(column == kListColumn && (data->flags & kListKeepOnRefresh));
    RefillListControl(data, context, row, column, refill, refill);
    answer = 1;
  } else if (message == WM_VALIDATEPAGE) {
    answer = CheckTextField(context, row, data, wParam);
  } else if (message == WM_CANCELPAGE) {
    RefillListControl(data, context, row, column, FALSE, FALSE);
  }
  if (column == kComboColumn && (message == WM_INITDIALOG || message == WM_NOTIFY) && IsWindowsXpOrLater()) {
    Send(context, row, CB_SETMINVISIBLE, 7, 0);
  }
  return answer;
}

int Scale(HDC dc, int n, int axis) { return ScaleForDpi(dc, n, axis); }

}  // namespace

void EvaluateListChoiceStates(HandlerContext* context, const ControlRow* row) {
  UpdateRowStateCodes(context, row, 1, kRefreshOnFull, context->changedItems);
}

LPWSTR CutValueTextAtLastCr(LPCWSTR name) {
  if (name == nullptr) return nullptr;
  int length = lstrlenW(name);
  for (int n = length - 1; n >= 0; --n) {
    if (name[n] == u'\r') {
      length = n;
      break;
    }
  }
  auto* text = static_cast<LPWSTR>(GlobalAlloc(GPTR, (length + 1) * sizeof(WCHAR)));
  if (text != nullptr) lstrcpynW(text, name, length + 1);
  return text;
}

int LoadListIcons(HWND dialog) {
  HMODULE resources = GetResourceModule();
  for (WORD id : kListIcons) {
    if (GetControlData(kIconDataList, dialog, id, 0) != nullptr) continue;
    auto* entry = static_cast<ListIcon*>(GlobalAlloc(GPTR, sizeof(ListIcon)));
    if (entry == nullptr) return 0;
    entry->icon = static_cast<HICON>(LoadImageW(resources, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, 0));
    if (SetControlData(kIconDataList, dialog, id, 0, entry) != 0) {
      if (entry->icon != nullptr) DestroyIcon(entry->icon);
      GlobalFree(entry);
      return 0;
    }
  }
  return 1;
}

void FreeListIcons(HWND dialog) {
  for (WORD id : kListIcons) {
    auto* entry = static_cast<ListIcon*>(GetControlData(kIconDataList, dialog, id, 0));
    if (entry == nullptr) continue;
    if (entry->icon != nullptr) DestroyIcon(entry->icon);
    RemoveControlData(kIconDataList, dialog, id, 0);
  }
}

HICON GetListIcon(HWND dialog, WORD iconId) {
  auto* entry = static_cast<ListIcon*>(GetControlData(kIconDataList, dialog, iconId, 0));
  return entry != nullptr ? entry->icon : nullptr;
}

int RefillListControl(const ListKindData* data, HandlerContext* context, const ControlRow* row, int column,
                      BOOL refill, BOOL emptyFirst) {
  if (data == nullptr || context == nullptr || row == nullptr) return 0;
  HWND control = GetDlgItem(context->window, row->controlId);
  if (control == nullptr) return 0;
  const ListMessages& m = kListMessageTable[column];
  SendMessageW(control, WM_SETREDRAW, FALSE, 0);
  if (!refill && (data->mode == kListItemLines || (data->flags & kListStateIcons))) refill = TRUE;
  LONG top = -1;
  if (refill) {
    if (column == kListColumn) top = LONG(SendMessageW(control, LB_GETTOPINDEX, 0, 0));
    if (!(data->flags & kListRebuildAffected) || emptyFirst) SendMessageW(control, m.resetContent, 0, 0);
  }
  // A partial rebuild keeps its lines; any other refill starts from an empty control.
  const BOOL addLines = refill && (!(data->flags & kListRebuildAffected) || emptyFirst);
  bool ok = true;
  if (data->flags & kListPageFill) {
    ok = data->fill != nullptr && data->fill(context, row, data, column) != 0;
  } else if (data->mode == kListChoices) {
    if (GetCurrentChoiceList(context->window, row) == nullptr) {
      EnableWindow(control, FALSE);
    } else {
      StateCode code = 0;
      if (context->permission != 0) ApplyControlState(context->window, row, &code);
      ok = FillChoices(context, row, data, column, refill, code);
    }
  } else {
    ok = FillItemLines(context, row, data, column, addLines);
  }
  if ((data->flags & kListTextField) && data->edit != nullptr && column == kComboColumn) {
    ShowEditValue(context, row, data->edit);
  }
  const LONG selection = LONG(SendMessageW(control, m.getSelection, 0, 0));
  if (top >= 0 && selection >= 0) {
    const LRESULT height = SendMessageW(control, LB_GETITEMHEIGHT, 0, 0);
    RECT client{};
    GetClientRect(control, &client);
    // A zero or failed item height leaves the top line where it is.
    const LONG visible = height > 0 ? LONG((client.bottom - client.top) / height) : 0;
    if (visible > 0 && selection - top >= visible) top = selection - visible + 2;
    SendMessageW(control, LB_SETTOPINDEX, top, 0);
  }
  SendMessageW(control, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(control, nullptr, TRUE);
  return ok ? 1 : 0;
}

int DrawListItem(HandlerContext* context, const DRAWITEMSTRUCT* item, const ControlRow* row, const ListKindData* data,
                 int column, ListTextCallback text) {
  if (context == nullptr || item == nullptr || row == nullptr || data == nullptr) return 0;
  if (item->itemID == UINT(-1) || (item->itemAction != ODA_DRAWENTIRE && item->itemAction != ODA_SELECT)) return 0;
  const ListMessages& m = kListMessageTable[column];
  const LONG_PTR itemData = Send(context, row, m.getItemData, item->itemID, 0);
  LPWSTR line = ReadLineText(context, row, column, LONG(item->itemID));
  if (line == nullptr) return 0;
  const int result = DrawListKindItem(context, row, data, item, column, text, line, itemData);
  GlobalFree(line);
  return result;
}

int DrawListKindItem(HandlerContext* context, const ControlRow* row, const ListKindData* data,
                     const DRAWITEMSTRUCT* item, int column, ListTextCallback text, LPCWSTR line, LONG_PTR itemData) {
  if (item == nullptr || data == nullptr || line == nullptr) return 0;
  HDC dc = item->hDC;
  COLORREF fore = GetSysColor(COLOR_WINDOWTEXT), back = GetSysColor(COLOR_WINDOW);
  if (item->itemState & ODS_DISABLED) {
    fore = GetSysColor(COLOR_GRAYTEXT);
    back = GetSysColor(column == kComboColumn ? COLOR_BTNFACE : COLOR_WINDOW);
  } else if (item->itemState & ODS_SELECTED) {
    fore = GetSysColor(COLOR_HIGHLIGHTTEXT);
    back = GetSysColor(COLOR_HIGHLIGHT);
  }
  const COLORREF oldFore = SetTextColor(dc, fore);
  const COLORREF oldBack = SetBkColor(dc, back);
  HBRUSH brush = CreateSolidBrush(back);
  FillRect(dc, &item->rcItem, brush);
  DeleteObject(brush);
  SIZE extent{};
  GetTextExtentPoint32W(dc, line, lstrlenW(line), &extent);
  RECT rect = item->rcItem;
  if ((data->flags & (kListStateIcons | kListCheckIcons)) && itemData != 0 && itemData != LB_ERR) {
    int x = rect.left;
    const int y = rect.top + ((data->flags & kListPageIcon) ? Scale(dc, 6, LOGPIXELSY) : 0);
    SheetState* sheet = FindSheetState(context->window);
    if (sheet != nullptr && HasSheetFeature(sheet, kRightToLeftFeature) &&
        (row->controlId == 1013 || row->controlId == 1707)) {
      x -= Scale(dc, 16, LOGPIXELSX);
    }
    // Line icons are small icons: 16 px at 96 dots per inch.
    DrawIconEx(dc, x, y, reinterpret_cast<HICON>(itemData), Scale(dc, 16, LOGPIXELSX), Scale(dc, 16, LOGPIXELSY), 0,
               nullptr, DI_NORMAL);
  }
  if (data->flags & kListColorBox) {
    const int side = extent.cy;
    const int top = (rect.top + rect.bottom - side) / 2;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HBRUSH fill = CreateSolidBrush(static_cast<COLORREF>(itemData));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    Rectangle(dc, rect.left + Scale(dc, 2, LOGPIXELSX), top, rect.left + Scale(dc, 2, LOGPIXELSX) + side, top + side);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(fill);
  }
  if ((data->flags & kListPageIcon) && data->icon != nullptr) {
    if (data->flags & kListStateIcons) rect.left += Scale(dc, 16, LOGPIXELSX);
    rect.top += Scale(dc, 1, LOGPIXELSY);
    const Choice* choice = FindChoiceByName(GetCurrentChoiceList(context->window, row), line);
    const WORD iconId = choice != nullptr ? data->icon(row->controlId, choice, context->settings, context->config) : 0;
    HICON icon = iconId != 0 ? static_cast<HICON>(LoadImageW(GetResourceModule(), MAKEINTRESOURCEW(iconId),
                                                             IMAGE_ICON, 0, 0, 0))
                             : nullptr;
    if (icon != nullptr) {
      DrawIconEx(dc, rect.left, rect.top, icon, Scale(dc, 16, LOGPIXELSX), Scale(dc, 16, LOGPIXELSY), 0, nullptr,
                 DI_NORMAL);
      DestroyIcon(icon);
    }
  }
  int x = (data->flags & (kListCheckIcons | kListStateIcons | kListColorBox)) ? 20 : 4;
  if (data->flags & kListPageIcon) x += 27;
  x = item->rcItem.left + Scale(dc, x, LOGPIXELSX);
  const int y = (item->rcItem.top + item->rcItem.bottom - extent.cy) / 2;
  int result = 1;
  if (text != nullptr) {
    result = text(context, row, item, line, x, y);
  } else {
    // A two-part line: the value part starts at the tab stop (dialog units from the text's start).
    SetBkMode(dc, TRANSPARENT);
    int tab = 0;
    while (line[tab] != 0 && line[tab] != u'\t') ++tab;
    TextOutW(dc, x, y, line, tab);
    if (line[tab] == u'\t') {
      RECT stop{0, 0, data->tabStop, 0};
      MapDialogRect(context->window, &stop);
      TextOutW(dc, x + stop.right, y, line + tab + 1, lstrlenW(line + tab + 1));
    }
  }
  SetTextColor(dc, oldFore);
  SetBkColor(dc, oldBack);
  return result;
}

INT_PTR HandleComboBoxKind(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                           const void* kindData) {
  return HandleListKind(context, message, wParam, lParam, row, kindData, kComboColumn);
}

INT_PTR HandleListBoxKind(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                          const void* kindData) {
  return HandleListKind(context, message, wParam, lParam, row, kindData, kListColumn);
}
