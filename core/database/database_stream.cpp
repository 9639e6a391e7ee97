// Opening a model's database pair, the header, the cursor primitives, the section walk and the
// record directory. Every count, size and offset read from a file is checked against the bytes
// loaded; a read that would leave the file fails with DBS_FAILED and moves nothing.
#include "core/database/database.h"
#include "core/database/dbrecords.h"
#include "core/services/lock_slots.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/memory.h"

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
  if (!path || !path[0] || !stream) return DBS_FAILED;
  stream->partner = partner;
  if (partner) {
    stream->pool = partner->pool;
  } else {
    stream->pool = CreateStringPool();
    if (!stream->pool) return DBS_NO_MEMORY;
  }
  // The file is read straight into the zero-filled block with one ReadFile: the same bytes a
  // read-only mapping would give, without mapping and unmapping the file for one copy.
  WORD status = DBS_FAILED;
  LockSlotGuard lock(kLockDatabase);
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (size != INVALID_FILE_SIZE && high == 0 && size > 0) {
      stream->data = static_cast<BYTE*>(GlobalAlloc(GPTR, size));
      DWORD read = 0;
      if (!stream->data) {
        status = DBS_NO_MEMORY;
      } else if (ReadFile(file, stream->data, size, &read, nullptr) && read == size) {
        stream->size = size;
        stream->cursor = 0;
        stream->loaded = TRUE;
        status = DBS_OK;
      } else {
        GlobalFree(stream->data);
        stream->data = nullptr;
      }
    }
    CloseHandle(file);
  }
  if (status != DBS_OK) ReleaseStream(stream);
  return status;
}

// Keeps the packed version and the format level of the header in the stream.
WORD LoadHeaderInfo(DatabaseStream* stream) {
  DatabaseRecord* record = nullptr;
  WORD status = ReadDatabaseHeader(stream, &record);
  if (status != DBS_OK) return status;
  const HeaderRecord* header = reinterpret_cast<const HeaderRecord*>(record);
  stream->packedVersion = PackVersion(header->major, header->minor, header->build);
  stream->formatLevel = header->formatLevel;
  FreeRecord(&record, DDD_RECORD_HEADER);
  return DBS_OK;
}

// A 64-byte header text up to its first NUL (or all 64 bytes) as a new wide string.
WORD ReadHeaderName(DatabaseStream* stream, DWORD offset, LPWSTR* text) {
  *text = nullptr;
  if (SeekStream(stream, DB_SEEK_SET, static_cast<LONG>(offset)) != DBS_OK || Remaining(stream) < DDD_HEADER_TEXT_SIZE)
    return DBS_FAILED;
  const char* bytes = reinterpret_cast<const char*>(stream->data + offset);
  int n = 0;
  while (n < static_cast<int>(DDD_HEADER_TEXT_SIZE) && bytes[n]) ++n;
  int chars = n ? MultiByteToWideChar(CP_ACP, 0, bytes, n, nullptr, 0) : 0;
  if (n && chars <= 0) return DBS_NO_MEMORY;
  LPWSTR out = static_cast<LPWSTR>(GlobalAlloc(GPTR, (static_cast<SIZE_T>(chars) + 1) * sizeof(WCHAR)));
  if (!out) return DBS_NO_MEMORY;
  if (n && MultiByteToWideChar(CP_ACP, 0, bytes, n, out, chars) != chars) {
    GlobalFree(out);
    return DBS_NO_MEMORY;
  }
  *text = out;
  stream->cursor = offset + DDD_HEADER_TEXT_SIZE;
  return DBS_OK;
}

// Skips one section element at the cursor (reading its own size when the table says so).
WORD SkipSectionElement(DatabaseStream* stream, const SectionTableRow& row) {
  WORD size = row.size;
  if (size == DDD_SIZE_IN_FILE && ReadStreamWord(stream, &size) != DBS_OK) return DBS_FAILED;
  return SeekStream(stream, DB_SEEK_RELATIVE, size);
}

// The element count of the section at the cursor, reading it from the file when the table
// says so.
WORD ReadSectionCount(DatabaseStream* stream, const SectionTableRow& row, WORD* count) {
  if (row.count != DDD_COUNT_IN_FILE) {
    *count = row.count;
    return DBS_OK;
  }
  return ReadStreamWord(stream, count);
}

}  // namespace

DWORD PackVersion(WORD major, WORD minor, WORD build) {
  return (static_cast<DWORD>(major) << 24) + (static_cast<DWORD>(minor) << 16) + build;
}

