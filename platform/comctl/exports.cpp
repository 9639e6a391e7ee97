// What "comctl32.dll" and "compstui.dll" export by name (the module table of the kernel's loader).
#include <iterator>

#include "platform/comctl/commctrl.h"
#include "platform/comctl/compstui.h"
#include "platform/comctl/imagelist.h"
#include "platform/comctl/propsheet.h"
#include "platform/kernel/module.h"

namespace {

template <typename F>
FARPROC AsProc(F f) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(f));
}

struct Export {
  const WCHAR* module;
  const char* name;
  FARPROC address;
};

const Export kExports[] = {
    {u"comctl32.dll", "InitCommonControlsEx", AsProc(&InitCommonControlsEx)},
    {u"comctl32.dll", "InitCommonControls", AsProc(&InitCommonControls)},
    {u"comctl32.dll", "CreatePropertySheetPageW", AsProc(&CreatePropertySheetPageW)},
    {u"comctl32.dll", "DestroyPropertySheetPage", AsProc(&DestroyPropertySheetPage)},
    {u"comctl32.dll", "PropertySheetW", AsProc(&PropertySheetW)},
    {u"comctl32.dll", "ImageList_Create", AsProc(&ImageList_Create)},
    {u"comctl32.dll", "ImageList_Destroy", AsProc(&ImageList_Destroy)},
    {u"comctl32.dll", "ImageList_GetImageCount", AsProc(&ImageList_GetImageCount)},
    {u"comctl32.dll", "ImageList_GetIconSize", AsProc(&ImageList_GetIconSize)},
    {u"comctl32.dll", "ImageList_ReplaceIcon", AsProc(&ImageList_ReplaceIcon)},
    {u"comctl32.dll", "ImageList_Remove", AsProc(&ImageList_Remove)},
    {u"comctl32.dll", "ImageList_GetIcon", AsProc(&ImageList_GetIcon)},
    {u"comctl32.dll", "ImageList_Draw", AsProc(&ImageList_Draw)},
    {u"comctl32.dll", "ImageList_SetBkColor", AsProc(&ImageList_SetBkColor)},
    {u"comctl32.dll", "ImageList_GetBkColor", AsProc(&ImageList_GetBkColor)},
    {u"compstui.dll", "CommonPropertySheetUIW", AsProc(&CommonPropertySheetUIW)},
};

const bool registered = [] {
  for (const Export& e : kExports) KernelAddBuiltinExport(e.module, e.name, 0, e.address);
  return true;
}();

}  // namespace
