// The property sheet's host (see sheet_host.h).
#include "core/system/sheet_host.h"

#include "core/runtime/resource_module.h"
#include "core/system/os_generation.h"
#include "platform/base/text.h"
#include "platform/kernel/module.h"
#include "platform/kernel/resource.h"
#include "platform/user/window.h"

namespace {

// Characters of a caption, a title or a module path read here.
constexpr int kTextSize = 260;
constexpr int kModulePathSize = 520;

// Rows of {preferences title, defaults title} of the sheets in each language.
struct SheetTitles {
  const char16_t* preferences;
  const char16_t* defaults;
};

constexpr SheetTitles kSheetTitleTable[] = {
    {u"印刷設定", u"標準の設定"},
    {u"Printing Preferences", u"Printing Defaults"},
    {u"인쇄 기본 설정", u"기본값으로 인쇄"},
    {u"打印首选项", u"打印默认值"},
    {u"列印喜好設定", u"正在列印預設值"},
    {u"Options d'impression", u"Impression par défaut"},
    {u"Druckeinstellungen", u"Druckstandardwerte"},
    {u"Preferenze stampa", u"Impostazioni predef. di stampa"},
    {u"Preferencias de impresión", u"Valores predeterminados de impresión"},
};

bool Contains(const WCHAR* caption, const WCHAR* title) { return title[0] != 0 && wcsstr(caption, title) != nullptr; }

// 3 or 2 when a row's title is in the caption, else 0.
int MatchSheetTitleTable(const WCHAR* caption) {
  for (const SheetTitles& row : kSheetTitleTable) {
    if (Contains(caption, row.preferences)) return kSheetHostPreferences;
    if (Contains(caption, row.defaults)) return kSheetHostDefaults;
  }
  return 0;
}

// The spooler module's own titles, when that module is loaded and has both.
int MatchSpoolerSheetTitles(const WCHAR* caption) {
  HMODULE printUi = GetModuleHandleW(u"printui.dll");
  if (printUi == nullptr) return 0;
  WCHAR preferences[kTextSize], defaults[kTextSize];
  if (LoadStringW(printUi, kPrintUiPreferencesTitle, preferences, kTextSize) <= 0 ||
      LoadStringW(printUi, kPrintUiDefaultsTitle, defaults, kTextSize) <= 0)
    return 0;
  if (Contains(caption, preferences)) return kSheetHostPreferences;
  if (Contains(caption, defaults)) return kSheetHostDefaults;
  return 0;
}

bool OwnedByShell(HWND owner) {
  WCHAR path[kModulePathSize], name[kModulePathSize];
  auto instance = reinterpret_cast<HMODULE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  if (GetModuleFileNameW(instance, path, kModulePathSize) == 0) return false;
  _wsplitpath(path, nullptr, nullptr, name, nullptr);
  return wcscmp(name, u"SHELL32") == 0;
}

}  // namespace

int DetectSheetHost(HWND window, DWORD flags) {
  WCHAR caption[kTextSize] = {0};
  HWND owner = window;
  for (HWND parent = window ? GetParent(window) : nullptr; parent != nullptr; parent = GetParent(owner)) {
    GetWindowTextW(owner, caption, kTextSize);
    owner = parent;
  }
  if (IsWindowsXpOrLater()) {
    if (!(flags & kSheetHostByCaption)) return kSheetHostApplication;
  } else if (window == nullptr || !OwnedByShell(owner)) {
    return kSheetHostApplication;
  }
  if (int host = MatchSheetTitleTable(caption)) return host;
  if (int host = MatchSpoolerSheetTitles(caption)) return host;
  // A title that cannot be loaded is in no caption.
  WCHAR title[kTextSize] = {0};
  LoadStringW(GetResourceModule(), kPreferencesTitleString, title, kTextSize);
  return Contains(caption, title) ? kSheetHostPreferences : kSheetHostDefaults;
}
