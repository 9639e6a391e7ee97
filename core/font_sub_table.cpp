#include "core/font_sub_table.h"

#include <cstring>
#include <string>

#include "core/chunked_printer_data.h"
#include "core/item_store.h"
#include "platform/kernel/memory.h"

namespace {

// TRUE when the block is a pair list that ends exactly with its closing empty key.
BOOL IsWellFormedPairList(const WCHAR* text, DWORD chars) {
  DWORD at = 0;
  for (;;) {
    if (at >= chars) return FALSE;
    if (text[at] == 0) return at + 1 == chars;  // the closing empty key
    for (int string = 0; string < 2; ++string) {
      while (at < chars && text[at] != 0) ++at;
      if (at >= chars) return FALSE;
      ++at;
    }
  }
}

}  // namespace

DWORD GetFontSubTableSize(LPCWSTR list) {
  if (!list) return 0;
  constexpr DWORD kMaxChars = kChunkMaxBytes / sizeof(WCHAR);
  DWORD at = 0;
  while (at < kMaxChars) {
    if (list[at] == 0) return (at + 1) * sizeof(WCHAR);
    for (int string = 0; string < 2 && at < kMaxChars; ++string) {
      while (at < kMaxChars && list[at] != 0) ++at;
      ++at;
    }
  }
  return 0;
}

LPWSTR ReadStoredFontSubTable(HANDLE printer) {
  DWORD size = 0;
  BYTE* block = nullptr;
  if (!ReadPrinterDataValue(printer, &size, kFontSubTableData, &block, FALSE)) return nullptr;
  if (size % sizeof(WCHAR) != 0 || !IsWellFormedPairList(reinterpret_cast<WCHAR*>(block), size / sizeof(WCHAR))) {
    GlobalFree(block);
    return nullptr;
  }
  return reinterpret_cast<LPWSTR>(block);
}

int StoreFontSubTable(HANDLE printer, LPCWSTR list) {
  DWORD size = GetFontSubTableSize(list);
  return size ? WritePrinterDataValue(printer, list, size, kFontSubTableData) : 0;
}

LPWSTR BuildFontSubTableFromData(ItemStore* store) {
  if (!store || !store->main || !store->linked) return nullptr;
  std::u16string table;
  for (WORD position = 1;; ++position) {
    DatabaseRecord* record = nullptr;
    WORD status = ReadRecord(FALSE, store->main, store->linked, 11, position, &record);
    if (status == DBS_ABSENT) break;  // no more device fonts
    if (status != DBS_OK) return nullptr;
    const auto* font = reinterpret_cast<const DeviceFontRecord*>(record);
    bool named = font->name && *font->name && (font->faceCount == 0 || font->faces);
    for (WORD i = 0; named && i < font->faceCount; ++i) {
      if (!font->faces[i]) continue;
      table += font->faces[i];
      table += u'\0';
      table += font->name;
      table += u'\0';
    }
    FreeRecord(&record, DB_ANY_TYPE);
    if (!named) return nullptr;
  }
  table += u'\0';
  if (table.size() * sizeof(WCHAR) > kChunkMaxBytes) return nullptr;
  auto* out = static_cast<LPWSTR>(GlobalAlloc(GPTR, table.size() * sizeof(WCHAR)));
  if (out) std::memcpy(out, table.data(), table.size() * sizeof(WCHAR));
  return out;
}

LPWSTR LoadFontSubTable(HANDLE printer) {
  if (LPWSTR stored = ReadStoredFontSubTable(printer)) return stored;
  ItemStore* store = OpenItemStore(printer);
  if (!store) return nullptr;
  LPWSTR built = BuildFontSubTableFromData(store);
  CloseItemStore(store);
  return built;
}

int EnsureFontSubTable(HANDLE printer, ItemStore* store) {
  if (LPWSTR stored = ReadStoredFontSubTable(printer)) {
    GlobalFree(stored);
    return 1;
  }
  LPWSTR built = BuildFontSubTableFromData(store);
  if (!built) return 0;
  int result = StoreFontSubTable(printer, built);
  GlobalFree(built);
  return result;
}
