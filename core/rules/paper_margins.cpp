#include "core/rules/paper_margins.h"

#include <cstring>

#include "core/database/machine_base_text.h"
#include "core/store/user_store.h"
#include "core/system/chunked_printer_data.h"
#include "core/system/registry_tree.h"
#include "platform/base/byte_order.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"
#include "platform/registry/registry.h"
#include "platform/user/format.h"

namespace {

// A per-user value: {u32 paper id, four u32 margins}.
constexpr DWORD kUserValueBytes = 20;
constexpr DWORD kMarginsOffset = 4;
constexpr WCHAR kTemplateKeyName[] = u"Paper Margin";
constexpr int kValueNameChars = 12;

void PutU32(BYTE* p, DWORD v) {
  for (int i = 0; i < 4; ++i) p[i] = BYTE(v >> (8 * i));
}
void PutU16(BYTE* p, WORD v) {
  p[0] = BYTE(v);
  p[1] = BYTE(v >> 8);
}

void GetMargins(const BYTE* p, PaperMargins* margins) {
  for (int i = 0; i < 4; ++i) margins->margin[i] = GetLE32(p + 4 * i);
}
void PutMargins(BYTE* p, const PaperMargins* margins) {
  for (int i = 0; i < 4; ++i) PutU32(p + 4 * i, margins->margin[i]);
}

BYTE* FindRow(const PaperMarginTable* table, WORD paperId) {
  for (DWORD i = 0; i < table->rowCount; ++i) {
    BYTE* row = table->rows + i * kMarginRowBytes;
    if (GetLE16(row) == paperId) return row;
  }
  return nullptr;
}

bool IsOrientation(WORD orientation) { return orientation == kPortrait || orientation == kLandscape; }

// Fills a just-created user key from the machine template when there is one: 1, or an error
// code (the caller then removes the key, so the next first use tries again).
SHORT SeedFromTemplate(HKEY key, LPCWSTR machineBase) {
  if (machineBase == nullptr) return kMarginDone;
  LPWSTR templatePath = JoinMachineKeyPath(machineBase, kTemplateKeyName);
  if (templatePath == nullptr) return kMarginMissing;
  HKEY source = nullptr;
  SHORT result = kMarginDone;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, templatePath, 0, KEY_READ, &source) == ERROR_SUCCESS) {
    if (!CopyKeyTree(key, source)) result = kMarginKeyFailed;
    RegCloseKey(source);
  }
  GlobalFree(templatePath);
  return result;
}

}  // namespace

PaperMarginTable* LoadPaperMarginTable(HANDLE printer) {
  auto* table = static_cast<PaperMarginTable*>(GlobalAlloc(GPTR, sizeof(PaperMarginTable)));
  if (table == nullptr) return nullptr;
  DWORD size = 0;
  BYTE* block = nullptr;
  if (!ReadPrinterDataValue(printer, &size, kPaperMarginData, &block, FALSE)) return table;
  // A block that is not whole rows was not written by this table: it counts as no table.
  if (size == 0 || size % kMarginRowBytes != 0) {
    GlobalFree(block);
    return table;
  }
  table->rows = block;
  table->byteSize = size;
  table->rowCount = size / kMarginRowBytes;
  return table;
}

SHORT StorePaperMarginTable(HANDLE printer, const PaperMarginTable* table) {
  if (table == nullptr) return kMarginMissing;
  if (table->rowCount == 0) return kMarginBadArgument;
  return WritePrinterDataValue(printer, table->rows, table->byteSize, kPaperMarginData) ? kMarginDone
                                                                                        : kMarginWriteFailed;
}

SHORT FreePaperMarginTable(PaperMarginTable* table) {
  if (table == nullptr) return kMarginMissing;
  if (table->rows != nullptr) GlobalFree(table->rows);
  GlobalFree(table);
  return kMarginDone;
}

SHORT FindPaperMargin(const PaperMarginTable* table, WORD paperId, PaperMargins* margins) {
  if (table == nullptr || margins == nullptr) return kMarginMissing;
  const BYTE* row = FindRow(table, paperId);
  if (row == nullptr) return kMarginMissing;
  GetMargins(row + kMarginsOffset, margins);
  return kMarginDone;
}