WORD ParseVersionText(const BYTE* text, DWORD size, WORD* major, WORD* minor, WORD* build) {
  DWORD i = 0;
  while (i < size && text[i] && text[i] != ':') ++i;
  if (i >= size || text[i] != ':') return DBS_FAILED;
  ++i;
  const DWORD limits[3] = {DDD_VERSION_MAJOR_MAX, DDD_VERSION_MINOR_MAX, DDD_VERSION_BUILD_MAX};
  DWORD parts[3] = {0, 0, 0};
  for (int part = 0; part < 3; ++part) {
    if (part == 2 && (i >= size || !text[i])) return DBS_FAILED;  // text ends before the build
    while (i < size && text[i] >= '0' && text[i] <= '9') {
      parts[part] = parts[part] * 10 + (text[i] - '0');
      if (parts[part] > limits[part]) return DBS_FAILED;  // stop before the number can wrap
      ++i;
    }
    if (part < 2) {
      if (i >= size || !text[i]) return DBS_FAILED;
      ++i;  // separator
    }
  }
  *major = static_cast<WORD>(parts[0]);
  *minor = static_cast<WORD>(parts[1]);
  *build = static_cast<WORD>(parts[2]);
  return DBS_OK;
}

WORD OpenDescriptionDatabase(LPCWSTR path, DWORD, DatabaseStream* main, DatabaseStream* linked) {
  if (!path || !main || !linked) return DBS_FAILED;
  if (!HasDatabaseExtension(path)) return DBS_FAILED;
  WORD status = LoadDatabaseFile(path, main, nullptr);
  if (status != DBS_OK) return DBS_FAILED;
  main->role = DB_ROLE_MAIN;
  status = LoadHeaderInfo(main);
  if (status != DBS_OK) {
    ReleaseStream(main);
    return status;
  }
  LPWSTR linkedName = nullptr;
  status = ReadHeaderName(main, DDD_LINKED_NAME_OFFSET, &linkedName);
  if (status != DBS_OK) {
    ReleaseStream(main);
    return DBS_NO_MEMORY;
  }
  linked->role = DB_ROLE_LINKED;
  if (linkedName[0]) {
    // The linked database lies in the main file's directory.
    const WCHAR* slash = wcsrchr(path, u'\\');
    int dirChars = slash ? static_cast<int>(slash - path) + 1 : 0;
    int nameChars = lstrlenW(linkedName);
    if (dirChars + nameChars >= MAX_PATH) {
      status = DBS_FAILED;
    } else {
      WCHAR linkedPath[MAX_PATH];
      std::memcpy(linkedPath, path, dirChars * sizeof(WCHAR));
      lstrcpyW(linkedPath + dirChars, linkedName);
      status = LoadDatabaseFile(linkedPath, linked, main);
      if (status == DBS_OK) status = LoadHeaderInfo(linked);
    }
  }
  GlobalFree(linkedName);
  if (status != DBS_OK) {
    CloseDatabaseStreams(main, linked);
    return status;
  }
  return DBS_OK;
}

