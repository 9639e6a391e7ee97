#include "graphics/drawing/drawing_session.h"

#include <cstring>
#include <string>

#include "core/database/database.h"
#include "core/store/item_store.h"
#include "graphics/device/pdev.h"
#include "graphics/drawing/library_calls.h"
#include "graphics/drawing/parameter_blocks.h"
#include "graphics/output/driver_directory.h"
#include "graphics/output/output_channel.h"
#include "platform/base/byte_order.h"
#include "platform/base/text.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"

namespace {

constexpr WCHAR kLoadError[] = u"VRNSDecmp.DLL Load Error!";
constexpr WCHAR kNameMissing[] = u"VRNSDecmp.DLL Name missing Error!";
constexpr WCHAR kNameCaption[] = u"ddd_GetDLLName Error";

DebugMessageSink g_debugSink = nullptr;

// A new global string: the driver directory followed by the header text of the kind; NULL
// when either cannot be read.
LPWSTR GetDriverFilePath(HANDLE printer, WORD kind) {
  ItemStore* store = OpenItemStore(printer);
  if (store == nullptr) return nullptr;
  LPWSTR text = nullptr;
  if (ReadHeaderText(store->main, kind, &text) != kDbOk) text = nullptr;
  CloseItemStore(store);
  if (text == nullptr) return nullptr;
  LPWSTR directory = GetDriverDirectory(printer);
  LPWSTR path = nullptr;
  if (directory != nullptr) {
    const std::u16string joined = std::u16string(directory) + text;
    path = static_cast<LPWSTR>(GlobalAlloc(GPTR, (joined.size() + 1) * sizeof(WCHAR)));
    if (path != nullptr) std::memcpy(path, joined.c_str(), (joined.size() + 1) * sizeof(WCHAR));
    GlobalFree(directory);
  }
  GlobalFree(text);
  return path;
}

// The library's file from its name pattern: scanning back from the fourth character from the
// end (the last for short names), before the first character, the first "?" found followed
// by "S" or "s" makes that pair "zd"; any other character after it leaves the name unchanged.
void ApplyLibraryNamePattern(LPWSTR path) {
  const int length = static_cast<int>(lstrlenW(path));
  for (int i = length > 3 ? length - 4 : length - 1; i > 0; --i) {
    if (path[i] != u'?') continue;
    if (path[i + 1] == u'S' || path[i + 1] == u's') {
      path[i] = u'z';
      path[i + 1] = u'd';
    } else {
      ShowDebugMessage(nullptr, kNameMissing, kNameCaption, 0);
    }
    return;
  }
}

int CreateOutputBufferChain(OutputChannel* channel, DrawingLibrarySession* session) {
  auto* chain = static_cast<OutputBufferChain*>(AllocCounted(channel, sizeof(OutputBufferChain)));
  if (chain == nullptr) return -1;
  session->bufferChain = chain;
  chain->bufferSize = session->outputBufferSize;
  chain->first = static_cast<OutputBufferChunk*>(AllocCounted(channel, sizeof(OutputBufferChunk)));
  chain->small = static_cast<BYTE*>(AllocCounted(channel, 4));
  if (chain->first == nullptr || chain->small == nullptr) return -1;
  chain->first->data = session->outputBuffer;
  chain->first->size = session->outputBufferSize;
  chain->current = chain->first;
  return 0;
}

int FreeOutputBufferChain(OutputChannel* channel, DrawingLibrarySession* session) {
  OutputBufferChain* chain = session->bufferChain;
  if (chain == nullptr) return 0;
  FreeCounted(channel, chain->first);
  FreeCounted(channel, chain->small);
  FreeCounted(channel, chain);
  session->bufferChain = nullptr;
  return 0;
}

void FreeBlock(OutputChannel* channel, BYTE** block) {
  FreeCounted(channel, *block);
  *block = nullptr;
}

}  // namespace

void* AllocCounted(OutputChannel* channel, SIZE_T bytes) {
  if (channel == nullptr || bytes == 0) return nullptr;
  void* block = GlobalAlloc(GPTR, bytes);
  if (block != nullptr) ++channel->liveAllocations;
  return block;
}

void FreeCounted(OutputChannel* channel, void* block) {
  if (block == nullptr) return;
  if (channel != nullptr) --channel->liveAllocations;
  GlobalFree(block);
}

void ShowDebugMessage(HWND, LPCWSTR text, LPCWSTR caption, UINT) {
  if (g_debugSink != nullptr) g_debugSink(text, caption);
}

void SetDebugMessageSink(DebugMessageSink sink) { g_debugSink = sink; }

LONG RoundedMulDiv(LONG a, LONG b, LONG c) {
  if (c == 0) return 0;
  const LONG product = a * b;
  const LONG rest = product % c;
  return product / c + ((rest * 10) / c >= 5 ? 1 : 0);
}

void ScaleToResolution(LONG a, LONG b, LONG c, WORD* whole, float* exact) {
  *exact = static_cast<float>(a) * static_cast<float>(b) / static_cast<float>(c);
  *whole = static_cast<WORD>(RoundedMulDiv(a, b, c));
}

DrawingLibrarySession* GetChannelSession(OutputChannel* channel) {
  if (channel == nullptr || channel->session == nullptr) return nullptr;
  DrawingLibrarySession* session = channel->session;
  return session->functions != nullptr && session->library != nullptr ? session : nullptr;
}