SHORT SetPaperMargin(PaperMarginTable* table, WORD paperId, const PaperMargins* margins) {
  if (table == nullptr || margins == nullptr) return kMarginMissing;
  BYTE* row = FindRow(table, paperId);
  if (row != nullptr) {
    PutMargins(row + kMarginsOffset, margins);
    return kMarginDone;
  }
  auto* rows = static_cast<BYTE*>(GlobalAlloc(GPTR, (table->rowCount + 1) * kMarginRowBytes));
  if (rows == nullptr) return kMarginMissing;
  if (table->rows != nullptr) {
    std::memcpy(rows, table->rows, table->rowCount * kMarginRowBytes);
    GlobalFree(table->rows);
  }
  row = rows + table->rowCount * kMarginRowBytes;
  PutU16(row, paperId);
  PutMargins(row + kMarginsOffset, margins);
  table->rows = rows;
  table->rowCount += 1;
  table->byteSize += kMarginRowBytes;
  return kMarginDone;
}

SHORT RotateMargins(WORD direction, WORD orientation, PaperMargins* first, PaperMargins* second) {
  if ((direction != kMarginsIntoFirst && direction != kMarginsIntoSecond) || !IsOrientation(orientation))
    return kMarginBadArgument;
  if (first == nullptr || second == nullptr) return kMarginMissing;
  const PaperMargins from = direction == kMarginsIntoFirst ? *second : *first;
  PaperMargins* to = direction == kMarginsIntoFirst ? first : second;
  if (orientation == kPortrait)
    *to = {{from.margin[0], from.margin[1], from.margin[3], from.margin[2]}};
  else
    *to = {{from.margin[2], from.margin[3], from.margin[0], from.margin[1]}};
  return kMarginDone;
}

SHORT ResetMarginsToDefault(PaperMargins* margins) {
  if (margins == nullptr) return kMarginMissing;
  *margins = {{kDefaultMargin, kDefaultMargin, kDefaultMargin, kDefaultMargin}};
  return kMarginDone;
}

SHORT GetDefaultMargins(PaperMargins* margins, WORD orientation) {
  if (!IsOrientation(orientation)) return kMarginBadArgument;
  return ResetMarginsToDefault(margins);
}

SHORT FindPaperMarginOriented(WORD paperId, PaperMargins* margins, const PaperMarginTable* table, WORD orientation) {
  if (!IsOrientation(orientation)) return kMarginBadArgument;
  PaperMargins stored;
  SHORT result = FindPaperMargin(table, paperId, &stored);
  if (result != kMarginDone) return result;
  return RotateMargins(kMarginsIntoSecond, orientation, &stored, margins);
}

SHORT SetPaperMarginOriented(WORD paperId, const PaperMargins* margins, PaperMarginTable* table, WORD orientation) {
  if (margins == nullptr) return kMarginMissing;
  PaperMargins given = *margins;
  PaperMargins stored;
  SHORT result = RotateMargins(kMarginsIntoFirst, orientation, &stored, &given);
  if (result != kMarginDone) return result;
  return SetPaperMargin(table, paperId, &stored);
}

SHORT OpenPaperMarginKey(HANDLE printer, LPCWSTR machineBase, HKEY* key, LPWSTR* path) {
  if (key == nullptr) return kMarginMissing;
  WCHAR userPath[kUserKeyPathChars];
  if (!BuildPaperMarginKeyPath(printer, userPath, kUserKeyPathChars)) return kMarginMissing;
  HKEY opened = nullptr;
  LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, userPath, 0, KEY_ALL_ACCESS, &opened);
  if (status == ERROR_FILE_NOT_FOUND) {
    if (RegCreateKeyW(HKEY_CURRENT_USER, userPath, &opened) != ERROR_SUCCESS) return kMarginKeyFailed;
    // A key that could not be filled is removed again, so the next first use fills it.
    SHORT seeded = SeedFromTemplate(opened, machineBase);
    if (seeded != kMarginDone) {
      RegCloseKey(opened);
      DeleteKeyTree(HKEY_CURRENT_USER, userPath);
      return seeded;
    }
  } else if (status != ERROR_SUCCESS) {
    return kMarginKeyFailed;
  }
  if (path != nullptr) {
    *path = GlobalCopyText(userPath);
    if (*path == nullptr) {
      RegCloseKey(opened);
      return kMarginNoPathCopy;
    }
  }
  *key = opened;
  return kMarginDone;
}