WORD ReleaseStream(DatabaseStream* stream) {
  if (!stream) return DBS_FAILED;
  WORD result = DBS_FAILED;
  if (stream->loaded && stream->data) {
    GlobalFree(stream->data);
    result = DBS_OK;
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
  if (!record) return DBS_FAILED;
  *record = nullptr;
  if (!stream || !stream->loaded || stream->size < DDD_HEADER_SIZE) return DBS_FAILED;
  HeaderRecord* header = static_cast<HeaderRecord*>(GlobalAlloc(GPTR, sizeof(HeaderRecord)));
  if (!header) return DBS_NO_MEMORY;
  header->h.type = DDD_RECORD_HEADER;
  header->h.stream = stream;
  DatabaseRecord* built = reinterpret_cast<DatabaseRecord*>(header);
  WORD status = ReadHeaderName(stream, DDD_MODEL_NAME_OFFSET, &header->modelName);
  if (status == DBS_OK)
    status = ParseVersionText(stream->data + DDD_VERSION_OFFSET, DDD_VERSION_TEXT_SIZE, &header->major, &header->minor,
                              &header->build);
  if (status == DBS_OK) {
    const BYTE* level = stream->data + DDD_FORMAT_LEVEL_OFFSET;
    header->formatLevel = (static_cast<DWORD>(level[0]) << 24) | (static_cast<DWORD>(level[1]) << 16) |
                          (static_cast<DWORD>(level[2]) << 8) | level[3];
    status = ReadHeaderName(stream, DDD_DISPLAY_NAME_OFFSET, &header->displayName);
  }
  if (status == DBS_OK) status = ReadHeaderName(stream, DDD_LINKED_NAME_OFFSET, &header->linkedName);
  if (status != DBS_OK) {
    FreeRecord(&built, DDD_RECORD_HEADER);
    return status;
  }
  *record = built;
  return DBS_OK;
}

WORD SeekStream(DatabaseStream* stream, WORD mode, LONG n) {
  if (!stream || !stream->loaded) return DBS_FAILED;
  LONGLONG target = mode == DB_SEEK_RELATIVE ? static_cast<LONGLONG>(stream->cursor) + n : n;
  if (target < 0 || target > static_cast<LONGLONG>(stream->size)) return DBS_FAILED;
  stream->cursor = static_cast<DWORD>(target);
  return DBS_OK;
}

WORD StepBackStream(DatabaseStream* stream, DWORD n) {
  if (!stream || !stream->loaded || n > stream->cursor) return DBS_FAILED;
  stream->cursor -= n;
  return DBS_OK;
}

WORD ReadStream(DatabaseStream* stream, void* destination, DWORD n) {
  if (!stream || !stream->loaded || !destination || n == 0 || n > Remaining(stream)) return DBS_FAILED;
  std::memcpy(destination, stream->data + stream->cursor, n);
  stream->cursor += n;
  return DBS_OK;
}

WORD ReadStreamByte(DatabaseStream* stream, BYTE* value) { return ReadStream(stream, value, 1); }

WORD ReadStreamWord(DatabaseStream* stream, WORD* value) {
  BYTE b[2];
  if (ReadStream(stream, b, 2) != DBS_OK) return DBS_FAILED;
  *value = static_cast<WORD>(b[0] | (b[1] << 8));
  return DBS_OK;
}

WORD ReadStreamDword(DatabaseStream* stream, DWORD* value) {
  BYTE b[4];
  if (ReadStream(stream, b, 4) != DBS_OK) return DBS_FAILED;
  *value = static_cast<DWORD>(b[0]) | (static_cast<DWORD>(b[1]) << 8) | (static_cast<DWORD>(b[2]) << 16) |
           (static_cast<DWORD>(b[3]) << 24);
  return DBS_OK;
}

WORD SeekHeader(DatabaseStream* stream, DWORD n) {
  if (n > 0x7FFFFFFF - DDD_HEADER_SIZE) return DBS_FAILED;
  return SeekStream(stream, DB_SEEK_SET, static_cast<LONG>(DDD_HEADER_SIZE + n));
}

WORD SeekRecordDirectory(DatabaseStream* stream) {
  DWORD distance = 0;
  if (!LocateSection(stream, DDD_SECTION_DIRECTORY) || ReadStreamDword(stream, &distance) != DBS_OK) return DBS_FAILED;
  if (distance > 0x7FFFFFFF - DDD_DIRECTORY_BASE) return DBS_FAILED;
  return SeekStream(stream, DB_SEEK_SET, static_cast<LONG>(DDD_DIRECTORY_BASE + distance));
}

const SectionTableRow* LocateSection(DatabaseStream* stream, DWORD id) {
  if (SeekHeader(stream, 0) != DBS_OK) return nullptr;
  for (const SectionTableRow& row : DDD_SECTION_TABLE) {
    if (row.id == DDD_SECTION_END) return nullptr;
    if (row.id == id) return &row;
    WORD count = 0;
    if (ReadSectionCount(stream, row, &count) != DBS_OK) return nullptr;
    for (WORD i = 0; i < count; ++i)
      if (SkipSectionElement(stream, row) != DBS_OK) return nullptr;
  }
  return nullptr;
}

WORD GetSectionCount(DatabaseStream* stream, DWORD id) {
  const SectionTableRow* row = LocateSection(stream, id);
  WORD count = 0;
  if (!row || ReadSectionCount(stream, *row, &count) != DBS_OK) return 0;
  return count;
}

WORD ReadSectionElement(DatabaseStream* stream, DWORD id, WORD size, WORD index, void* destination) {
  if (!destination) return DBS_FAILED;
  const SectionTableRow* row = LocateSection(stream, id);
  WORD count = 0;
  if (!row || ReadSectionCount(stream, *row, &count) != DBS_OK) return DBS_FAILED;
  // An index at or beyond the count reads element 0 (callers rely on it).
  if (index > 0 && index < count && SeekStream(stream, DB_SEEK_RELATIVE, static_cast<LONG>(index) * size) != DBS_OK)
    return DBS_FAILED;
  return ReadStream(stream, destination, size);
}

DWORD ReadSectionValue(DatabaseStream* stream, DWORD id, WORD size, WORD index) {
  if (size == 0 || size > sizeof(DWORD)) return 0;
  BYTE bytes[4] = {0, 0, 0, 0};
  if (ReadSectionElement(stream, id, size, index, bytes) != DBS_OK) return 0;
  return static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) | (static_cast<DWORD>(bytes[2]) << 16) |
         (static_cast<DWORD>(bytes[3]) << 24);
}

