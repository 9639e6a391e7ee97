// The data source module's exports: its entry point for module-wide set-up and release (the
// data source gets its windows from scanner/ui/ first and gives them back last), and the TWAIN
// entry point DS_Entry.
#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/kernel/module.h"
#include "platform/twain/twain.h"
#include "scanner/data_source.h"
#include "scanner/source_windows.h"
#include "scanner/ui/window_table.h"

DLLEXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    if (instance == nullptr) return FALSE;
    SetSourceWindows(&kScannerWindows);
    AttachDataSource(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    DetachDataSource();
    SetSourceWindows(nullptr);
  }
  return TRUE;
}

DLLEXPORT TW_UINT16 WINAPI DS_Entry(pTW_IDENTITY origin, TW_UINT32 group, TW_UINT16 type, TW_UINT16 message,
                                    TW_MEMREF data) {
  return EnterDataSource(origin, group, type, message, data);
}
