// Opening a model's database pair, the header, the cursor primitives, the section walk and the
// record directory. Every count, size and offset read from a file is checked against the bytes
// loaded; a read that would leave the file fails with kDbFailed and moves nothing.
#include "core/database/database.h"
#include "core/database/dbrecords.h"
#include "core/runtime/lock_slots.h"
#include "platform/base/byte_order.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"

#include <cstring>

namespace {

DWORD Remaining(const DatabaseStream* stream) { return stream->cursor <= stream->size ? stream->size - stream->cursor : 0; }

// Bytes after the last "." of a path, compared with "DDD" in any case.
bool HasDatabaseExtension(LPCWSTR path) {
  const WCHAR* dot = wcsrchr(path, u'.');
  return dot && lstrcmpiW(dot + 1, u"DDD") == 0;
}

// Reads the whole file into a new zero-filled block; the file is not kept open.
WORD LoadDatabaseFile(LPCWSTR path, DatabaseStream* stream, DatabaseStream* partner) {
  if (!path || !path[0] || !stream) return kDbFailed;
  stream->partner = partner;
  if (partner) {
    stream->pool = partner->pool;
  } else {
    stream->pool = CreateStringPool();
    if (!stream->pool) return kDbNoMemory;
  }
  // The file is read straight into the zero-filled block with one ReadFile: the same bytes a
  // read-only mapping would give, without mapping and unmapping the file for one copy.
  WORD status = kDbFailed;
  LockSlotGuard lock(kLockDatabase);
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (size != INVALID_FILE_SIZE && high == 0 && size > 0) {
      stream->data = static_cast<BYTE*>(GlobalAlloc(GPTR, size));
      DWORD read = 0;
      if (!stream->data) {
        status = kDbNoMemory;
      } else if (ReadFile(file, stream->data, size, &read, nullptr) && read == size) {
        stream->size = size;
        stream->cursor = 0;
        stream->loaded = TRUE;
        status = kDbOk;
      } else {
        GlobalFree(stream->data);
        stream->data = nullptr;
      }
    }
    CloseHandle(file);
  }
  if (status != kDbOk) ReleaseStream(stream);
  return status;
}

// Keeps the packed version and the format level of the header in the stream.
WORD LoadHeaderInfo(DatabaseStream* stream) {
  DatabaseRecord* record = nullptr;
  WORD status = ReadDatabaseHeader(stream, &record);
  if (status != kDbOk) return status;
  const HeaderRecord* header = reinterpret_cast<const HeaderRecord*>(record);
  stream->packedVersion = PackVersion(header->major, header->minor, header->build);
  stream->formatLevel = header->formatLevel;
  FreeRecord(&record, DDD_RECORD_HEADER);
  return kDbOk;
}

// A 64-byte header text up to its first NUL (or all 64 bytes) as a new wide string.
WORD ReadHeaderName(DatabaseStream* stream, DWORD offset, LPWSTR* text) {
  *text = nullptr;
  if (SeekStream(stream, kDbSeekSet, static_cast<LONG>(offset)) != kDbOk || Remaining(stream) < DDD_HEADER_TEXT_SIZE)
    return kDbFailed;
  const char* bytes = reinterpret_cast<const char*>(stream->data + offset);
  int n = 0;
  while (n < static_cast<int>(DDD_HEADER_TEXT_SIZE) && bytes[n]) ++n;
  int chars = n ? MultiByteToWideChar(CP_ACP, 0, bytes, n, nullptr, 0) : 0;
  if (n && chars <= 0) return kDbNoMemory;
  LPWSTR out = static_cast<LPWSTR>(GlobalAlloc(GPTR, (static_cast<SIZE_T>(chars) + 1) * sizeof(WCHAR)));
  if (!out) return kDbNoMemory;
  if (n && MultiByteToWideChar(CP_ACP, 0, bytes, n, out, chars) != chars) {
    GlobalFree(out);
    return kDbNoMemory;
  }
  *text = out;
  stream->cursor = offset + DDD_HEADER_TEXT_SIZE;
  return kDbOk;
}

// Skips one section element at the cursor (reading its own size when the table says so).
WORD SkipSectionElement(DatabaseStream* stream, const SectionTableRow& row) {
  WORD size = row.size;
  if (size == DDD_SIZE_IN_FILE && ReadStreamWord(stream, &size) != kDbOk) return kDbFailed;
  return SeekStream(stream, kDbSeekRelative, size);
}

// The element count of the section at the cursor, reading it from the file when the table
// says so.
WORD ReadSectionCount(DatabaseStream* stream, const SectionTableRow& row, WORD* count) {
  if (row.count != DDD_COUNT_IN_FILE) {
    *count = row.count;
    return kDbOk;
  }
  return ReadStreamWord(stream, count);
}

}  // namespace

