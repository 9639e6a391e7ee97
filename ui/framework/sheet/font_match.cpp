// Choosing the TrueType font for a font setting: the setting's own face, or the face that
// stands in for the printer font it names.
#include "core/database/database.h"
#include "core/database/dbrecords.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "platform/base/text.h"
#include "platform/kernel/resource.h"
#include "ui/framework/sheet/font_lists.h"
#include "ui/framework/sheet/sheet_state.h"

namespace {

constexpr WORD kDeviceFontRecordType = 11;
// Positions in a device font's data (a printer font metrics header).
constexpr DWORD kCharSetOffset = 25;
constexpr DWORD kPitchAndFamilyOffset = 30;
// A character set that the records store for the ANSI set.
constexpr BYTE kStoredAnsiCharSet = 200;

// The face named by the item, at most 31 characters.
bool ReadFaceName(HWND window, SettingItemId id, WCHAR face[kPrinterFontNameChars]) {
  SettingsRecord* settings = nullptr;
  PrinterConfiguration* config = nullptr;
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (!GetCurrentSettings(window, &settings, &config) ||
      GetItemValue(id, settings, config, &type, &length, &cell) != kItemDone || type != kTypeString ||
      cell.data == nullptr)
    return false;
  const auto* text = static_cast<const WCHAR*>(cell.data);
  DWORD n = 0;
  for (; n < length / sizeof(WCHAR) && n + 1 < kPrinterFontNameChars && text[n] != u'\0'; ++n) face[n] = text[n];
  face[n] = u'\0';
  return true;
}

// The first device-font record named `face`, read with its font data: 1 found, 0 none is,
// -1 when a record cannot be read.
int FindDeviceFont(ItemStore* store, LPCWSTR face, ScopedRecord* found) {
  const WORD records = CountRecords(store->main, kDeviceFontRecordType);
  for (WORD position = 1; position <= records; ++position) {
    ScopedRecord record;
    if (ReadRecord(TRUE, store->main, store->linked, kDeviceFontRecordType, position, &record.record) != 0)
      return -1;
    const LPCWSTR name = reinterpret_cast<const DeviceFontRecord*>(record.record)->name;
    if (name == nullptr || lstrcmpW(name, face) != 0) continue;
    found->record = record.record;
    record.record = nullptr;
    return 1;
  }
  return 0;
}

}  // namespace

int GetDeviceFontTraits(const DatabaseRecord* record, BYTE* charSet, BYTE* pitchAndFamily) {
  const BYTE* data = nullptr;
  DWORD size = 0;
  if (charSet == nullptr || pitchAndFamily == nullptr || GetFontRecordInfo(record, &data, &size) != kDbOk) return 0;
  *charSet = 0;
  *pitchAndFamily = 0;
  if (data == nullptr || size <= kPitchAndFamilyOffset) return 1;
  *charSet = data[kCharSetOffset] == kStoredAnsiCharSet ? 0 : data[kCharSetOffset];
  // The record's pitch bit is set for variable pitch; LOGFONTW counts 1 fixed, 2 variable.
  const BYTE stored = data[kPitchAndFamilyOffset];
  *pitchAndFamily = static_cast<BYTE>(((stored & 0xF0) | (stored & 0x01)) + 1);
  return 1;
}

const LOGFONTW* MatchFontName(HWND window, const FontTable* table, SettingItemId id, WORD* state, BYTE* charSet,
                              BYTE* pitchAndFamily) {
  if (state == nullptr || charSet == nullptr || pitchAndFamily == nullptr) return nullptr;
  *state = kFontMatchNone;
  *charSet = 0;
  *pitchAndFamily = 0;
  SheetState* sheet = FindSheetState(window);
  WCHAR face[kPrinterFontNameChars] = {};
  if (table == nullptr || sheet == nullptr || sheet->store == nullptr || !ReadFaceName(window, id, face))
    return nullptr;
  WORD status = kFontFound;
  if (const LOGFONTW* font = FindFontByFaceName(table, face, &status)) {
    *state = kFontMatchTrueType;
    return font;
  }
  if (status != kFontNotFound) return nullptr;

  HMODULE resources = GetResourceModule();
  WCHAR alias[kPrinterFontNameChars] = {};
  ScopedRecord record;
  const int found = FindDeviceFont(sheet->store, face, &record);
  if (found < 0) return nullptr;
  if (found == 1) {
    // The record's alias is the first TrueType face it stands for.
    LPCWSTR own = nullptr;
    if (GetFontRecordText(record.record, 1, &own) != kDbOk) own = nullptr;
    MapFontAlias(own, resources, alias, face);
    GetDeviceFontTraits(record.record, charSet, pitchAndFamily);
    *state = kFontMatchAlias;
  } else {
    LoadStringW(resources, kStringDefaultFace, alias, kPrinterFontNameChars);
    *state = kFontMatchDefault;
  }
  if (const LOGFONTW* font = FindFontByFaceName(table, alias, &status)) return font;
  WCHAR fallback[kPrinterFontNameChars] = {};
  LoadStringW(resources, kStringDefaultFace, fallback, kPrinterFontNameChars);
  if (const LOGFONTW* font = FindFontByFaceName(table, fallback, &status)) {
    *state = kFontMatchNoAlias;
    return font;
  }
  *state = kFontMatchNone;
  return nullptr;
}
