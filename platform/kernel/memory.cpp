#include "platform/kernel/memory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/base/errors.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"

namespace {

enum class Allocator { Global, Local, Heap };

struct HeapObject;

struct Block {
  void* data;
  SIZE_T size;
  Allocator allocator;
  bool movable;
  int locks;
  HeapObject* heap;  // for heap blocks
};

struct HeapObject : KernelObject {
  HeapObject(SIZE_T max, bool process) : KernelObject(HandleKind::Heap), maximum(max), isProcessHeap(process) {}
  std::unordered_set<Block*> blocks;
  SIZE_T maximum;  // 0: growable
  SIZE_T used = 0;
  bool isProcessHeap;
};

struct MemoryState {
  std::recursive_mutex lock;
  std::unordered_map<void*, Block*> byPointer;
  std::unordered_map<void*, Block*> byHandle;  // movable blocks: the handle is the Block's address
  int live[3] = {0, 0, 0};
  int liveHeaps = 0;
  int failCountdown = 0;
  SIZE_T failAbove = 0;
  HANDLE processHeap = nullptr;
};

MemoryState& State() {
  static MemoryState state;
  return state;
}

void ResetMemoryControl() {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.failCountdown = 0;
  s.failAbove = 0;
}
const bool registered = (SimAddResetHook(&ResetMemoryControl), true);

// Answers TRUE when this allocation is to fail (failure injection).
bool AllocationFails(MemoryState& s, SIZE_T bytes) {
  if (s.failAbove != 0 && bytes > s.failAbove) return true;
  if (s.failCountdown > 0 && --s.failCountdown == 0) return true;
  return false;
}

Block* NewBlock(MemoryState& s, Allocator allocator, SIZE_T bytes, bool zero, bool movable, HeapObject* heap) {
  if (AllocationFails(s, bytes)) return nullptr;
  void* data = zero ? std::calloc(bytes == 0 ? 1 : bytes, 1) : std::malloc(bytes == 0 ? 1 : bytes);
  if (data == nullptr) return nullptr;
  Block* b = new Block{data, bytes, allocator, movable, 0, heap};
  s.byPointer[data] = b;
  if (movable) s.byHandle[b] = b;
  ++s.live[static_cast<int>(allocator)];
  return b;
}

void DeleteBlock(MemoryState& s, Block* b) {
  s.byPointer.erase(b->data);
  if (b->movable) s.byHandle.erase(b);
  --s.live[static_cast<int>(b->allocator)];
  std::free(b->data);
  delete b;
}

// Resizes a block's data; `mayMove` allows a new address. Answers FALSE when it cannot.
bool ResizeBlock(MemoryState& s, Block* b, SIZE_T bytes, bool zero, bool mayMove) {
  if (AllocationFails(s, bytes)) return false;
  if (bytes > b->size && !mayMove) return false;
  if (bytes <= b->size && !mayMove) {
    b->size = bytes;
    return true;
  }
  void* data = std::realloc(b->data, bytes == 0 ? 1 : bytes);
  if (data == nullptr) return false;
  if (zero && bytes > b->size) std::memset(static_cast<BYTE*>(data) + b->size, 0, bytes - b->size);
  s.byPointer.erase(b->data);
  b->data = data;
  b->size = bytes;
  s.byPointer[data] = b;
  return true;
}

// Finds a global or local block by handle (movable) or pointer (fixed).
Block* FindBlock(MemoryState& s, HANDLE mem, Allocator allocator) {
  auto h = s.byHandle.find(mem);
  if (h != s.byHandle.end() && h->second->allocator == allocator) return h->second;
  auto p = s.byPointer.find(mem);
  if (p != s.byPointer.end() && p->second->allocator == allocator && !p->second->movable) return p->second;
  return nullptr;
}

HANDLE HandleOf(Block* b) { return b->movable ? static_cast<HANDLE>(b) : b->data; }

// Opens a call on a global or local block: takes the memory lock into `guard` and finds the
// block by handle (movable) or pointer (fixed); NULL with ERROR_INVALID_HANDLE when the
// handle is none of this allocator's.
Block* StartBlockCall(std::unique_lock<std::recursive_mutex>& guard, Allocator allocator, HANDLE mem) {
  MemoryState& s = State();
  guard = std::unique_lock<std::recursive_mutex>(s.lock);
  Block* b = FindBlock(s, mem, allocator);
  if (b == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return b;
}

HANDLE AllocateBlock(Allocator allocator, UINT flags, SIZE_T bytes) {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  Block* b = NewBlock(s, allocator, bytes, (flags & GMEM_ZEROINIT) != 0, (flags & GMEM_MOVEABLE) != 0, nullptr);
  if (b == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return HandleOf(b);
}

HANDLE ReAllocateBlock(Allocator allocator, HANDLE mem, SIZE_T bytes, UINT flags) {
  std::unique_lock<std::recursive_mutex> guard;
  Block* b = StartBlockCall(guard, allocator, mem);
  if (b == nullptr) return nullptr;
  if ((flags & GMEM_MODIFY) != 0) {
    // Only turning a fixed block into a movable one changes anything here.
    if ((flags & GMEM_MOVEABLE) != 0 && !b->movable) {
      b->movable = true;
      State().byHandle[b] = b;
    }
    return HandleOf(b);
  }
  // A fixed or locked block moves only when the caller allows it.
  bool mayMove = (b->movable && b->locks == 0) || (flags & GMEM_MOVEABLE) != 0;
  if (!ResizeBlock(State(), b, bytes, (flags & GMEM_ZEROINIT) != 0, mayMove)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return HandleOf(b);
}

HANDLE FreeBlock(Allocator allocator, HANDLE mem) {
  if (mem == nullptr) return nullptr;
  std::unique_lock<std::recursive_mutex> guard;
  Block* b = StartBlockCall(guard, allocator, mem);
  if (b == nullptr) return mem;
  DeleteBlock(State(), b);
  return nullptr;
}

LPVOID LockBlock(Allocator allocator, HANDLE mem) {
  std::unique_lock<std::recursive_mutex> guard;
  Block* b = StartBlockCall(guard, allocator, mem);
  if (b == nullptr) return nullptr;
  if (b->movable && b->locks < GMEM_LOCKCOUNT) ++b->locks;
  return b->data;
}

BOOL UnlockBlock(Allocator allocator, HANDLE mem) {
  std::unique_lock<std::recursive_mutex> guard;
  Block* b = StartBlockCall(guard, allocator, mem);
  if (b == nullptr) return FALSE;
  if (!b->movable) return TRUE;
  if (b->locks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--b->locks > 0) return TRUE;
  SetLastError(NO_ERROR);
  return FALSE;
}

SIZE_T BlockSize(Allocator allocator, HANDLE mem) {
  std::unique_lock<std::recursive_mutex> guard;
  Block* b = StartBlockCall(guard, allocator, mem);
  if (b == nullptr) return 0;
  return b->size;
}

UINT BlockFlags(Allocator allocator, HANDLE mem) {
  std::unique_lock<std::recursive_mutex> guard;
  Block* b = StartBlockCall(guard, allocator, mem);
  if (b == nullptr) return GMEM_INVALID_HANDLE;
  return static_cast<UINT>(b->locks);
}

HANDLE BlockHandle(Allocator allocator, LPCVOID p) {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  auto found = s.byPointer.find(const_cast<void*>(p));
  if (found == s.byPointer.end() || found->second->allocator != allocator) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return HandleOf(found->second);
}

std::shared_ptr<HeapObject> FindHeap(HANDLE heap) { return HandleGet<HeapObject>(heap, HandleKind::Heap); }

// A heap block by pointer, or NULL when the pointer is not a block of that heap.
Block* FindHeapBlock(MemoryState& s, HeapObject& heap, LPCVOID p) {
  auto found = s.byPointer.find(const_cast<void*>(p));
  if (found == s.byPointer.end() || found->second->heap != &heap) return nullptr;
  return found->second;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) { return AllocateBlock(Allocator::Global, flags, bytes); }
HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags) { return ReAllocateBlock(Allocator::Global, mem, bytes, flags); }
HGLOBAL GlobalFree(HGLOBAL mem) { return FreeBlock(Allocator::Global, mem); }
LPVOID GlobalLock(HGLOBAL mem) { return LockBlock(Allocator::Global, mem); }
BOOL GlobalUnlock(HGLOBAL mem) { return UnlockBlock(Allocator::Global, mem); }
SIZE_T GlobalSize(HGLOBAL mem) { return BlockSize(Allocator::Global, mem); }
UINT GlobalFlags(HGLOBAL mem) { return BlockFlags(Allocator::Global, mem); }
HGLOBAL GlobalHandle(LPCVOID p) { return BlockHandle(Allocator::Global, p); }

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) { return AllocateBlock(Allocator::Local, flags, bytes); }
HLOCAL LocalReAlloc(HLOCAL mem, SIZE_T bytes, UINT flags) { return ReAllocateBlock(Allocator::Local, mem, bytes, flags); }
HLOCAL LocalFree(HLOCAL mem) { return FreeBlock(Allocator::Local, mem); }
LPVOID LocalLock(HLOCAL mem) { return LockBlock(Allocator::Local, mem); }
BOOL LocalUnlock(HLOCAL mem) { return UnlockBlock(Allocator::Local, mem); }
SIZE_T LocalSize(HLOCAL mem) { return BlockSize(Allocator::Local, mem); }
UINT LocalFlags(HLOCAL mem) { return BlockFlags(Allocator::Local, mem); }
HLOCAL LocalHandle(LPCVOID p) { return BlockHandle(Allocator::Local, p); }

HANDLE HeapCreate(DWORD, SIZE_T, SIZE_T maximumSize) {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  if (AllocationFails(s, 0)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  ++s.liveHeaps;
  return HandleInsert(std::make_shared<HeapObject>(maximumSize, false));
}

HANDLE GetProcessHeap() {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  if (s.processHeap == nullptr) s.processHeap = HandleInsert(std::make_shared<HeapObject>(0, true));
  return s.processHeap;
}

BOOL HeapDestroy(HANDLE heap) {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  std::shared_ptr<HeapObject> h = FindHeap(heap);
  if (h == nullptr) return FALSE;
  if (h->isProcessHeap) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (Block* b : h->blocks) DeleteBlock(s, b);
  h->blocks.clear();
  --s.liveHeaps;
  return HandleRemove(heap, HandleKind::Heap);
}

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  std::shared_ptr<HeapObject> h = FindHeap(heap);
  if (h == nullptr) return nullptr;
  if (h->maximum != 0 && h->used + bytes > h->maximum) return nullptr;
  Block* b = NewBlock(s, Allocator::Heap, bytes, (flags & HEAP_ZERO_MEMORY) != 0, false, h.get());
  if (b == nullptr) return nullptr;
  h->blocks.insert(b);
  h->used += bytes;
  return b->data;
}

LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID p, SIZE_T bytes) {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  std::shared_ptr<HeapObject> h = FindHeap(heap);
  if (h == nullptr) return nullptr;
  Block* b = FindHeapBlock(s, *h, p);
  if (b == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (h->maximum != 0 && h->used - b->size + bytes > h->maximum) return nullptr;
  SIZE_T before = b->size;
  if (!ResizeBlock(s, b, bytes, (flags & HEAP_ZERO_MEMORY) != 0, (flags & HEAP_REALLOC_IN_PLACE_ONLY) == 0))
    return nullptr;
  h->used = h->used - before + bytes;
  return b->data;
}

BOOL HeapFree(HANDLE heap, DWORD, LPVOID p) {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  std::shared_ptr<HeapObject> h = FindHeap(heap);
  if (h == nullptr) return FALSE;
  if (p == nullptr) return TRUE;
  Block* b = FindHeapBlock(s, *h, p);
  if (b == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  h->used -= b->size;
  h->blocks.erase(b);
  DeleteBlock(s, b);
  return TRUE;
}

SIZE_T HeapSize(HANDLE heap, DWORD, LPCVOID p) {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  std::shared_ptr<HeapObject> h = FindHeap(heap);
  Block* b = h != nullptr ? FindHeapBlock(s, *h, p) : nullptr;
  if (b == nullptr) {
    SetLastError(h == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return static_cast<SIZE_T>(-1);
  }
  return b->size;
}

int SimLiveGlobalBlocks() {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return s.live[static_cast<int>(Allocator::Global)];
}

int SimLiveLocalBlocks() {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return s.live[static_cast<int>(Allocator::Local)];
}

int SimLiveHeapBlocks(HANDLE heap) {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  if (heap == nullptr) return s.live[static_cast<int>(Allocator::Heap)];
  std::shared_ptr<HeapObject> h = FindHeap(heap);
  return h == nullptr ? 0 : static_cast<int>(h->blocks.size());
}

int SimLiveHeaps() {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return s.liveHeaps;
}

int SimLockCount(HANDLE mem) {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  auto found = s.byHandle.find(mem);
  return found == s.byHandle.end() ? 0 : found->second->locks;
}

void SimFailNthAllocation(int n) {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.failCountdown = n > 0 ? n : 0;
}

bool SimAllocationFailurePending() {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return s.failCountdown > 0;
}

void SimFailAllocationsAbove(SIZE_T bytes) {
  MemoryState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.failAbove = bytes;
}