StringPool* CreateStringPool() {
  StringPool* pool = static_cast<StringPool*>(GlobalAlloc(GPTR, sizeof(StringPool)));
  if (pool) pool->referencesEnabled = TRUE;
  return pool;
}

void FreeStringPool(StringPool* pool) {
  if (!pool) return;
  for (ScratchSlot& slot : pool->slots)
    if (slot.buffer) GlobalFree(slot.buffer);
  if (pool->library1) FreeLibrary(pool->library1);
  GlobalFree(pool);
}

DWORD PackVersion(WORD major, WORD minor, WORD build) {
  return (static_cast<DWORD>(major) << 24) + (static_cast<DWORD>(minor) << 16) + build;
}

WORD ParseVersionText(const BYTE* text, DWORD size, WORD* major, WORD* minor, WORD* build) {
  DWORD i = 0;
  while (i < size && text[i] && text[i] != ':') ++i;
  if (i >= size || text[i] != ':') return kDbFailed;
  ++i;
  const DWORD limits[3] = {DDD_VERSION_MAJOR_MAX, DDD_VERSION_MINOR_MAX, DDD_VERSION_BUILD_MAX};
  DWORD parts[3] = {0, 0, 0};
  for (int part = 0; part < 3; ++part) {
    if (part == 2 && (i >= size || !text[i])) return kDbFailed;  // text ends before the build
    while (i < size && text[i] >= '0' && text[i] <= '9') {
      parts[part] = parts[part] * 10 + (text[i] - '0');
      if (parts[part] > limits[part]) return kDbFailed;  // stop before the number can wrap
      ++i;
    }
    if (part < 2) {
      if (i >= size || !text[i]) return kDbFailed;
      ++i;  // separator
    }
  }
  *major = static_cast<WORD>(parts[0]);
  *minor = static_cast<WORD>(parts[1]);
  *build = static_cast<WORD>(parts[2]);
  return kDbOk;
}

WORD OpenDescriptionDatabase(LPCWSTR path, DWORD, DatabaseStream* main, DatabaseStream* linked) {
  if (!path || !main || !linked) return kDbFailed;
  if (!HasDatabaseExtension(path)) return kDbFailed;
  WORD status = LoadDatabaseFile(path, main, nullptr);
  if (status != kDbOk) return kDbFailed;
  main->role = kDbRoleMain;
  status = LoadHeaderInfo(main);
  if (status != kDbOk) {
    ReleaseStream(main);
    return status;
  }
  LPWSTR linkedName = nullptr;
  status = ReadHeaderName(main, DDD_LINKED_NAME_OFFSET, &linkedName);
  if (status != kDbOk) {
    ReleaseStream(main);
    return kDbNoMemory;
  }
  linked->role = kDbRoleLinked;
  if (linkedName[0]) {
    // The linked database lies in the main file's directory.
    const WCHAR* slash = wcsrchr(path, u'\\');
    int dirChars = slash ? static_cast<int>(slash - path) + 1 : 0;
    int nameChars = lstrlenW(linkedName);
    if (dirChars + nameChars >= MAX_PATH) {
      status = kDbFailed;
    } else {
      WCHAR linkedPath[MAX_PATH];
      std::memcpy(linkedPath, path, dirChars * sizeof(WCHAR));
      lstrcpyW(linkedPath + dirChars, linkedName);
      status = LoadDatabaseFile(linkedPath, linked, main);
      if (status == kDbOk) status = LoadHeaderInfo(linked);
    }
  }
  GlobalFree(linkedName);
  if (status != kDbOk) {
    CloseDatabaseStreams(main, linked);
    return status;
  }
  return kDbOk;
}

WORD ReleaseStream(DatabaseStream* stream) {
  if (!stream) return kDbFailed;
  WORD result = kDbFailed;
  if (stream->loaded && stream->data) {
    GlobalFree(stream->data);
    result = kDbOk;
  }
  stream->data = nullptr;
  stream->loaded = FALSE;
  stream->size = 0;
  stream->cursor = 0;
  if (!stream->partner && stream->pool) FreeStringPool(stream->pool);
  stream->pool = nullptr;
  stream->partner = nullptr;
  return result;
}

WORD CloseDatabaseStreams(DatabaseStream* main, DatabaseStream* linked) {
  WORD linkedResult = ReleaseStream(linked);
  return linkedResult | ReleaseStream(main);
}

