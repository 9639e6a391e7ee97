// Whole-number text of a buddy edit box (see the header).
#include "ui/shell/dialog/edit_value_standin.h"

#include "platform/user/format.h"
#include "platform/user/window.h"
#include "ui/shell/dialog/control_kinds.h"
#include "ui/shell/number_text.h"

int ShowEditValue(HandlerContext* context, const ControlRow* row, DWORD scaled) {
  LONG value = 0;
  if (context == nullptr || row == nullptr || !GetSpinValue(context->window, row, scaled, &value)) return 0;
  WCHAR text[24];
  wsprintfW(text, u"%d", value);
  return SetDlgItemTextW(context->window, row->controlId, text) ? 1 : 0;
}

int ReadEditValue(HandlerContext* context, const ControlRow* row, LONG* value) {
  HWND control = context != nullptr && row != nullptr ? GetDlgItem(context->window, row->controlId) : nullptr;
  if (control == nullptr) return -1;
  WCHAR text[24] = {};
  if (GetWindowTextLengthW(control) >= 23) return -2;
  GetWindowTextW(control, text, 24);
  char narrow[24] = {};
  for (int n = 0; n < 23 && text[n] != 0; ++n) {
    if (text[n] > 0x7F) return -2;
    narrow[n] = static_cast<char>(text[n]);
  }
  return ParseInt32Text(narrow, value) ? 0 : -2;
}
