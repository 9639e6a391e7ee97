// The temporary job store: a temporary file of the graphics module into which the pages that
// must be reordered or combined are recorded, and from which they are read back at the end of
// the document. Writes go straight to the file; only appends gather in a write-behind block,
// which every other use of the store writes first. A write failure asks the user: OK retries,
// Cancel makes the store unusable until it is deleted. Every store file is registered in the
// registry so that a later job can delete the files that finished or crashed jobs left behind.
//
// Results: 0 or a count for success, -1 for failure.
#pragma once

#include "platform/base/types.h"

struct TempJobStore {
  HMODULE resourceModule;  // texts of the write-failure box
  HANDLE file;             // INVALID_HANDLE_VALUE when none
  WCHAR name[MAX_PATH];    // the file's full path, empty when none
  DWORD size;              // the highest offset written so far
  DWORD position;          // the current offset
  DWORD writable;          // 1 while the store may be used
  DWORD atEnd;             // 1 while the file pointer is known to be at the file's end (the size)
  BYTE* appendBlock;       // appended bytes not yet in the file (a global block); NULL when none
  DWORD appended;          // how many bytes wait there
};

// The write-behind block of appends: the store file is written once per this many bytes.
constexpr DWORD kTempStoreAppendBlockSize = 65536;

// Strings of the resource module shown when a store write fails.
constexpr UINT kTempWriteFailureString = 5;
constexpr UINT kTempWriteFailureCaptionString = 6;
// The box: MB_OKCANCEL | MB_ICONINFORMATION | MB_SETFOREGROUND.
constexpr UINT kTempWriteFailureBoxFlags = 0x10041;
inline constexpr WCHAR kTempWriteFailureCaption[] = u"警告";
inline constexpr WCHAR kTempWriteFailureText[] =
    u"印刷作業ファイルに書き込めませんでした。\n%cドライブに十分な空きがあるかどうか確認してください。\n\n"
    u"[OK]を押すと再試行します。\n[キャンセル]を押すと印刷を中止します。";

// The driver key the store files are registered under (below HKEY_LOCAL_MACHINE) until the
// model's database gives its own, and the sub key of the registrations.
inline constexpr WCHAR kDefaultTempRegistryKey[] = u"Software\\Varno Quelmar\\VQ Nimbrel Printer Driver\\";
inline constexpr WCHAR kTempFileSubKey[] = u"TempFile\\";
constexpr int kTempRegistryKeyChars = 128;

// With cleanUp, first deletes the files earlier jobs left behind; then no file, empty name,
// size and position 0, not writable, nothing appended. Closes, deletes and frees nothing of
// the store itself.
int InitTempStore(TempJobStore* store, BOOL cleanUp, HMODULE resourceModule);
// A new, registered temporary file (an earlier one is deleted first); writable.
int CreateTempStoreFile(TempJobStore* store);
// Closes and deletes the file and its registration (appended bytes still waiting are dropped
// with it), then InitTempStore without clean-up. -1 when the close or the delete failed, also
// when there was no file.
int DeleteTempStore(TempJobStore* store);
// 1 when a file is open and the store writable, else -1.
int IsTempStoreOpen(const TempJobStore* store);
// Appends the bytes at the store's end. They count in the size at once and reach the file when
// the write-behind block is full, at FlushTempStore or at any other use of the store (a block
// too large for it is written at once). 0 or -1; a failed write of waiting bytes asks the user
// as a write does.
int AppendTempStore(TempJobStore* store, const void* bytes, DWORD length);
// The free part of the write-behind block (allocated when there is none), for appends encoded
// in place: the writer adds the bytes it used to `appended`. Its size in *room, never more than
// keeps the store below 2 GiB. NULL when the store is not usable, no block can be allocated or
// none of it is free; the file is not written.
BYTE* FindTempStoreAppendRoom(TempJobStore* store, DWORD* room);
// The same, with the common case (a block with room, a store far below 2 GiB) answered inline:
// it is asked once per recorded command.
inline BYTE* GetTempStoreAppendRoom(TempJobStore* store, DWORD* room) {
  if (store->appendBlock == nullptr || store->appended >= kTempStoreAppendBlockSize ||
      store->size > 0x7FFFFFFF - kTempStoreAppendBlockSize || store->writable != 1 ||
      store->file == INVALID_HANDLE_VALUE)
    return FindTempStoreAppendRoom(store, room);
  *room = kTempStoreAppendBlockSize - store->appended;
  return store->appendBlock + store->appended;
}
// Writes at the current position; bytes written or -1.
int WriteTempStore(TempJobStore* store, const void* bytes, DWORD length);
// Reads count bytes at the position, never past the size; bytes read or -1.
int ReadTempStore(TempJobStore* store, void* buffer, DWORD count);
// Moves to an offset from 0 to the size; the new position or -1.
int SeekTempStore(TempJobStore* store, DWORD offset);
// Moves to the file's end; the new position or -1.
int SeekTempStoreEnd(TempJobStore* store);
// The size (appended bytes included), or -1 when the store is not open and writable.
LONG GetTempStoreSize(const TempJobStore* store);
// Writes the appended bytes still waiting; 0, or -1 when the store is not open and writable or
// the write fails.
int FlushTempStore(TempJobStore* store);
// The write-failure box; its answer (IDCANCEL without a store).
int ShowTempWriteError(const TempJobStore* store);

// Takes the driver key text (at most 127 characters; a longer one is refused and the key
// kept); 0, or -1 without a text or when it is too long.
int SetTempRegistryKey(LPCWSTR text);
// Registers and unregisters a store file (its local creation time as the key's default value).
int RegisterTempFile(LPCWSTR path);
int UnregisterTempFile(LPCWSTR path);
// Replaces every backslash with a slash, in place.
void ToRegistryKeyName(LPWSTR path);
// Deletes the registered files that no job uses any more, with their registrations; 0 when
// the whole list was walked, -1 otherwise.
int CleanUpStaleTempFiles();
