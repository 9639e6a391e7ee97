#include "platform/kernel/memory.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class Memory : public SandboxTest {};

TEST_F(Memory, FixedAndMovableGlobalBlocks) {
  int before = SimLiveGlobalBlocks();
  HGLOBAL fixed = GlobalAlloc(GPTR, 16);
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(GlobalLock(fixed), fixed);  // a fixed block's handle is its pointer
  EXPECT_EQ(static_cast<BYTE*>(fixed)[15], 0);
  EXPECT_EQ(GlobalSize(fixed), 16u);

  HGLOBAL movable = GlobalAlloc(GHND, 8);
  ASSERT_NE(movable, nullptr);
  EXPECT_EQ(SimLiveGlobalBlocks(), before + 2);
  BYTE* p = static_cast<BYTE*>(GlobalLock(movable));
  ASSERT_NE(p, nullptr);
  EXPECT_NE(static_cast<void*>(p), movable);
  EXPECT_EQ(GlobalHandle(p), movable);
  EXPECT_EQ(GlobalLock(movable), p);
  EXPECT_EQ(GlobalFlags(movable) & GMEM_LOCKCOUNT, 2u);
  std::memcpy(p, "abcdefgh", 8);
  EXPECT_TRUE(GlobalUnlock(movable));  // still locked once
  SetLastError(12345);
  EXPECT_FALSE(GlobalUnlock(movable));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
  EXPECT_FALSE(GlobalUnlock(movable));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));

  // Growing keeps the contents and zero-fills the new part.
  EXPECT_EQ(GlobalReAlloc(movable, 4096, GMEM_ZEROINIT), movable);
  p = static_cast<BYTE*>(GlobalLock(movable));
  EXPECT_EQ(std::memcmp(p, "abcdefgh", 8), 0);
  EXPECT_EQ(p[4095], 0);
  GlobalUnlock(movable);
  EXPECT_EQ(GlobalSize(movable), 4096u);

  // A fixed block grows only when it may move.
  EXPECT_EQ(GlobalReAlloc(fixed, 4096, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  HGLOBAL moved = GlobalReAlloc(fixed, 4096, GMEM_MOVEABLE);
  ASSERT_NE(moved, nullptr);

  EXPECT_EQ(GlobalFree(moved), nullptr);
  EXPECT_EQ(GlobalFree(movable), nullptr);
  EXPECT_EQ(SimLiveGlobalBlocks(), before);
}

TEST_F(Memory, BadHandlesGetThePlatformErrors) {
  int local = 0;
  HGLOBAL bogus = &local;
  EXPECT_EQ(GlobalFree(bogus), bogus);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
  EXPECT_EQ(GlobalLock(bogus), nullptr);
  EXPECT_EQ(GlobalSize(bogus), 0u);
  EXPECT_EQ(GlobalFlags(bogus), static_cast<UINT>(GMEM_INVALID_HANDLE));
  // A global block is not a local one.
  HGLOBAL g = GlobalAlloc(GMEM_FIXED, 4);
  EXPECT_EQ(LocalFree(g), g);
  EXPECT_EQ(GlobalFree(g), nullptr);
  // Freed blocks are gone.
  EXPECT_EQ(GlobalFree(g), g);
  EXPECT_EQ(HeapAlloc(bogus, 0, 4), nullptr);
  EXPECT_FALSE(HeapDestroy(bogus));
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, &local), static_cast<SIZE_T>(-1));
  EXPECT_FALSE(HeapFree(GetProcessHeap(), 0, &local));
}

TEST_F(Memory, LocalBlocksCountApart) {
  int globals = SimLiveGlobalBlocks();
  int locals = SimLiveLocalBlocks();
  HLOCAL a = LocalAlloc(LPTR, 10);
  HLOCAL b = LocalAlloc(LHND, 10);
  EXPECT_EQ(SimLiveLocalBlocks(), locals + 2);
  EXPECT_EQ(SimLiveGlobalBlocks(), globals);
  EXPECT_NE(LocalLock(b), nullptr);
  EXPECT_EQ(SimLockCount(b), 1);
  EXPECT_FALSE(LocalUnlock(b));
  EXPECT_EQ(LocalSize(a), 10u);
  EXPECT_EQ(LocalFree(a), nullptr);
  EXPECT_EQ(LocalFree(b), nullptr);
  EXPECT_EQ(SimLiveLocalBlocks(), locals);
}

TEST_F(Memory, PrivateHeapsFreeEverythingOnDestroy) {
  int heaps = SimLiveHeaps();
  int blocks = SimLiveHeapBlocks();
  HANDLE heap = HeapCreate(0, 8192, 0);
  ASSERT_NE(heap, nullptr);
  EXPECT_EQ(SimLiveHeaps(), heaps + 1);
  BYTE* a = static_cast<BYTE*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 100));
  void* b = HeapAlloc(heap, 0, 50);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a[99], 0);
  EXPECT_EQ(HeapSize(heap, 0, a), 100u);
  a = static_cast<BYTE*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, a, 200));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a[199], 0);
  EXPECT_EQ(SimLiveHeapBlocks(heap), 2);
  EXPECT_TRUE(HeapFree(heap, 0, b));
  EXPECT_FALSE(HeapFree(heap, 0, b));  // already freed
  EXPECT_FALSE(CloseHandle(heap));     // heaps are not closed with CloseHandle
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(HeapDestroy(heap));
  EXPECT_EQ(SimLiveHeaps(), heaps);
  EXPECT_EQ(SimLiveHeapBlocks(), blocks);
  EXPECT_FALSE(HeapDestroy(heap));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  // A heap with a maximum refuses to grow past it.
  HANDLE small = HeapCreate(0, 0, 64);
  EXPECT_NE(HeapAlloc(small, 0, 40), nullptr);
  EXPECT_EQ(HeapAlloc(small, 0, 40), nullptr);
  EXPECT_TRUE(HeapDestroy(small));
}

TEST_F(Memory, FailureInjection) {
  SimFailNthAllocation(2);
  HGLOBAL first = GlobalAlloc(GPTR, 4);
  EXPECT_NE(first, nullptr);
  SetLastError(0);
  EXPECT_EQ(LocalAlloc(LPTR, 4), nullptr);  // the second allocation of any allocator
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  HGLOBAL third = GlobalAlloc(GPTR, 4);
  EXPECT_NE(third, nullptr);
  SimFailAllocationsAbove(1000);
  EXPECT_EQ(HeapAlloc(GetProcessHeap(), 0, 1001), nullptr);
  void* fits = HeapAlloc(GetProcessHeap(), 0, 1000);
  EXPECT_NE(fits, nullptr);
  HeapFree(GetProcessHeap(), 0, fits);
  GlobalFree(first);
  GlobalFree(third);
}

}  // namespace
