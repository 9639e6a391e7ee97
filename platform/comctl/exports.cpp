// What "comctl32.dll" exports by name (the module table of the kernel's loader).
#include <iterator>

#include "platform/comctl/commctrl.h"
#include "platform/kernel/module.h"

namespace {

template <typename F>
FARPROC AsProc(F f) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(f));
}

struct Export {
  const char* name;
  FARPROC address;
};

const Export kExports[] = {
    {"InitCommonControlsEx", AsProc(&InitCommonControlsEx)},
    {"InitCommonControls", AsProc(&InitCommonControls)},
};

const bool registered = [] {
  for (const Export& e : kExports) KernelAddBuiltinExport(u"comctl32.dll", e.name, 0, e.address);
  return true;
}();

}  // namespace
