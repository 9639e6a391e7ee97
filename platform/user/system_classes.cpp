// The layer's own window classes: the dialog class and the standard controls, registered once
// before the first window is made.
#include <mutex>

#include "platform/user/controls_internal.h"
#include "platform/user/dialog.h"
#include "platform/user/window_class.h"

namespace {

// Each control keeps its state with the window record; the dialog class has the dialog's
// extra bytes.
struct SystemClass {
  LPCWSTR name;
  ATOM atom;
  WNDPROC proc;
  int wndExtra;
  UINT style;
};

constexpr SystemClass kSystemClasses[] = {
    {u"#32770", 0x8002, DefDlgProcW, DLGWINDOWEXTRA, CS_SAVEBITS | CS_DBLCLKS},
    {WC_BUTTONW, 0x0080, ButtonProc, 0, CS_DBLCLKS | CS_PARENTDC},
    {WC_EDITW, 0x0081, EditProc, 0, CS_DBLCLKS | CS_PARENTDC},
    {WC_STATICW, 0x0082, StaticProc, 0, CS_DBLCLKS | CS_PARENTDC},
    {WC_LISTBOXW, 0x0083, ListBoxProc, 0, CS_DBLCLKS | CS_PARENTDC},
    {WC_SCROLLBARW, 0x0084, ScrollBarProc, 0, CS_DBLCLKS | CS_PARENTDC},
    {WC_COMBOBOXW, 0x0085, ComboBoxProc, 0, CS_DBLCLKS | CS_PARENTDC},
};

}  // namespace

void UserRegisterSystemClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (const SystemClass& c : kSystemClasses) UserAddSystemClass(c.name, c.atom, c.proc, c.wndExtra, c.style, nullptr);
  });
}
