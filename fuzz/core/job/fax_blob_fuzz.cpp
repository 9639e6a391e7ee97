// A fax send list comes from printer data, side files and the job data escapes: checking it,
// reading its entries, building each destination's attribute line and monitor texts and
// filling a sheet's list from it must never read outside the bytes given.
#include <cstdint>
#include <vector>

#include "core/job/fax_job_lines.h"
#include "core/job/fax_list.h"
#include "core/job/monitor_job.h"
#include "platform/kernel/memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  const std::vector<BYTE> bytes(data, data + size);
  DWORD count = 0, blobSize = 0;
  BYTE* blob = LoadFaxDestinationList(nullptr, DWORD(bytes.size()), bytes.data(), &count, &blobSize);
  if (blob == nullptr) return 0;
  FaxListHeader header;
  if (!GetFaxListHeader(blob, blobSize, &header) || header.count != count) __builtin_trap();
  FaxDialData dial{};
  dial.firstPrefix[0] = u'9';
  for (DWORD i = 0; i <= count; ++i) {
    FaxDestination entry;
    if (GetFaxDestination(blob, blobSize, i, &entry) != (i < count ? 1 : 0)) __builtin_trap();
    if (i == count) break;
    for (int mode : {kFaxLinePlain, kFaxLineEncoded}) {
      char line[kFaxLineBufferSize];
      int length = 0;
      if (BuildFaxJobAttributes(mode, &entry, &dial, sizeof line, TRUE, line, &length) &&
          (length <= 0 || length > int(sizeof line)))
        __builtin_trap();
    }
    char name[kMonitorTextBytes], number[kMonitorTextBytes];
    BuildFaxMonitorTexts(nullptr, &entry, count, name, number);
  }
  FaxSendList list{};
  if (ReadFaxSendListBlob(&list, blob, blobSize) && KeyedListCount(list.destinations) != LONG(count)) __builtin_trap();
  ClearFaxSendList(&list);
  GlobalFree(blob);
  return 0;
}
