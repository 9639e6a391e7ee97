#include "core/font_sub_table.h"

#include "core/chunked_printer_data.h"
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
