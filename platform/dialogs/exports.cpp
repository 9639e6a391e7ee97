// What "comdlg32.dll", "hhctrl.ocx" and "shell32.dll" export (the module table of the
// kernel's loader).
#include <iterator>

#include "platform/dialogs/commdlg.h"
#include "platform/dialogs/htmlhelp.h"
#include "platform/dialogs/shellapi.h"
#include "platform/kernel/module.h"

namespace {

template <typename F>
FARPROC AsProc(F f) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(f));
}

struct Export {
  const WCHAR* module;
  const char* name;
  WORD ordinal;
  FARPROC address;
};

const Export kExports[] = {
    {u"comdlg32.dll", "GetOpenFileNameW", 0, AsProc(&GetOpenFileNameW)},
    {u"comdlg32.dll", "GetSaveFileNameW", 0, AsProc(&GetSaveFileNameW)},
    {u"comdlg32.dll", "ChooseColorW", 0, AsProc(&ChooseColorW)},
    {u"comdlg32.dll", "CommDlgExtendedError", 0, AsProc(&CommDlgExtendedError)},
    {u"hhctrl.ocx", "HtmlHelpW", kHtmlHelpWOrdinal, AsProc(&HtmlHelpW)},
    {u"hhctrl.ocx", "HtmlHelpA", kHtmlHelpAOrdinal, AsProc(&HtmlHelpA)},
    {u"shell32.dll", "ShellExecuteW", 0, AsProc(&ShellExecuteW)},
};

const bool registered = [] {
  for (const Export& e : kExports) KernelAddBuiltinExport(e.module, e.name, e.ordinal, e.address);
  return true;
}();

}  // namespace
