// The description database reader: a model's database file and its linked database, read whole
// into memory and walked through a DatabaseStream (header, 40 sections, record directory), and
// the database's stored texts (plain or by reference to a string library). Record bodies are
// core/dbrecords.h; the byte layout is core/dblayout.h.
#pragma once

#include "core/database/database_status.h"
#include "core/database/dblayout.h"
#include "platform/base/types.h"

constexpr WORD kDbRoleMain = 2;
constexpr WORD kDbRoleLinked = 1;

// Seek modes of SeekStream and SeekRecord.
constexpr WORD kDbSeekSet = 0;
constexpr WORD kDbSeekRelative = 1;
constexpr WORD kDbByKey = 0;
constexpr WORD kDbByPosition = 1;
constexpr WORD kDbDirectoryMain = 2;  // the directory selector every caller passes

// Header text kinds of ReadHeaderText: 0..5 are sections 17..22, 6..13 elements of section 36.
constexpr WORD kDbHeaderTextKinds = 14;
constexpr WORD kDbHeaderTextFirstListed = 6;
// ReadDriverText kinds.
constexpr WORD kDbDriverTextRegistryBase = 0;  // section 30
constexpr WORD kDbDriverTextUserBase = 1;      // section 33

// Scratch buffers of a StringPool.
constexpr DWORD kDbScratchSlots = 4;
constexpr DWORD kDbScratchMinBytes = 1024;
constexpr int kDbLibraryStringChars = 512;  // LoadStringW buffer (511 characters and a NUL)

struct ScratchSlot {
  DWORD capacity;
  BYTE* buffer;
  BOOL inUse;
};

// Scratch buffers and string-library state shared by a main stream and its linked stream.
struct StringPool {
  ScratchSlot slots[kDbScratchSlots];
  BOOL referencesEnabled;  // cleared for good when library 1 cannot be loaded
  HMODULE library1;        // loaded on first use, freed with the pool
};

// One loaded database file and a cursor over its in-memory copy.
struct DatabaseStream {
  BOOL loaded;
  BYTE* data;  // zero-filled copy of the whole file
  DWORD size;
  DWORD cursor;
  WORD role;  // kDbRoleMain or kDbRoleLinked
  DWORD packedVersion;
  DWORD formatLevel;
  DatabaseStream* partner;  // the main stream of a linked stream; NULL for the main stream
  StringPool* pool;         // created by the main stream, shared by its linked stream
};

struct DatabaseRecord;

// ---- Files, header, cursor -----------------------------------------------------------------
// Opens a model's database (extension "DDD", any case) and, when its header names one, the
// linked database in the same directory. Both streams are the caller's zeroed records.
WORD OpenDescriptionDatabase(LPCWSTR path, DWORD unused, DatabaseStream* main, DatabaseStream* linked);
// ReleaseStream of the linked stream, then of the main stream; the OR of both.
WORD CloseDatabaseStreams(DatabaseStream* main, DatabaseStream* linked);
// 0 when loaded data was freed, 1 when nothing was loaded or the stream is NULL.
WORD ReleaseStream(DatabaseStream* stream);
// The header as a type-1 record (HeaderRecord); freed with FreeRecord.
WORD ReadDatabaseHeader(DatabaseStream* stream, DatabaseRecord** record);
DWORD PackVersion(WORD major, WORD minor, WORD build);
// Parses "...:major?minor?build" within `size` bytes; 1 when it does not parse or exceeds
// 255.255.65535.
WORD ParseVersionText(const BYTE* text, DWORD size, WORD* major, WORD* minor, WORD* build);

// Cursor moves and reads; each stays within the loaded bytes (1 otherwise, cursor unchanged).
WORD SeekStream(DatabaseStream* stream, WORD mode, LONG n);
WORD ReadStream(DatabaseStream* stream, void* destination, DWORD n);
WORD SeekHeader(DatabaseStream* stream, DWORD n);
WORD SeekRecordDirectory(DatabaseStream* stream);
// Little-endian reads at the cursor.
WORD ReadStreamByte(DatabaseStream* stream, BYTE* value);
WORD ReadStreamWord(DatabaseStream* stream, WORD* value);
WORD ReadStreamDword(DatabaseStream* stream, DWORD* value);

// ---- Sections ------------------------------------------------------------------------------
// The section's table row, cursor at the section's first byte; NULL when the id is not in the
// table or the walk leaves the file.
const SectionTableRow* LocateSection(DatabaseStream* stream, DWORD id);
WORD GetSectionCount(DatabaseStream* stream, DWORD id);
// Element `index` of `size` bytes; an index at or beyond the count reads element 0.
WORD ReadSectionElement(DatabaseStream* stream, DWORD id, WORD size, WORD index, void* destination);
// The element zero-extended into 32 bits; 0 on any failure (and for sizes above 4).
DWORD ReadSectionValue(DatabaseStream* stream, DWORD id, WORD size, WORD index);
// Caller to come: the paper page's list of paper sizes.
// All elements as one new block of count x size bytes (NULL and count 0 for an empty section).
WORD ReadSectionBytes(DatabaseStream* stream, DWORD id, WORD elementSize, WORD* count, BYTE** block);

// ---- Directory -----------------------------------------------------------------------------
// Cursor at the first row of the type's type table, with its row count; 2 for a type without
// a directory row, 1 when the directory or the table does not lie inside the file.
WORD LocateTypeTable(DatabaseStream* stream, WORD type, WORD* rows);
// Rows in the type's type table; 0 for a type without a directory row or a read failure.
WORD CountRecords(DatabaseStream* stream, WORD type);
// Places the cursor of the stream that holds the record (main for database 2, else linked) at
// the record; mode kDbByPosition takes row n (1-based), kDbByKey the first row with the key.
WORD SeekRecord(WORD mode, DatabaseStream* main, DatabaseStream* linked, WORD selector, WORD type, WORD keyOrIndex,
                WORD* database);

// ---- Stored texts --------------------------------------------------------------------------
// On entry *length is the stored byte count n and the cursor is at the first of the n bytes;
// on success *text is a new wide string (ReleaseGlobalBlock) and *length its byte size with the
// terminator. The cursor is after the n bytes either way (when they are inside the file).
WORD ReadStoredText(DatabaseStream* stream, LPWSTR* text, WORD* length);
// Reads a u16 byte count and the stored text after it; a count of 0 leaves *text NULL.
WORD ReadCountedText(DatabaseStream* stream, LPWSTR* text);
// Plain form: complements the n bytes in place and converts them from the ANSI code page.
WORD DecodeStoredString(BYTE* bytes, WORD n, LPWSTR* text, WORD* length);
WORD ReadSectionString(DatabaseStream* stream, DWORD id, WORD index, LPWSTR* text);
LPWSTR ReadSectionStringOrNull(DatabaseStream* stream, DWORD id, WORD index);
WORD ReadHeaderText(DatabaseStream* stream, WORD kind, LPWSTR* text);
WORD ReadDriverText(DatabaseStream* stream, WORD kind, LPWSTR* text);

BYTE* AcquireScratchBuffer(DWORD size, DatabaseStream* stream);
void ReleaseScratchBuffer(DatabaseStream* stream, BYTE* buffer);
StringPool* CreateStringPool();
void FreeStringPool(StringPool* pool);

// A block of the global heap (texts and blocks the readers hand out): 1 when freed, 0 for NULL.
WORD ReleaseGlobalBlock(void* block);
