#include "core/fonts/font_sub_table.h"

#include <cstring>
#include <string>

#include "core/fonts/font_sub_table_build.h"
#include "core/store/item_store.h"
#include "core/system/chunked_printer_data.h"
#include "platform/base/types.h"
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

LPWSTR BuildFontSubTableFromStore(ItemStore* store) {
  return store ? BuildFontSubTableFromData(store->main, store->linked) : nullptr;
}

LPWSTR LoadFontSubTable(HANDLE printer) {
  if (LPWSTR stored = ReadStoredFontSubTable(printer)) return stored;
  ItemStore* store = OpenItemStore(printer);
  if (!store) return nullptr;
  LPWSTR built = BuildFontSubTableFromStore(store);
  CloseItemStore(store);
  return built;
}

int EnsureFontSubTable(HANDLE printer, ItemStore* store) {
  if (LPWSTR stored = ReadStoredFontSubTable(printer)) {
    GlobalFree(stored);
    return 1;
  }
  LPWSTR built = BuildFontSubTableFromStore(store);
  if (!built) return 0;
  int result = StoreFontSubTable(printer, built);
  GlobalFree(built);
  return result;
}
