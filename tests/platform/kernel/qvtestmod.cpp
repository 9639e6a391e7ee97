// A small module for the loader tests: its DllMain leaves a debugger line for each call and
// refuses to attach when HKEY_CURRENT_USER\Software\QvTest "RefuseAttach" is set.
#include "platform/base/export.h"
#include "platform/kernel/debug.h"
#include "platform/kernel/module.h"
#include "platform/registry/registry.h"

namespace {
HINSTANCE ownInstance = nullptr;
WCHAR pathAtAttach[MAX_PATH] = {};
}  // namespace

DLLEXPORT BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    ownInstance = instance;
    GetModuleFileNameW(instance, pathAtAttach, MAX_PATH);
    OutputDebugStringW(u"qvtestmod attach");
    HKEY key = nullptr;
    DWORD refuse = 0, size = sizeof refuse;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\QvTest", 0, KEY_READ, &key) == 0) {
      RegQueryValueExW(key, u"RefuseAttach", nullptr, nullptr, reinterpret_cast<BYTE*>(&refuse), &size);
      RegCloseKey(key);
    }
    return refuse ? FALSE : TRUE;
  }
  if (reason == DLL_PROCESS_DETACH) OutputDebugStringW(u"qvtestmod detach");
  return TRUE;
}

DLLEXPORT HINSTANCE QvTestInstance() { return ownInstance; }
DLLEXPORT LPCWSTR QvTestPathAtAttach() { return pathAtAttach; }
DLLEXPORT int QvTestAdd(int a, int b) { return a + b; }
