// Stored texts of the database: complemented ANSI text, or a reference to a string of a string
// library named in section 35 (library 1 stays loaded with the pool; others are loaded per
// text). Texts are read through pooled scratch buffers so short texts cost one allocation.
#include <cstring>

#include "core/database/database.h"
#include "core/runtime/module_state.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"
#include "platform/kernel/resource.h"

namespace {

constexpr DWORD kLibraryLoadFlags = DONT_RESOLVE_DLL_REFERENCES | LOAD_WITH_ALTERED_SEARCH_PATH;

// The main stream whose sections name the string libraries (a linked stream's partner).
DatabaseStream* SectionStream(DatabaseStream* stream) { return stream->partner ? stream->partner : stream; }

// Copies `chars` characters and a terminator into a new block.
WORD CopyToNewString(const WCHAR* chars, int count, LPWSTR* text, WORD* length) {
  LPWSTR out = static_cast<LPWSTR>(GlobalAlloc(GPTR, (static_cast<SIZE_T>(count) + 1) * sizeof(WCHAR)));
  if (!out) return kDbNoMemory;
  if (count) std::memcpy(out, chars, count * sizeof(WCHAR));
  *text = out;
  *length = static_cast<WORD>(2 * count + 2);
  return kDbOk;
}

// Section 35 element `index` (a string library's file name) as a plain text, read through a
// copy of the main stream so the caller's cursor stays where it is. Library names are always
// read in the plain form, so resolving a reference never recurses.
WORD ReadLibraryName(DatabaseStream* stream, WORD index, LPWSTR* name) {
  DatabaseStream copy = *SectionStream(stream);
  *name = nullptr;
  const SectionTableRow* row = LocateSection(&copy, DDD_SECTION_STRING_LIBRARIES);
  WORD count = 0, size = 0;
  if (!row || ReadStreamWord(&copy, &count) != kDbOk || index >= count) return kDbFailed;
  for (WORD i = 0; i < index; ++i)
    if (ReadStreamWord(&copy, &size) != kDbOk || SeekStream(&copy, kDbSeekRelative, size) != kDbOk) return kDbFailed;
  if (ReadStreamWord(&copy, &size) != kDbOk || size == 0 || size > copy.size - copy.cursor) return kDbFailed;
  BYTE* buffer = AcquireScratchBuffer(size, stream);
  if (!buffer) return kDbNoMemory;
  std::memcpy(buffer, copy.data + copy.cursor, size);
  WORD length = 0;
  WORD status = DecodeStoredString(buffer, size, name, &length);
  ReleaseScratchBuffer(stream, buffer);
  return status;
}

// Loads a string library beside the printer module; NULL when the name is too long or the
// file does not load.
HMODULE LoadStringLibrary(LPCWSTR name) {
  WCHAR path[MAX_PATH + 1];
  if (!GetModuleDirectory(path, sizeof path)) return nullptr;
  int dirChars = lstrlenW(path);
  if (dirChars + lstrlenW(name) >= MAX_PATH) return nullptr;
  lstrcpyW(path + dirChars, name);
  return LoadLibraryExW(path, nullptr, kLibraryLoadFlags);
}

// String `id` of a loaded library as a new string; an id the library lacks gives "".
WORD LoadLibraryString(DatabaseStream* stream, HMODULE library, WORD id, LPWSTR* text, WORD* length) {
  BYTE* buffer = AcquireScratchBuffer(kDbLibraryStringChars * sizeof(WCHAR), stream);
  if (!buffer) return kDbNoMemory;
  LPWSTR chars = reinterpret_cast<LPWSTR>(buffer);
  int count = LoadStringW(library, id, chars, kDbLibraryStringChars);
  if (count < 0) count = 0;
  if (count >= kDbLibraryStringChars) count = kDbLibraryStringChars - 1;
  WORD status = CopyToNewString(chars, count, text, length);
  ReleaseScratchBuffer(stream, buffer);
  return status;
}

// Library 1, loaded once per pool. A library that cannot be loaded switches the pool to plain
// texts for good.
HMODULE GetPrimaryStringLibrary(DatabaseStream* stream) {
  StringPool* pool = stream->pool;
  if (pool->library1) return pool->library1;
  LPWSTR name = nullptr;
  if (ReadLibraryName(stream, 0, &name) == kDbOk) pool->library1 = LoadStringLibrary(name);
  ReleaseGlobalBlock(name);
  if (!pool->library1) pool->referencesEnabled = FALSE;
  return pool->library1;
}

// Resolves a reference-form text. Answers true with *status set when the text was a reference
// that could be read; false when the text is to be read in the plain form.
bool ResolveTextReference(DatabaseStream* stream, const BYTE* bytes, WORD n, LPWSTR* text, WORD* length, WORD* status) {
  WORD library = 0, id = 0;
  if (!IsTextReference(bytes, n, &library, &id)) return false;
  if (library == 1) {
    HMODULE handle = GetPrimaryStringLibrary(stream);
    if (!handle) return false;
    *status = LoadLibraryString(stream, handle, id, text, length);
    return true;
  }
  LPWSTR name = nullptr;
  HMODULE handle = nullptr;
  if (ReadLibraryName(stream, static_cast<WORD>(library - 1), &name) == kDbOk) handle = LoadStringLibrary(name);
  ReleaseGlobalBlock(name);
  if (!handle) return false;
  *status = LoadLibraryString(stream, handle, id, text, length);
  FreeLibrary(handle);
  return true;
}

}  // namespace