WORD ReadSectionBytes(DatabaseStream* stream, DWORD id, WORD elementSize, WORD* count, BYTE** block) {
  if (!count || !block) return DBS_FAILED;
  *count = 0;
  *block = nullptr;
  const SectionTableRow* row = LocateSection(stream, id);
  WORD n = 0;
  if (!row || ReadSectionCount(stream, *row, &n) != DBS_OK) return DBS_FAILED;
  DWORD bytes = static_cast<DWORD>(n) * elementSize;  // 32-bit: no wrap for 16-bit operands
  if (bytes == 0) return DBS_OK;
  if (bytes > Remaining(stream)) return DBS_FAILED;
  BYTE* out = static_cast<BYTE*>(GlobalAlloc(GPTR, bytes));
  if (!out) return DBS_NO_MEMORY;
  if (ReadStream(stream, out, bytes) != DBS_OK) {
    GlobalFree(out);
    return DBS_FAILED;
  }
  *count = n;
  *block = out;
  return DBS_OK;
}

// Places the cursor at the first row of the type's type table and gives its row count.
// DBS_ABSENT for a type without a directory row; DBS_FAILED when the directory or the table
// lies outside the file.
WORD LocateTypeTable(DatabaseStream* stream, WORD type, WORD* rows) {
  int row = FindDirectoryRow(type);
  if (row < 0) return DBS_ABSENT;
  DWORD table = 0;
  if (SeekRecordDirectory(stream) != DBS_OK ||
      SeekStream(stream, DB_SEEK_RELATIVE,
                 static_cast<LONG>(DDD_DIRECTORY_PREFIX + row * DDD_DIRECTORY_ROW_SIZE + DDD_DIRECTORY_ROW_SPARE)) != DBS_OK ||
      ReadStreamDword(stream, &table) != DBS_OK || table > 0x7FFFFFFF - DDD_TYPETABLE_PREFIX ||
      SeekStream(stream, DB_SEEK_SET, static_cast<LONG>(table + DDD_TYPETABLE_PREFIX)) != DBS_OK ||
      ReadStreamWord(stream, rows) != DBS_OK)
    return DBS_FAILED;
  // Every row must lie inside the file.
  if (static_cast<DWORD>(*rows) * DDD_TYPETABLE_ROW_SIZE > stream->size - stream->cursor) return DBS_FAILED;
  return DBS_OK;
}

WORD CountRecords(DatabaseStream* stream, WORD type) {
  WORD rows = 0;
  return LocateTypeTable(stream, type, &rows) == DBS_OK ? rows : 0;
}

WORD SeekRecord(WORD mode, DatabaseStream* main, DatabaseStream* linked, WORD selector, WORD type, WORD keyOrIndex,
                WORD* database) {
  if (!main || !linked || !database) return DBS_FAILED;
  DatabaseStream* directory = selector == DB_DIRECTORY_MAIN ? main : linked;
  if (!directory->loaded) return DBS_FAILED;
  WORD rows = 0;
  WORD status = LocateTypeTable(directory, type, &rows);  // cursor at the first row
  if (status != DBS_OK) return status;
  BYTE row[DDD_TYPETABLE_ROW_SIZE];
  bool found = false;
  if (mode == DB_BY_POSITION) {
    if (keyOrIndex == 0 || keyOrIndex > rows) return DBS_ABSENT;
    if (SeekStream(directory, DB_SEEK_RELATIVE, static_cast<LONG>(keyOrIndex - 1) * DDD_TYPETABLE_ROW_SIZE) != DBS_OK ||
        ReadStream(directory, row, sizeof row) != DBS_OK)
      return DBS_FAILED;
    found = true;
  } else {
    for (WORD i = 0; i < rows && !found; ++i) {
      if (ReadStream(directory, row, sizeof row) != DBS_OK) return DBS_FAILED;
      found = static_cast<WORD>(row[1] | (row[2] << 8)) == keyOrIndex;
    }
    if (!found) return DBS_ABSENT;
  }
  DWORD offset = static_cast<DWORD>(row[3]) | (static_cast<DWORD>(row[4]) << 8) | (static_cast<DWORD>(row[5]) << 16) |
                 (static_cast<DWORD>(row[6]) << 24);
  DatabaseStream* holder = row[0] == DDD_DATABASE_MAIN ? main : linked;
  if (!holder->loaded || offset > 0x7FFFFFFF || SeekStream(holder, DB_SEEK_SET, static_cast<LONG>(offset)) != DBS_OK)
    return DBS_FAILED;
  *database = row[0];
  return DBS_OK;
}

WORD ReleaseGlobalBlock(void* block) {
  if (!block) return 0;
  GlobalFree(block);
  return 1;
}
