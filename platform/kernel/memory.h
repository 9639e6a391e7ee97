// Memory: the global and local allocators (fixed and movable blocks), private heaps, and
// the test control over them (live-block counters, failure injection).
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_NOCOMPACT 0x0010
#define GMEM_NODISCARD 0x0020
#define GMEM_ZEROINIT 0x0040
#define GMEM_MODIFY 0x0080
#define GMEM_DISCARDABLE 0x0100
#define GMEM_SHARE 0x2000
#define GMEM_DDESHARE 0x2000
#define GMEM_INVALID_HANDLE 0x8000
#define GMEM_LOCKCOUNT 0x00FF
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)

#define LMEM_FIXED 0x0000
#define LMEM_MOVEABLE 0x0002
#define LMEM_NOCOMPACT 0x0010
#define LMEM_NODISCARD 0x0020
#define LMEM_ZEROINIT 0x0040
#define LMEM_MODIFY 0x0080
#define LMEM_DISCARDABLE 0x0F00
#define LMEM_INVALID_HANDLE 0x8000
#define LMEM_LOCKCOUNT 0x00FF
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)
#define LHND (LMEM_MOVEABLE | LMEM_ZEROINIT)

#define HEAP_NO_SERIALIZE 0x00000001
#define HEAP_GROWABLE 0x00000002
#define HEAP_GENERATE_EXCEPTIONS 0x00000004
#define HEAP_ZERO_MEMORY 0x00000008
#define HEAP_REALLOC_IN_PLACE_ONLY 0x00000010

// Global blocks. A fixed block's handle is its pointer; a movable block's handle is not a
// pointer and must be locked. GlobalFree answers NULL on success and the handle on failure.
PLATFORM_API HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
PLATFORM_API HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags);
PLATFORM_API HGLOBAL GlobalFree(HGLOBAL mem);
PLATFORM_API LPVOID GlobalLock(HGLOBAL mem);
// Non-zero while the block stays locked; FALSE with NO_ERROR when the last lock goes,
// FALSE with ERROR_NOT_LOCKED for a block that was not locked.
PLATFORM_API BOOL GlobalUnlock(HGLOBAL mem);
PLATFORM_API SIZE_T GlobalSize(HGLOBAL mem);
PLATFORM_API UINT GlobalFlags(HGLOBAL mem);
PLATFORM_API HGLOBAL GlobalHandle(LPCVOID p);

PLATFORM_API HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
PLATFORM_API HLOCAL LocalReAlloc(HLOCAL mem, SIZE_T bytes, UINT flags);
PLATFORM_API HLOCAL LocalFree(HLOCAL mem);
PLATFORM_API LPVOID LocalLock(HLOCAL mem);
PLATFORM_API BOOL LocalUnlock(HLOCAL mem);
PLATFORM_API SIZE_T LocalSize(HLOCAL mem);
PLATFORM_API UINT LocalFlags(HLOCAL mem);
PLATFORM_API HLOCAL LocalHandle(LPCVOID p);

// Private heaps. maximumSize 0 makes a growable heap; otherwise allocations beyond it fail.
// HeapDestroy frees every block still in the heap. HeapSize answers (SIZE_T)-1 on failure.
PLATFORM_API HANDLE HeapCreate(DWORD options, SIZE_T initialSize, SIZE_T maximumSize);
PLATFORM_API BOOL HeapDestroy(HANDLE heap);
PLATFORM_API LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
PLATFORM_API LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID p, SIZE_T bytes);
PLATFORM_API BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID p);
PLATFORM_API SIZE_T HeapSize(HANDLE heap, DWORD flags, LPCVOID p);
// The process heap: always there, never destroyed.
PLATFORM_API HANDLE GetProcessHeap();
