// Files and folders in the sandbox (see sandbox.h): creation with the platform's
// dispositions and sharing rules, reading, writing, seeking, deleting, moving, copying,
// folders, attributes, finding with wildcards, temporary files, the Windows and system
// folders, read-only file mapping, and failure injection by path.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/kernel/handles.h"  // CloseHandle
#include "platform/kernel/sync.h"

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define GENERIC_EXECUTE 0x20000000u
#define GENERIC_ALL 0x10000000u
#define DELETE 0x00010000L
#define FILE_READ_DATA 0x0001u
#define FILE_WRITE_DATA 0x0002u
#define FILE_APPEND_DATA 0x0004u
#define FILE_READ_ATTRIBUTES 0x0080u
#define FILE_WRITE_ATTRIBUTES 0x0100u

#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u
#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define FILE_FLAG_OVERLAPPED 0x40000000u
#define FILE_FLAG_NO_BUFFERING 0x20000000u
#define FILE_FLAG_RANDOM_ACCESS 0x10000000u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000u
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu
#define INVALID_FILE_SIZE 0xFFFFFFFFu
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu

#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2

#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_COPY_ALLOWED 0x00000002u

#define PAGE_READONLY 0x02u
#define PAGE_READWRITE 0x04u
#define PAGE_WRITECOPY 0x08u
#define FILE_MAP_COPY 0x0001u
#define FILE_MAP_WRITE 0x0002u
#define FILE_MAP_READ 0x0004u
#define FILE_MAP_ALL_ACCESS 0x000F001Fu

struct OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  DWORD Offset;
  DWORD OffsetHigh;
  HANDLE hEvent;
};
using LPOVERLAPPED = OVERLAPPED*;

struct WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  WCHAR cFileName[MAX_PATH];
  WCHAR cAlternateFileName[14];
};
using LPWIN32_FIND_DATAW = WIN32_FIND_DATAW*;
struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
};
using LPWIN32_FIND_DATAA = WIN32_FIND_DATAA*;
static_assert(sizeof(WIN32_FIND_DATAW) == 592 && sizeof(WIN32_FIND_DATAA) == 320);
static_assert(sizeof(OVERLAPPED) == 32);

// Sharing: an open conflicts with an earlier open of the same file when either wants read,
// write or delete access the other does not share (ERROR_SHARING_VIOLATION). Access 0
// (attributes only) never conflicts. A read-only file cannot be opened for writing or
// deleting (ERROR_ACCESS_DENIED); nor can a folder be opened. CREATE_ALWAYS and OPEN_ALWAYS
// set ERROR_ALREADY_EXISTS when the file was there. FILE_FLAG_DELETE_ON_CLOSE deletes the
// file when the last handle to it closes.
PLATFORM_API HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                                LPSECURITY_ATTRIBUTES security, DWORD creationDisposition,
                                DWORD flagsAndAttributes, HANDLE templateFile);
PLATFORM_API HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                                LPSECURITY_ATTRIBUTES security, DWORD creationDisposition,
                                DWORD flagsAndAttributes, HANDLE templateFile);
// With an OVERLAPPED the transfer happens at its offset (the handle stays synchronous).
PLATFORM_API BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped);
PLATFORM_API BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped);
// INVALID_SET_FILE_POINTER on failure (ERROR_NEGATIVE_SEEK before the start); when the new
// position's low part is that value, the last error is NO_ERROR.
PLATFORM_API DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod);
PLATFORM_API BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, LARGE_INTEGER* newPosition, DWORD moveMethod);
PLATFORM_API DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
PLATFORM_API BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size);
PLATFORM_API BOOL SetEndOfFile(HANDLE file);
PLATFORM_API BOOL FlushFileBuffers(HANDLE file);
// Only the last-write and last-access times are kept; the creation time answers the
// last-write time.
PLATFORM_API BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite);
PLATFORM_API BOOL SetFileTime(HANDLE file, const FILETIME* creation, const FILETIME* lastAccess, const FILETIME* lastWrite);

