// Fuzz target: replaying a stored page of the temporary job store into the stand-in drawing
// library, display-list commands up to each record, then the record, as the end of a job does.
// Input: byte 0 picks the chunk size (4 to 67 bytes), bytes 1-12 the page's index entry (u32
// start, end and first-record offset, little-endian), the rest is the store file.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "graphics/drawing/command_replayer.h"
#include "graphics/drawing/drawing_session.h"
#include "graphics/drawing/library_calls.h"
#include "graphics/output/job_store_pages.h"
#include "graphics/output/output_channel.h"
#include "platform/base/byte_order.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/platform.h"

namespace {

using ResetProc = void (*)();

// The stand-in library bound once, as the session binds it.
struct BoundLibrary {
  DrawingFunctionTable table{};
  ResetProc reset = nullptr;
};

const BoundLibrary& Library() {
  static const BoundLibrary bound = [] {
    BoundLibrary b;
    const char* driver = std::getenv("QV_DRIVER_DIR");
    SimInstallDriverFiles(driver != nullptr ? driver : QV_DRIVER_DIR);
    b.table.module = LoadLibraryW(u"qvdrawzd.dll");
    if (b.table.module == nullptr) std::abort();
    for (int slot = 1; slot <= kDrawingSlotCount; ++slot) {
      FARPROC address = GetProcAddress(b.table.module, kDrawingFunctionNames[slot - 1]);
      if (address == nullptr) std::abort();
      *DrawingSlotAddress(&b.table, slot) = reinterpret_cast<void*>(address);
    }
    b.reset = reinterpret_cast<ResetProc>(GetProcAddress(b.table.module, "SimDrawReset"));
    if (b.reset == nullptr) std::abort();
    return b;
  }();
  return bound;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 13) return 0;
  const BoundLibrary& library = Library();
  library.reset();
  static DrawingFunctionTable table = library.table;
  static std::vector<BYTE> zeros(0x4000);
  OutputChannel* channel = CreateChannel(nullptr);
  if (channel == nullptr) return 0;
  DrawingLibrarySession session{};
  session.functions = &table;
  session.colorBlock = zeros.data();
  BYTE* z = zeros.data();
  session.library = table.Initialize(z, z, z, z, z, z);
  channel->session = &session;
  if (OpenChannelStore(channel, 0, kPageRecordBytes, kStoredPageTableStep) == 0 &&
      WriteTempStore(&channel->store, data + 13, static_cast<DWORD>(size - 13)) >= 0) {
    const PageIndexEntry entry{GetLE32(data + 1), GetLE32(data + 5), GetLE32(data + 9)};
    PutArrayElement(&channel->pageIndex, 0, &entry);
    channel->pageCount = 1;
    if (PositionStoredPage(channel, 0) == 0) {
      const DWORD chunk = 4 + data[0] % 64;
      std::vector<BYTE> buffer(chunk);
      std::vector<BYTE> payload(0x10000);
      for (int records = 0; records < 10000; ++records) {
        if (ReplayCommands(channel, chunk, buffer.data()) != kReplayDone) break;
        StoredRecordHeader header{};
        if (ReadStoredRecordHeader(channel, &header) != 0) break;
        if (ReadStoredRecordData(channel, header.length, payload.data()) < 0) break;
      }
    }
  }
  // Nothing of a replay may stay allocated, a waiting image included.
  if (session.pendingHeader != nullptr) DropPendingImage(channel, &session);
  if (channel->liveAllocations != 0) std::abort();
  if (session.library != nullptr) table.Finalize(session.library);
  channel->session = nullptr;
  ResetChannelStore(channel);
  DestroyChannel(channel);
  return 0;
}
