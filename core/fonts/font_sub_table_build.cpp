// Building the font substitution table from the device font records.
#include "core/fonts/font_sub_table_build.h"

#include <cstring>

#include "core/database/dbrecords.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

constexpr WORD kDeviceFontType = 11;
constexpr SIZE_T kFirstCapacity = 1279;  // bytes
constexpr SIZE_T kGrowStep = 1280;       // bytes

// The list being built: `used` bytes of pairs, always followed by room for the closing NUL.
struct PairBuffer {
  BYTE* block = nullptr;
  SIZE_T capacity = 0;
  SIZE_T used = 0;
};

// Appends key and value with their terminators, growing the block in steps until the pair and
// the closing terminator fit (a pair can be longer than one step).
bool AppendPair(PairBuffer& list, LPCWSTR key, LPCWSTR value) {
  const SIZE_T keyBytes = (static_cast<SIZE_T>(lstrlenW(key)) + 1) * sizeof(WCHAR);
  const SIZE_T valueBytes = (static_cast<SIZE_T>(lstrlenW(value)) + 1) * sizeof(WCHAR);
  const SIZE_T needed = list.used + keyBytes + valueBytes + sizeof(WCHAR);
  SIZE_T capacity = list.capacity;
  while (capacity < needed) capacity += kGrowStep;
  if (capacity != list.capacity) {
    BYTE* grown = static_cast<BYTE*>(GlobalAlloc(GPTR, capacity));
    if (grown == nullptr) return false;
    std::memcpy(grown, list.block, list.used);
    GlobalFree(list.block);
    list.block = grown;
    list.capacity = capacity;
  }
  std::memcpy(list.block + list.used, key, keyBytes);
  std::memcpy(list.block + list.used + keyBytes, value, valueBytes);
  list.used += keyBytes + valueBytes;
  return true;
}

// Appends every {face, record name} pair of one record. An empty face name would read as the
// end of the list and hide every later pair, so it is refused like a missing one.
bool AppendRecordPairs(PairBuffer& list, const DeviceFontRecord* font) {
  if (font->name == nullptr || font->name[0] == 0) return false;
  if (font->faceCount > 0 && font->faces == nullptr) return false;
  for (WORD i = 0; i < font->faceCount; ++i) {
    LPCWSTR face = font->faces[i];
    if (face == nullptr || face[0] == 0) return false;
    if (!AppendPair(list, face, font->name)) return false;
  }
  return true;
}

}  // namespace

LPWSTR BuildFontSubTableFromData(DatabaseStream* main, DatabaseStream* linked) {
  if (main == nullptr || linked == nullptr) return nullptr;
  PairBuffer list;
  list.block = static_cast<BYTE*>(GlobalAlloc(GPTR, kFirstCapacity));
  if (list.block == nullptr) return nullptr;
  list.capacity = kFirstCapacity;
  bool ok = true;
  // Positions are 16-bit and 1-based; the directory answers "absent" after the last record.
  for (DWORD position = 1; ok && position <= 0xFFFF; ++position) {
    DatabaseRecord* record = nullptr;
    const WORD status = ReadRecord(FALSE, main, linked, kDeviceFontType, static_cast<WORD>(position), &record);
    if (status == kDbAbsent) break;
    ok = status == kDbOk && AppendRecordPairs(list, reinterpret_cast<const DeviceFontRecord*>(record));
    FreeRecord(&record, kDbAnyType);
  }
  if (!ok) {
    GlobalFree(list.block);
    return nullptr;
  }
  std::memset(list.block + list.used, 0, sizeof(WCHAR));  // the closing empty key
  return reinterpret_cast<LPWSTR>(list.block);
}