// An open file without FILE_SHARE_DELETE cannot be deleted or moved (ERROR_SHARING_VIOLATION);
// a mapped file cannot be deleted (ERROR_ACCESS_DENIED).
PLATFORM_API BOOL DeleteFileW(LPCWSTR fileName);
PLATFORM_API BOOL DeleteFileA(LPCSTR fileName);
PLATFORM_API BOOL MoveFileW(LPCWSTR existing, LPCWSTR newName);
PLATFORM_API BOOL MoveFileA(LPCSTR existing, LPCSTR newName);
PLATFORM_API BOOL MoveFileExW(LPCWSTR existing, LPCWSTR newName, DWORD flags);
PLATFORM_API BOOL CopyFileW(LPCWSTR existing, LPCWSTR newName, BOOL failIfExists);
PLATFORM_API BOOL CopyFileA(LPCSTR existing, LPCSTR newName, BOOL failIfExists);
PLATFORM_API BOOL CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES security);
PLATFORM_API BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES security);
PLATFORM_API BOOL RemoveDirectoryW(LPCWSTR pathName);
PLATFORM_API BOOL RemoveDirectoryA(LPCSTR pathName);
// Files answer FILE_ATTRIBUTE_ARCHIVE (plus READONLY), folders FILE_ATTRIBUTE_DIRECTORY.
// SetFileAttributesW keeps only the read-only attribute.
PLATFORM_API DWORD GetFileAttributesW(LPCWSTR fileName);
PLATFORM_API DWORD GetFileAttributesA(LPCSTR fileName);
PLATFORM_API BOOL SetFileAttributesW(LPCWSTR fileName, DWORD attributes);

// '*' matches any run of characters, '?' one character, a final ".*" also matches names
// without a dot; case-insensitive. Names come in upper-case order, "." and ".." first in
// folders other than a root. No match: ERROR_FILE_NOT_FOUND; no folder: ERROR_PATH_NOT_FOUND;
// the end: ERROR_NO_MORE_FILES.
PLATFORM_API HANDLE FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData);
PLATFORM_API HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData);
PLATFORM_API BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW findData);
PLATFORM_API BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA findData);
PLATFORM_API BOOL FindClose(HANDLE find);

// Folder queries answer the length written (terminator not counted), or, when the buffer is
// too small, the size needed with the terminator; 0 on failure.
PLATFORM_API DWORD GetTempPathW(DWORD bufferLength, LPWSTR buffer);
PLATFORM_API DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer);
PLATFORM_API UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size);
PLATFORM_API UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
PLATFORM_API UINT GetSystemDirectoryW(LPWSTR buffer, UINT size);
PLATFORM_API UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
PLATFORM_API DWORD GetFullPathNameW(LPCWSTR fileName, DWORD bufferLength, LPWSTR buffer, LPWSTR* filePart);
// The short form of an existing path: the path itself unless a test scripted another.
PLATFORM_API DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD bufferLength);
// "<dir>\<first three characters of prefix><hex number>.TMP". With unique 0 the layer picks
// a number whose file does not exist and creates the file; otherwise it only makes the name.
// A missing folder answers 0 with ERROR_DIRECTORY. The output must hold MAX_PATH characters.
PLATFORM_API UINT GetTempFileNameW(LPCWSTR pathName, LPCWSTR prefix, UINT unique, LPWSTR tempFileName);
PLATFORM_API UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName);

// Read-only mapping of a file (PAGE_READONLY / FILE_MAP_READ; other protections answer
// ERROR_INVALID_PARAMETER). A mapping of an empty file fails with ERROR_FILE_INVALID; view
// offsets must be multiples of 65536 (ERROR_MAPPED_ALIGNMENT); a view past the mapping's end
// fails with ERROR_ACCESS_DENIED. Views stay valid after the handles are closed.
PLATFORM_API HANDLE CreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES attributes, DWORD protect,
                                       DWORD maximumSizeHigh, DWORD maximumSizeLow, LPCWSTR name);
PLATFORM_API HANDLE CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES attributes, DWORD protect,
                                       DWORD maximumSizeHigh, DWORD maximumSizeLow, LPCSTR name);
PLATFORM_API LPVOID MapViewOfFile(HANDLE mapping, DWORD desiredAccess, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes);
PLATFORM_API BOOL UnmapViewOfFile(LPCVOID baseAddress);