WORD ReadDatabaseHeader(DatabaseStream* stream, DatabaseRecord** record) {
  if (!record) return kDbFailed;
  *record = nullptr;
  if (!stream || !stream->loaded || stream->size < DDD_HEADER_SIZE) return kDbFailed;
  HeaderRecord* header = static_cast<HeaderRecord*>(GlobalAlloc(GPTR, sizeof(HeaderRecord)));
  if (!header) return kDbNoMemory;
  header->h.type = DDD_RECORD_HEADER;
  header->h.stream = stream;
  DatabaseRecord* built = reinterpret_cast<DatabaseRecord*>(header);
  WORD status = ReadHeaderName(stream, DDD_MODEL_NAME_OFFSET, &header->modelName);
  if (status == kDbOk)
    status = ParseVersionText(stream->data + DDD_VERSION_OFFSET, DDD_VERSION_TEXT_SIZE, &header->major, &header->minor,
                              &header->build);
  if (status == kDbOk) {
    const BYTE* level = stream->data + DDD_FORMAT_LEVEL_OFFSET;
    header->formatLevel = GetBE32(level);
    status = ReadHeaderName(stream, DDD_DISPLAY_NAME_OFFSET, &header->displayName);
  }
  if (status == kDbOk) status = ReadHeaderName(stream, DDD_LINKED_NAME_OFFSET, &header->linkedName);
  if (status != kDbOk) {
    FreeRecord(&built, DDD_RECORD_HEADER);
    return status;
  }
  *record = built;
  return kDbOk;
}

WORD SeekStream(DatabaseStream* stream, WORD mode, LONG n) {
  if (!stream || !stream->loaded) return kDbFailed;
  LONGLONG target = mode == kDbSeekRelative ? static_cast<LONGLONG>(stream->cursor) + n : n;
  if (target < 0 || target > static_cast<LONGLONG>(stream->size)) return kDbFailed;
  stream->cursor = static_cast<DWORD>(target);
  return kDbOk;
}

WORD ReadStream(DatabaseStream* stream, void* destination, DWORD n) {
  if (!stream || !stream->loaded || !destination || n == 0 || n > Remaining(stream)) return kDbFailed;
  std::memcpy(destination, stream->data + stream->cursor, n);
  stream->cursor += n;
  return kDbOk;
}

WORD ReadStreamByte(DatabaseStream* stream, BYTE* value) { return ReadStream(stream, value, 1); }

WORD ReadStreamWord(DatabaseStream* stream, WORD* value) {
  BYTE b[2];
  if (ReadStream(stream, b, 2) != kDbOk) return kDbFailed;
  *value = GetLE16(b);
  return kDbOk;
}

WORD ReadStreamDword(DatabaseStream* stream, DWORD* value) {
  BYTE b[4];
  if (ReadStream(stream, b, 4) != kDbOk) return kDbFailed;
  *value = GetLE32(b);
  return kDbOk;
}

WORD SeekHeader(DatabaseStream* stream, DWORD n) {
  if (n > 0x7FFFFFFF - DDD_HEADER_SIZE) return kDbFailed;
  return SeekStream(stream, kDbSeekSet, static_cast<LONG>(DDD_HEADER_SIZE + n));
}

WORD SeekRecordDirectory(DatabaseStream* stream) {
  DWORD distance = 0;
  if (!LocateSection(stream, DDD_SECTION_DIRECTORY) || ReadStreamDword(stream, &distance) != kDbOk) return kDbFailed;
  if (distance > 0x7FFFFFFF - DDD_DIRECTORY_BASE) return kDbFailed;
  return SeekStream(stream, kDbSeekSet, static_cast<LONG>(DDD_DIRECTORY_BASE + distance));
}

const SectionTableRow* LocateSection(DatabaseStream* stream, DWORD id) {
  if (SeekHeader(stream, 0) != kDbOk) return nullptr;
  for (const SectionTableRow& row : DDD_SECTION_TABLE) {
    if (row.id == DDD_SECTION_END) return nullptr;
    if (row.id == id) return &row;
    WORD count = 0;
    if (ReadSectionCount(stream, row, &count) != kDbOk) return nullptr;
    for (WORD i = 0; i < count; ++i)
      if (SkipSectionElement(stream, row) != kDbOk) return nullptr;
  }
  return nullptr;
}

WORD GetSectionCount(DatabaseStream* stream, DWORD id) {
  const SectionTableRow* row = LocateSection(stream, id);
  WORD count = 0;
  if (!row || ReadSectionCount(stream, *row, &count) != kDbOk) return 0;
  return count;
}

WORD ReadSectionElement(DatabaseStream* stream, DWORD id, WORD size, WORD index, void* destination) {
  if (!destination) return kDbFailed;
  const SectionTableRow* row = LocateSection(stream, id);
  WORD count = 0;
  if (!row || ReadSectionCount(stream, *row, &count) != kDbOk) return kDbFailed;
  // An index at or beyond the count reads element 0 (callers rely on it).
  if (index > 0 && index < count && SeekStream(stream, kDbSeekRelative, static_cast<LONG>(index) * size) != kDbOk)
    return kDbFailed;
  return ReadStream(stream, destination, size);
}

