#include "tools/spoolview/spool_stream.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "outside/drawlib/drawlib_stream.h"
#include "platform/base/byte_order.h"

SpoolScan ScanSpoolStream(std::span<const BYTE> bytes) {
  SpoolScan scan;
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t left = bytes.size() - at;
    if (left < kVrRecordHeadBytes || std::memcmp(bytes.data() + at, kVrRecordMarker, sizeof(kVrRecordMarker)) != 0) {
      // A marker cut off at the end counts as a truncated record, anything else as other bytes.
      if (left < kVrRecordHeadBytes && left >= 1 &&
          std::memcmp(bytes.data() + at, kVrRecordMarker, std::min(left, sizeof(kVrRecordMarker))) == 0) {
        scan.truncated = true;
        break;
      }
      ++scan.otherBytes;
      ++at;
      continue;
    }
    const BYTE slot = bytes[at + 3];
    const DWORD length = GetLE32(bytes.data() + at + 4);
    if (length > left - kVrRecordHeadBytes) {
      scan.truncated = true;
      break;
    }
    scan.records.push_back({slot, bytes.subspan(at + kVrRecordHeadBytes, length)});
    at += kVrRecordHeadBytes + length;
  }
  return scan;
}

std::span<const BYTE> PayloadReader::Bytes(size_t n) {
  if (failed_ || n > payload_.size() - at_) {
    failed_ = true;
    return {};
  }
  const std::span<const BYTE> part = payload_.subspan(at_, n);
  at_ += n;
  return part;
}

BYTE PayloadReader::U8() {
  const std::span<const BYTE> b = Bytes(1);
  return b.empty() ? 0 : b[0];
}

WORD PayloadReader::U16() {
  const std::span<const BYTE> b = Bytes(2);
  return b.empty() ? 0 : GetLE16(b.data());
}

DWORD PayloadReader::U32() {
  const std::span<const BYTE> b = Bytes(4);
  return b.empty() ? 0 : GetLE32(b.data());
}

float PayloadReader::F32() { return std::bit_cast<float>(U32()); }
