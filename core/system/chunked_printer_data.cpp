#include "core/system/chunked_printer_data.h"

#include <algorithm>
#include <cstring>

#include "core/system/printer_info.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"
#include "platform/registry/registry.h"
#include "platform/spooler/spooler.h"
#include "platform/user/format.h"

namespace {

struct IndexedBlockName {
  LPCWSTR sizeName;
  LPCWSTR valueName;
};

constexpr IndexedBlockName kIndexedBlocks[kPrinterDataIndexCount] = {
    {u"FontSubTableSize", u"FontSubTable"},
    {u"SysTTFontListSize", u"SysTTFontList"},
    {u"PrinterDataSize", u"PrinterData"},
    {u"UserSettingInfoSize", u"UserSettingInfo"},
    {u"PaperMarginArraySize", u"PaperMarginArray"},
};

// Longest value name the chunk routines accept, without "Size" or the piece number.
constexpr int kMaxChunkNameLength = 64;

// name + "Size" or name + piece number; FALSE when the name is missing or too long.
BOOL MakeValueName(WCHAR (&out)[kMaxChunkNameLength + 8], LPCWSTR name, DWORD piece) {
  if (!name || lstrlenW(name) > kMaxChunkNameLength) return FALSE;
  if (piece == 0)
    wsprintfW(out, u"%sSize", name);
  else
    wsprintfW(out, u"%s%u", name, piece);
  return TRUE;
}

// Computed in 64 bits: a size near 4 GB must not wrap around to a small count.
ULONGLONG PieceCount(DWORD size) { return (ULONGLONG{size} + kChunkPieceSize - 1) / kChunkPieceSize; }

// The stored block size: TRUE only for a 4-byte REG_DWORD value. *absent tells a missing
// value apart from a malformed one.
BOOL ReadSizeValue(HANDLE printer, LPCWSTR name, DWORD* size, BOOL* absent) {
  WCHAR valueName[kMaxChunkNameLength + 8];
  *absent = FALSE;
  if (!MakeValueName(valueName, name, 0)) return FALSE;
  DWORD type = 0, needed = 0, value = 0;
  DWORD result = GetPrinterDataW(printer, valueName, &type, reinterpret_cast<BYTE*>(&value), sizeof value, &needed);
  if (result == ERROR_FILE_NOT_FOUND) *absent = TRUE;
  if (result != ERROR_SUCCESS || type != REG_DWORD || needed != sizeof value) return FALSE;
  *size = value;
  return TRUE;
}

// Deletes one value; a value that is already gone counts as deleted.
BOOL DeleteValue(HANDLE printer, LPCWSTR name, DWORD piece) {
  WCHAR valueName[kMaxChunkNameLength + 8];
  if (!MakeValueName(valueName, name, piece)) return FALSE;
  DWORD result = DeletePrinterDataW(printer, valueName);
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

// TRUE when piece k holds exactly `expected` bytes of REG_BINARY, copied to out.
BOOL ReadPiece(HANDLE printer, LPCWSTR name, DWORD piece, BYTE* out, DWORD expected) {
  WCHAR valueName[kMaxChunkNameLength + 8];
  if (!MakeValueName(valueName, name, piece)) return FALSE;
  DWORD type = 0, needed = 0;
  DWORD result = GetPrinterDataW(printer, valueName, &type, out, expected, &needed);
  return result == ERROR_SUCCESS && type == REG_BINARY && needed == expected;
}

BOOL PieceExists(HANDLE printer, LPCWSTR name, DWORD piece) {
  WCHAR valueName[kMaxChunkNameLength + 8];
  if (!MakeValueName(valueName, name, piece)) return FALSE;
  DWORD type = 0, needed = 0;
  return GetPrinterDataW(printer, valueName, &type, nullptr, 0, &needed) != ERROR_FILE_NOT_FOUND;
}

// Deletes piece `first` and every piece after it up to the first one missing, whatever the
// size value says: pieces an interrupted rewrite left behind go too. FALSE when one cannot be
// deleted.
BOOL DeletePiecesFrom(HANDLE printer, LPCWSTR name, DWORD first) {
  for (DWORD k = first; k <= kChunkMaxPieces && PieceExists(printer, name, k); ++k)
    if (!DeleteValue(printer, name, k)) return FALSE;
  return TRUE;
}

}  // namespace

int WriteChunkedPrinterData(HANDLE printer, LPCWSTR name, const void* data, DWORD size) {
  WCHAR valueName[kMaxChunkNameLength + 8];
  if (!printer || !data || size == 0 || !MakeValueName(valueName, name, 0)) return 0;
  if (PieceCount(size) > kChunkMaxPieces) return 0;
  DWORD pieces = static_cast<DWORD>(PieceCount(size));
  if (!DeleteValue(printer, name, 0)) return 0;
  const auto* bytes = static_cast<const BYTE*>(data);
  for (DWORD k = 1; k <= pieces; ++k) {
    DWORD offset = (k - 1) * kChunkPieceSize;
    DWORD length = std::min(kChunkPieceSize, size - offset);
    MakeValueName(valueName, name, k);
    if (SetPrinterDataW(printer, valueName, REG_BINARY, bytes + offset, length) != ERROR_SUCCESS) return 0;
  }
  // Pieces of an older, longer block that the new one does not overwrite.
  if (!DeletePiecesFrom(printer, name, pieces + 1)) return 0;
  MakeValueName(valueName, name, 0);
  return SetPrinterDataW(printer, valueName, REG_DWORD, reinterpret_cast<const BYTE*>(&size), sizeof size) ==
                 ERROR_SUCCESS
             ? 1
             : 0;
}

int ReadChunkedPrinterData(HANDLE printer, LPCWSTR name, DWORD* size, BYTE** block, BOOL useCallerBlock) {
  if (!size || !block || (useCallerBlock && !*block)) return 0;
  if (!useCallerBlock) *block = nullptr;
  if (!printer) return 0;
  DWORD stored = 0;
  BOOL absent;
  if (!ReadSizeValue(printer, name, &stored, &absent) || stored == 0) return 0;
  if (PieceCount(stored) > kChunkMaxPieces) return 0;
  DWORD pieces = static_cast<DWORD>(PieceCount(stored));
  if (useCallerBlock && stored > *size) return 0;
  // Read into a block of its own so that a refused value leaves the caller's block as it was.
  auto* out = static_cast<BYTE*>(GlobalAlloc(GPTR, stored));
  if (!out) return 0;
  BOOL ok = TRUE;
  for (DWORD k = 1; ok && k <= pieces; ++k) {
    DWORD offset = (k - 1) * kChunkPieceSize;
    ok = ReadPiece(printer, name, k, out + offset, std::min(kChunkPieceSize, stored - offset));
  }
  if (ok) ok = !PieceExists(printer, name, pieces + 1);
  if (!ok) {
    GlobalFree(out);
    return 0;
  }
  if (useCallerBlock) {
    std::memcpy(*block, out, stored);
    GlobalFree(out);
  } else {
    *block = out;
  }
  *size = stored;
  return 1;
}

int DeleteChunkedPrinterData(HANDLE printer, LPCWSTR name) {
  if (!printer) return 0;
  DWORD stored = 0;
  BOOL absent;
  const BOOL sized = ReadSizeValue(printer, name, &stored, &absent);
  if (!sized && !absent) return 0;
  if (sized && stored == 0) return 0;
  // Every piece of the name goes, also those left without a size value.
  if (!DeletePiecesFrom(printer, name, 1)) return 0;
  return DeleteValue(printer, name, 0) ? 1 : 0;
}

int WritePrinterDataValue(HANDLE printer, const void* data, DWORD size, WORD index) {
  return index < kPrinterDataIndexCount ? WriteChunkedPrinterData(printer, kIndexedBlocks[index].valueName, data, size)
                                        : 0;
}

int ReadPrinterDataValue(HANDLE printer, DWORD* size, WORD index, BYTE** block, BOOL useCallerBlock) {
  return index < kPrinterDataIndexCount
             ? ReadChunkedPrinterData(printer, kIndexedBlocks[index].valueName, size, block, useCallerBlock)
             : 0;
}

int DeletePrinterDataValue(HANDLE printer, WORD index) {
  return index < kPrinterDataIndexCount ? DeleteChunkedPrinterData(printer, kIndexedBlocks[index].valueName) : 0;
}

LPWSTR GetDriverDataFile(HANDLE printer) {
  auto* info = reinterpret_cast<DRIVER_INFO_2W*>(GetDriverInfo(printer, 2));
  if (!info) return nullptr;
  LPWSTR path = nullptr;
  if (info->pDataFile && *info->pDataFile) path = GlobalCopyText(info->pDataFile);
  GlobalFree(info);
  return path;
}
