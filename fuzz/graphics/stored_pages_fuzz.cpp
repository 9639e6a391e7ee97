// Fuzz target: reading a stored page of the temporary job store back, display-list bytes up to
// each record, the record headers and their payloads. Input: the page's index entry (u32
// start, end and first-record offset, little-endian) followed by the store file's bytes.
#include <cstdint>
#include <vector>

#include "graphics/output/job_store_pages.h"
#include "graphics/output/output_channel.h"
#include "platform/base/byte_order.h"
#include "platform/kernel/kernel_sim.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 12) return 0;
  OutputChannel* channel = CreateChannel(nullptr);
  if (channel == nullptr) return 0;
  if (OpenChannelStore(channel, 0, kPageRecordBytes, kStoredPageTableStep) == 0 &&
      WriteTempStore(&channel->store, data + 12, static_cast<DWORD>(size - 12)) >= 0) {
    const PageIndexEntry entry{GetLE32(data), GetLE32(data + 4), GetLE32(data + 8)};
    PutArrayElement(&channel->pageIndex, 0, &entry);
    channel->pageCount = 1;
    if (PositionStoredPage(channel, 0) == 0) {
      std::vector<BYTE> chunk(64);
      std::vector<BYTE> payload(0x10000);
      for (int steps = 0; steps < 100000; ++steps) {
        const int n = ReadChannelChunk(channel, static_cast<DWORD>(chunk.size()), chunk.data());
        if (n > 0) continue;
        if (n < 0) break;
        StoredRecordHeader header{};
        if (ReadStoredRecordHeader(channel, &header) != 0) break;
        if (ReadStoredRecordData(channel, header.length, payload.data()) < 0) break;
      }
    }
  }
  DestroyChannel(channel);
  return 0;
}