SHORT ReadUserPaperMargin(HANDLE printer, LPCWSTR machineBase, WORD paperId, PaperMargins* margins) {
  if (margins == nullptr) return kMarginMissing;
  HKEY key = nullptr;
  SHORT result = OpenPaperMarginKey(printer, machineBase, &key, nullptr);
  if (result != kMarginDone) return result;
  WCHAR name[kValueNameChars];
  FormatPaperMarginValueName(paperId, name);
  BYTE value[kUserValueBytes];
  DWORD type = REG_NONE;
  DWORD size = sizeof value;
  LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, value, &size);
  RegCloseKey(key);
  // Only a value of exactly this form, for this paper, gives margins.
  if (status != ERROR_SUCCESS || type != REG_BINARY || size != kUserValueBytes || GetLE32(value) != paperId)
    return kMarginNoValue;
  GetMargins(value + kMarginsOffset, margins);
  return kMarginDone;
}

SHORT WriteUserPaperMargin(HANDLE printer, LPCWSTR machineBase, WORD paperId, const PaperMargins* margins) {
  if (margins == nullptr) return kMarginMissing;
  HKEY key = nullptr;
  SHORT result = OpenPaperMarginKey(printer, machineBase, &key, nullptr);
  if (result != kMarginDone) return result;
  WCHAR name[kValueNameChars];
  FormatPaperMarginValueName(paperId, name);
  BYTE value[kUserValueBytes];
  PutU32(value, paperId);
  PutMargins(value + kMarginsOffset, margins);
  LSTATUS status = RegSetValueExW(key, name, 0, REG_BINARY, value, sizeof value);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? kMarginDone : kMarginWriteFailed;
}

SHORT ReadUserPaperMarginOriented(HANDLE printer, LPCWSTR machineBase, WORD paperId, PaperMargins* margins,
                                  WORD orientation) {
  if (!IsOrientation(orientation)) return kMarginBadArgument;
  PaperMargins stored;
  SHORT result = ReadUserPaperMargin(printer, machineBase, paperId, &stored);
  if (result != kMarginDone) return result;
  return RotateMargins(kMarginsIntoSecond, orientation, &stored, margins);
}

SHORT WriteUserPaperMarginOriented(HANDLE printer, LPCWSTR machineBase, WORD paperId, const PaperMargins* margins,
                                   WORD orientation) {
  if (margins == nullptr) return kMarginMissing;
  PaperMargins given = *margins;
  PaperMargins stored;
  SHORT result = RotateMargins(kMarginsIntoFirst, orientation, &stored, &given);
  if (result != kMarginDone) return result;
  return WriteUserPaperMargin(printer, machineBase, paperId, &stored);
}

SHORT DeleteUserPaperMargins(HANDLE printer, BOOL perUser, LPCWSTR machineBase) {
  if (!perUser) return DeletePrinterDataValue(printer, kPaperMarginData) ? kMarginDone : kMarginMissing;
  HKEY key = nullptr;
  LPWSTR path = nullptr;
  SHORT result = OpenPaperMarginKey(printer, machineBase, &key, &path);
  if (result != kMarginDone) return result;
  RegCloseKey(key);
  HKEY fresh = nullptr;
  if (DeleteKeyTree(HKEY_CURRENT_USER, path) != ERROR_SUCCESS ||
      RegCreateKeyW(HKEY_CURRENT_USER, path, &fresh) != ERROR_SUCCESS)
    result = kMarginKeyFailed;
  if (fresh != nullptr) RegCloseKey(fresh);
  GlobalFree(path);
  return result;
}

SHORT GetPaperMargin(HANDLE printer, WORD paperId, PaperMargins* margins, LPCWSTR machineBase,
                     const PaperMarginTable* table, BOOL perUser, WORD orientation) {
  if (!IsOrientation(orientation)) return kMarginBadArgument;
  if (perUser && ReadUserPaperMarginOriented(printer, machineBase, paperId, margins, orientation) == kMarginDone)
    return kMarginDone;
  if (FindPaperMarginOriented(paperId, margins, table, orientation) == kMarginDone) return kMarginDone;
  return GetDefaultMargins(margins, orientation);
}

void FormatPaperMarginValueName(WORD paperId, LPWSTR name) { wsprintfW(name, u"%u", DWORD(paperId)); }