BYTE* AcquireScratchBuffer(DWORD size, DatabaseStream* stream) {
  if (!stream || !stream->pool) return nullptr;
  if (size < kDbScratchMinBytes) size = kDbScratchMinBytes;
  for (ScratchSlot& slot : stream->pool->slots) {
    if (slot.inUse) continue;
    if (slot.buffer && slot.capacity < size) {
      GlobalFree(slot.buffer);
      slot.buffer = nullptr;
      slot.capacity = 0;
    }
    if (!slot.buffer) {
      slot.buffer = static_cast<BYTE*>(GlobalAlloc(GPTR, size));
      if (!slot.buffer) continue;
      slot.capacity = size;
    }
    slot.inUse = TRUE;
    return slot.buffer;
  }
  return nullptr;
}

void ReleaseScratchBuffer(DatabaseStream* stream, BYTE* buffer) {
  if (!stream || !stream->pool || !buffer) return;
  for (ScratchSlot& slot : stream->pool->slots)
    if (slot.buffer == buffer) slot.inUse = FALSE;
}

WORD DecodeStoredString(BYTE* bytes, WORD n, LPWSTR* text, WORD* length) {
  for (WORD i = 0; i < n; ++i) bytes[i] = static_cast<BYTE>(~bytes[i]);
  // Exactly n bytes: the scratch buffers are reused and hold no terminator of their own.
  const char* ansi = reinterpret_cast<const char*>(bytes);
  int chars = n ? MultiByteToWideChar(CP_ACP, 0, ansi, n, nullptr, 0) : 0;
  if (n && chars <= 0) return kDbNoMemory;
  LPWSTR out = static_cast<LPWSTR>(GlobalAlloc(GPTR, (static_cast<SIZE_T>(chars) + 1) * sizeof(WCHAR)));
  if (!out) return kDbNoMemory;
  if (n && MultiByteToWideChar(CP_ACP, 0, ansi, n, out, chars) != chars) {
    GlobalFree(out);
    return kDbNoMemory;
  }
  *text = out;
  *length = static_cast<WORD>(2 * chars + 2);
  return kDbOk;
}

WORD ReadStoredText(DatabaseStream* stream, LPWSTR* text, WORD* length) {
  if (!stream || !stream->loaded || !text || !length) return kDbFailed;
  *text = nullptr;
  WORD n = *length;
  if (n == 0) return kDbOk;
  if (n > stream->size - stream->cursor) return kDbFailed;
  const BYTE* source = stream->data + stream->cursor;
  stream->cursor += n;
  BYTE* buffer = AcquireScratchBuffer(n, stream);
  if (!buffer) return kDbNoMemory;
  std::memcpy(buffer, source, n);
  WORD status = kDbOk;
  if (!stream->pool->referencesEnabled || !ResolveTextReference(stream, buffer, n, text, length, &status))
    status = DecodeStoredString(buffer, n, text, length);
  ReleaseScratchBuffer(stream, buffer);
  return status;
}

WORD ReadCountedText(DatabaseStream* stream, LPWSTR* text) {
  *text = nullptr;
  WORD n = 0;
  if (ReadStreamWord(stream, &n) != kDbOk) return kDbFailed;
  return ReadStoredText(stream, text, &n);
}

WORD ReadSectionString(DatabaseStream* stream, DWORD id, WORD index, LPWSTR* text) {
  if (!text) return kDbFailed;
  *text = nullptr;
  const SectionTableRow* row = LocateSection(stream, id);
  if (!row || row->size != DDD_SIZE_IN_FILE) return kDbFailed;
  WORD count = row->count;
  if (count == DDD_COUNT_IN_FILE && ReadStreamWord(stream, &count) != kDbOk) return kDbFailed;
  if (index >= count) return kDbFailed;
  WORD size = 0;
  for (WORD i = 0; i < index; ++i)
    if (ReadStreamWord(stream, &size) != kDbOk || SeekStream(stream, kDbSeekRelative, size) != kDbOk) return kDbFailed;
  LPWSTR out = nullptr;
  WORD status = ReadCountedText(stream, &out);
  if (status != kDbOk) {
    ReleaseGlobalBlock(out);
    return status;
  }
  *text = out;
  return kDbOk;
}

LPWSTR ReadSectionStringOrNull(DatabaseStream* stream, DWORD id, WORD index) {
  LPWSTR text = nullptr;
  return ReadSectionString(stream, id, index, &text) == kDbOk ? text : nullptr;
}

WORD ReadHeaderText(DatabaseStream* stream, WORD kind, LPWSTR* text) {
  if (!text) return kDbFailed;
  *text = nullptr;
  if (!stream || kind >= kDbHeaderTextKinds) return kDbFailed;
  if (kind < kDbHeaderTextFirstListed) return ReadSectionString(stream, DDD_SECTION_HEADER_TEXTS + kind, 0, text);
  return ReadSectionString(stream, DDD_SECTION_MORE_HEADER_TEXTS, static_cast<WORD>(kind - kDbHeaderTextFirstListed), text);
}

WORD ReadDriverText(DatabaseStream* stream, WORD kind, LPWSTR* text) {
  if (!text) return kDbFailed;
  *text = nullptr;
  if (!stream) return kDbFailed;
  if (kind == kDbDriverTextRegistryBase) return ReadSectionString(stream, DDD_SECTION_DRIVER_BASE, 0, text);
  if (kind == kDbDriverTextUserBase) return ReadSectionString(stream, DDD_SECTION_USER_BASE, 0, text);
  return kDbFailed;
}