int OpenLibrarySession(Pdev* pdev) {
  if (pdev == nullptr || pdev->channel == nullptr || !HasChannelTarget(pdev->channel)) return -1;
  OutputChannel* channel = pdev->channel;
  // A session left from an earlier document is closed before the new one starts.
  if (channel->session != nullptr) CloseLibrarySession(channel);
  channel->liveAllocations = 0;
  auto* session = static_cast<DrawingLibrarySession*>(AllocCounted(channel, sizeof(DrawingLibrarySession)));
  if (session == nullptr) return -1;
  channel->session = session;
  session->outputBufferSize = kSessionOutputBufferSize;
  session->outputBuffer = static_cast<BYTE*>(AllocCounted(channel, session->outputBufferSize));
  if (session->outputBuffer == nullptr) return -1;
  if (CreateOutputBufferChain(channel, session) != 0) return -1;
  session->pendingKind = kPendingNone;
  if (BuildJobParameterBlock(pdev, session) != 0 || BuildResourcePathBlock(pdev, session) != 0) return -1;
  if (BindDrawingLibrary(pdev) != 0) return -1;
  if (BuildColorParameterBlock(pdev, session) != 0 || BuildDeviceBlock(pdev, session) != 0 ||
      BuildDebugBlock(pdev, session) != 0)
    return -1;
  return InitializeLibrary(pdev);
}

int BindDrawingLibrary(Pdev* pdev) {
  if (pdev == nullptr || pdev->channel == nullptr || pdev->channel->session == nullptr) return -1;
  OutputChannel* channel = pdev->channel;
  LPWSTR path = GetDriverFilePath(pdev->printer, kHeaderTextDrawingLibrary);
  if (path == nullptr) {
    ShowDebugMessage(nullptr, kLoadError, kNameCaption, 0);
    return -1;
  }
  ApplyLibraryNamePattern(path);
  auto* table = static_cast<DrawingFunctionTable*>(AllocCounted(channel, sizeof(DrawingFunctionTable)));
  if (table == nullptr) {
    ShowDebugMessage(nullptr, kLoadError, u"CD_MALLOC Error", 0);
    GlobalFree(path);
    return -1;
  }
  table->module = LoadLibraryW(path);
  GlobalFree(path);
  if (table->module == nullptr) {
    ShowDebugMessage(nullptr, kLoadError, u"LoadLibrary Error", 0);
    FreeCounted(channel, table);
    return -1;
  }
  // All or nothing: one missing entry point releases the library.
  for (int slot = 1; slot <= kDrawingSlotCount; ++slot) {
    FARPROC address = GetProcAddress(table->module, kDrawingFunctionNames[slot - 1]);
    if (address == nullptr) {
      ShowDebugMessage(nullptr, kLoadError, u"GetProcAddress Error", 0);
      FreeLibrary(table->module);
      FreeCounted(channel, table);
      return -1;
    }
    std::memcpy(DrawingSlotAddress(table, slot), &address, sizeof(void*));
  }
  channel->session->functions = table;
  return 0;
}

int InitializeLibrary(Pdev* pdev) {
  if (pdev == nullptr || pdev->channel == nullptr) return -1;
  DrawingLibrarySession* session = pdev->channel->session;
  if (session == nullptr || session->functions == nullptr) return -1;
  LPWSTR dataPath = GetDriverFilePath(pdev->printer, kHeaderTextLibraryData);
  if (dataPath == nullptr) return -1;
  BYTE record[4 + kAnsiPathChars] = {};
  PutLE32(record, kLibraryDataPathRecordSize);
  const BOOL fits = CopyAnsiPath(dataPath, record + 4);
  GlobalFree(dataPath);
  if (!fits) return -1;
  session->library = session->functions->Initialize(session->deviceBlock, session->resourcePathBlock,
                                                    session->jobBlock, session->colorBlock, session->debugBlock,
                                                    record);
  return session->library != nullptr ? 0 : -1;
}

int FinalizeLibrary(OutputChannel* channel) {
  if (channel == nullptr || channel->session == nullptr) return 0;
  DrawingLibrarySession* session = channel->session;
  if (session->functions == nullptr || session->library == nullptr) return 0;
  if (channel->fill > 0 && channel->mode != kChannelClosed) FlushChannel(channel);
  return session->functions->Finalize(session->library);
}

int CloseLibrarySession(OutputChannel* channel) {
  if (channel == nullptr || channel->session == nullptr) return 0;
  DrawingLibrarySession* session = channel->session;
  int result = FinalizeLibrary(channel);
  session->library = nullptr;
  result |= FreeOutputBufferChain(channel, session);
  // An image still waiting for its data when the document ends is dropped with the session.
  DropPendingImage(channel, session);
  FreeBlock(channel, &session->colorBlock);
  FreeBlock(channel, &session->jobBlock);
  FreeBlock(channel, &session->resourcePathBlock);
  FreeBlock(channel, &session->deviceBlock);
  FreeBlock(channel, &session->jobHeaderBlock);
  FreeBlock(channel, &session->jobTrailerBlock);
  FreeBlock(channel, &session->debugBlock);
  FreeBlock(channel, &session->outputBuffer);
  if (session->functions != nullptr) {
    if (!FreeLibrary(session->functions->module)) result |= -1;
    FreeCounted(channel, session->functions);
    session->functions = nullptr;
  }
  FreeCounted(channel, session);
  channel->session = nullptr;
  if (channel->liveAllocations > 0) ShowDebugMessage(nullptr, u"Global Memoryが残ってる！！", u"Memory Error", 0);
  return result;
}