DWORD ReadSectionValue(DatabaseStream* stream, DWORD id, WORD size, WORD index) {
  if (size == 0 || size > sizeof(DWORD)) return 0;
  BYTE bytes[4] = {0, 0, 0, 0};
  if (ReadSectionElement(stream, id, size, index, bytes) != kDbOk) return 0;
  return GetLE32(bytes);
}

WORD ReadSectionBytes(DatabaseStream* stream, DWORD id, WORD elementSize, WORD* count, BYTE** block) {
  if (!count || !block) return kDbFailed;
  *count = 0;
  *block = nullptr;
  const SectionTableRow* row = LocateSection(stream, id);
  WORD n = 0;
  if (!row || ReadSectionCount(stream, *row, &n) != kDbOk) return kDbFailed;
  DWORD bytes = static_cast<DWORD>(n) * elementSize;  // 32-bit: no wrap for 16-bit operands
  if (bytes == 0) return kDbOk;
  if (bytes > Remaining(stream)) return kDbFailed;
  BYTE* out = static_cast<BYTE*>(GlobalAlloc(GPTR, bytes));
  if (!out) return kDbNoMemory;
  if (ReadStream(stream, out, bytes) != kDbOk) {
    GlobalFree(out);
    return kDbFailed;
  }
  *count = n;
  *block = out;
  return kDbOk;
}

// Places the cursor at the first row of the type's type table and gives its row count.
// kDbAbsent for a type without a directory row; kDbFailed when the directory or the table
// lies outside the file.
WORD LocateTypeTable(DatabaseStream* stream, WORD type, WORD* rows) {
  int row = FindDirectoryRow(type);
  if (row < 0) return kDbAbsent;
  DWORD table = 0;
  if (SeekRecordDirectory(stream) != kDbOk ||
      SeekStream(stream, kDbSeekRelative,
                 static_cast<LONG>(DDD_DIRECTORY_PREFIX + row * DDD_DIRECTORY_ROW_SIZE + DDD_DIRECTORY_ROW_SPARE)) != kDbOk ||
      ReadStreamDword(stream, &table) != kDbOk || table > 0x7FFFFFFF - DDD_TYPETABLE_PREFIX ||
      SeekStream(stream, kDbSeekSet, static_cast<LONG>(table + DDD_TYPETABLE_PREFIX)) != kDbOk ||
      ReadStreamWord(stream, rows) != kDbOk)
    return kDbFailed;
  // Every row must lie inside the file.
  if (static_cast<DWORD>(*rows) * DDD_TYPETABLE_ROW_SIZE > stream->size - stream->cursor) return kDbFailed;
  return kDbOk;
}

WORD CountRecords(DatabaseStream* stream, WORD type) {
  WORD rows = 0;
  return LocateTypeTable(stream, type, &rows) == kDbOk ? rows : 0;
}

WORD SeekRecord(WORD mode, DatabaseStream* main, DatabaseStream* linked, WORD selector, WORD type, WORD keyOrIndex,
                WORD* database) {
  if (!main || !linked || !database) return kDbFailed;
  DatabaseStream* directory = selector == kDbDirectoryMain ? main : linked;
  if (!directory->loaded) return kDbFailed;
  WORD rows = 0;
  WORD status = LocateTypeTable(directory, type, &rows);  // cursor at the first row
  if (status != kDbOk) return status;
  BYTE row[DDD_TYPETABLE_ROW_SIZE];
  bool found = false;
  if (mode == kDbByPosition) {
    if (keyOrIndex == 0 || keyOrIndex > rows) return kDbAbsent;
    if (SeekStream(directory, kDbSeekRelative, static_cast<LONG>(keyOrIndex - 1) * DDD_TYPETABLE_ROW_SIZE) != kDbOk ||
        ReadStream(directory, row, sizeof row) != kDbOk)
      return kDbFailed;
    found = true;
  } else {
    for (WORD i = 0; i < rows && !found; ++i) {
      if (ReadStream(directory, row, sizeof row) != kDbOk) return kDbFailed;
      found = GetLE16(row + 1) == keyOrIndex;
    }
    if (!found) return kDbAbsent;
  }
  DWORD offset = GetLE32(row + 3);
  DatabaseStream* holder = row[0] == DDD_DATABASE_MAIN ? main : linked;
  if (!holder->loaded || offset > 0x7FFFFFFF || SeekStream(holder, kDbSeekSet, static_cast<LONG>(offset)) != kDbOk)
    return kDbFailed;
  *database = row[0];
  return kDbOk;
}

WORD ReleaseGlobalBlock(void* block) {
  if (!block) return 0;
  GlobalFree(block);
  return 1;
}
