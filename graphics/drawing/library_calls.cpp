#include "graphics/drawing/library_calls.h"

#include <cstring>

#include "graphics/output/output_channel.h"

namespace {

// The bound library of a channel, with the channel's waiting bytes flushed ahead of the call.
struct Link {
  DrawingFunctionTable* fn = nullptr;
  VrHandle h = nullptr;
};

bool Connect(OutputChannel* channel, Link* link) {
  DrawingLibrarySession* session = GetChannelSession(channel);
  if (session == nullptr) return false;
  if (channel->fill > 0 && channel->mode != kChannelClosed && FlushChannel(channel) != 0) return false;
  link->fn = session->functions;
  link->h = session->library;
  return true;
}

// A counted block freed when the call is done.
class CountedBlock {
 public:
  CountedBlock(OutputChannel* channel, SIZE_T bytes)
      : channel_(channel), data_(static_cast<BYTE*>(AllocCounted(channel, bytes))) {}
  ~CountedBlock() { FreeCounted(channel_, data_); }
  CountedBlock(const CountedBlock&) = delete;
  CountedBlock& operator=(const CountedBlock&) = delete;
  BYTE* data() const { return data_; }

 private:
  OutputChannel* channel_;
  BYTE* data_;
};

bool IsColorSpace(BYTE space) { return space == kDlColorGrey || space == kDlColorRgb; }

// Unpacks 0xRRGGBB into the colour bytes of the space (one grey byte, or red, green, blue).
void UnpackColor(BYTE space, DWORD color, BYTE* out) {
  if (space == kDlColorGrey) {
    out[0] = static_cast<BYTE>(color);
  } else {
    out[0] = static_cast<BYTE>(color >> 16);
    out[1] = static_cast<BYTE>(color >> 8);
    out[2] = static_cast<BYTE>(color);
  }
}

void ClearPending(DrawingLibrarySession* session) {
  session->pendingKind = kPendingNone;
  session->pendingExpected = 0;
  session->pendingReceived = 0;
}

}  // namespace

bool ConnectLibrary(OutputChannel* channel, DrawingFunctionTable** functions, VrHandle* library) {
  Link l;
  if (!Connect(channel, &l)) return false;
  *functions = l.fn;
  *library = l.h;
  return true;
}

int CallSetRectangleClip(OutputChannel* channel, LONG x0, LONG y0, LONG x1, LONG y1) {
  Link l;
  if (!Connect(channel, &l)) return -1;
  CountedBlock first(channel, 8), second(channel, 8);
  if (first.data() == nullptr || second.data() == nullptr) return -1;
  const LONG a[2] = {x0, y0}, b[2] = {x1, y1};
  std::memcpy(first.data(), a, 8);
  std::memcpy(second.data(), b, 8);
  return l.fn->SetRectangleClip(l.h, 1, reinterpret_cast<const LONG*>(first.data()),
                                reinterpret_cast<const LONG*>(second.data()));
}

int CallClipPath(OutputChannel* channel) {
  Link l;
  return Connect(channel, &l) ? l.fn->ClipPath(l.h, 2) : -1;
}

int CallSetLineType(OutputChannel* channel, WORD kind, float offset, WORD count, const float* dashes) {
  Link l;
  return Connect(channel, &l) ? l.fn->SetLineType(l.h, kind, offset, count, count == 0 ? nullptr : dashes) : -1;
}

int CallSetSolidColor(OutputChannel* channel, WORD kind, BYTE colorSpace, DWORD color) {
  if (!IsColorSpace(colorSpace)) return -1;
  Link l;
  if (!Connect(channel, &l)) return -1;
  CountedBlock bytes(channel, 4);
  if (bytes.data() == nullptr) return -1;
  UnpackColor(colorSpace, color, bytes.data());
  return l.fn->SetSolidColor(l.h, kind, colorSpace, bytes.data());
}

int CallSetHatchPattern(OutputChannel* channel, LONG x, LONG y, WORD style, BYTE colorSpace, BYTE pattern,
                        DWORD color, const SecondaryColor& second) {
  if (!IsColorSpace(colorSpace) || !IsColorSpace(second.colorSpace)) return -1;
  Link l;
  if (!Connect(channel, &l)) return -1;
  CountedBlock color1(channel, 4), color2(channel, 4);
  if (color1.data() == nullptr || color2.data() == nullptr) return -1;
  UnpackColor(colorSpace, color, color1.data());
  UnpackColor(second.colorSpace, second.color, color2.data());
  const LONG point[2] = {static_cast<SHORT>(x), static_cast<SHORT>(y)};
  return l.fn->SetHatchPattern(l.h, point, style, colorSpace, second.colorSpace, pattern >> 4, color1.data(),
                               color2.data(), second.background, static_cast<BYTE>(pattern & 0x0F));
}

int CallSetMaskPattern(OutputChannel* channel, LONG x, LONG y, WORD kind, BYTE colorSpace, DWORD color,
                       const SecondaryColor& second, WORD width, WORD height, const BYTE* bits) {
  if (!IsColorSpace(colorSpace) || !IsColorSpace(second.colorSpace)) return -1;
  Link l;
  if (!Connect(channel, &l)) return -1;
  CountedBlock color1(channel, 4), color2(channel, 4);
  if (color1.data() == nullptr || color2.data() == nullptr) return -1;
  UnpackColor(colorSpace, color, color1.data());
  UnpackColor(second.colorSpace, second.color, color2.data());
  const LONG point[2] = {static_cast<SHORT>(x), static_cast<SHORT>(y)};
  return l.fn->SetMaskPattern(l.h, point, kind, colorSpace, second.colorSpace, 1, color1.data(), color2.data(),
                              second.background, width, height, bits);
}

int CallSetRasterPattern(OutputChannel* channel, LONG x, LONG y, WORD kind, WORD colorSpace, WORD bits, WORD width,
                         WORD height, DWORD length, const BYTE* data) {
  Link l;
  if (!Connect(channel, &l)) return -1;
  const LONG point[2] = {static_cast<SHORT>(x), static_cast<SHORT>(y)};
  return l.fn->SetRasterPattern(l.h, point, kind, colorSpace, bits, width, height, 1, length & 0xFFFF, data);
}

int CallSetGraphicsMode(OutputChannel* channel, WORD second, WORD first) {
  Link l;
  return Connect(channel, &l) ? l.fn->SetGraphicsMode(l.h, second, first) : -1;
}

int CallAddLinePath(OutputChannel* channel, WORD count, const float* points) {
  Link l;
  return Connect(channel, &l) ? l.fn->AddLinePath(l.h, count, points) : -1;
}

int CallAddBezierPath(OutputChannel* channel, WORD count, const float* points) {
  Link l;
  return Connect(channel, &l) ? l.fn->AddBezierPath(l.h, count, points) : -1;
}

int CallDrawLine(OutputChannel* channel, WORD count, const float* values) {
  Link l;
  return Connect(channel, &l) ? l.fn->DrawLine(l.h, count, values) : -1;
}

int CallDrawRectangle(OutputChannel* channel, float x0, float y0, float x1, float y1) {
  Link l;
  return Connect(channel, &l) ? l.fn->DrawRectangle(l.h, x0, y0, x1, y1, 1) : -1;
}

int CallDrawBezier(OutputChannel* channel, WORD count, float x, float y, const float* points) {
  Link l;
  return Connect(channel, &l) ? l.fn->DrawBezier(l.h, count, x, y, points) : -1;
}

int CallDrawDataFont(OutputChannel* channel, float x, float y, DWORD value, const BYTE* record) {
  Link l;
  return Connect(channel, &l) ? l.fn->DrawDataFont(l.h, x, y, value, record) : -1;
}

int CallSetPatternResolution(OutputChannel* channel, WORD resolution) {
  Link l;
  return Connect(channel, &l) ? l.fn->SetPatternResolution(l.h, resolution) : -1;
}

int CallEndPage(OutputChannel* channel) {
  Link l;
  if (!Connect(channel, &l)) return -1;
  GetChannelSession(channel)->libraryPageOpen = 0;
  return l.fn->EndPage(l.h, nullptr);
}

int EndOpenLibraryPage(OutputChannel* channel) {
  const DrawingLibrarySession* session = GetChannelSession(channel);
  if (session == nullptr || !session->libraryPageOpen) return 0;
  return CallEndPage(channel) == 0 ? 0 : -1;
}

int SendLibraryJobHeader(OutputChannel* channel, const BYTE* block, JobBlockKind kind) {
  Link l;
  if (!Connect(channel, &l)) return -1;
  const int result = kind == JobBlockKind::kHeader ? l.fn->SendJobHeader(l.h, block) : l.fn->SendJobTrailer(l.h, block);
  return result == -1 ? -1 : 0;
}

int StartLibraryJob(OutputChannel* channel, WORD jobMode, WORD a, WORD b) {
  Link l;
  if (!Connect(channel, &l)) return -1;
  const int result = l.fn->StartJob(l.h, jobMode);
  if (result != 0) return result;
  return l.fn->SetRasterSmoothingMode(l.h, a, b);
}

int StartLibraryPage(OutputChannel* channel, const BYTE* pageBlock, const BYTE* resourcePathBlock,
                     const BYTE* pageSizeBlock) {
  Link l;
  if (!Connect(channel, &l)) return -1;
  if (l.fn->StartPage(l.h, pageSizeBlock, resourcePathBlock, pageBlock) == -1) return -1;
  GetChannelSession(channel)->libraryPageOpen = 1;
  return l.fn->SetColorParameter(l.h, channel->session->colorBlock) == -1 ? -1 : 0;
}

void DropPendingImage(OutputChannel* channel, DrawingLibrarySession* session) {
  if (session->pendingHeader != nullptr) FreeCounted(channel, session->pendingHeader->table);
  FreeCounted(channel, session->pendingHeader);
  FreeCounted(channel, session->pendingData);
  session->pendingHeader = nullptr;
  session->pendingData = nullptr;
  ClearPending(session);
}

namespace {

int DrawPendingMask(const Link& l, const PendingImageRecord& r, const BYTE* data) {
  const float* m = r.matrix;
  return l.fn->DrawImageMask(l.h, r.x, r.y, m[0], m[1], m[2], m[3], m[4], m[5], r.width, r.height, r.maskFlag,
                             r.imageLength, data);
}

int DrawPendingImage(const Link& l, const PendingImageRecord& r, const BYTE* table, const BYTE* mask,
                     const BYTE* image) {
  const float* m = r.matrix;
  return l.fn->DrawImage(l.h, r.x, r.y, m[0], m[1], m[2], m[3], m[4], m[5], r.width, r.height, r.maskFlag,
                         r.maskByteFlag, r.maskLength, r.sourceFlag, r.colorFormat, r.entrySize, r.entryCount,
                         r.tableLength, table, r.tail[0], r.tail[1], r.tail[2], r.imageLength, mask, image, nullptr);
}

}  // namespace

int CallDrawImageMask(OutputChannel* channel, const ImageMaskHeader& header) {
  Link l;
  if (!Connect(channel, &l)) return -1;
  DrawingLibrarySession* session = channel->session;
  // A new image while another waits for its data: the waiting one is dropped.
  if (session->pendingKind != kPendingNone || session->pendingHeader != nullptr) DropPendingImage(channel, session);
  auto* record = static_cast<PendingImageRecord*>(AllocCounted(channel, sizeof(PendingImageRecord)));
  if (record == nullptr) return -1;
  record->x = header.x;
  record->y = header.y;
  std::memcpy(record->matrix, header.matrix, sizeof(record->matrix));
  record->width = header.width;
  record->height = header.height;
  record->maskFlag = header.polarity != 0 ? 1 : 0;
  record->imageLength = header.dataLength;
  if (header.dataLength == 0) {
    const int result = DrawPendingMask(l, *record, nullptr);
    FreeCounted(channel, record);
    return result;
  }
  session->pendingHeader = record;
  session->pendingData = static_cast<BYTE*>(AllocCounted(channel, header.dataLength));
  if (session->pendingData == nullptr) {
    DropPendingImage(channel, session);
    return -1;
  }
  session->pendingKind = kPendingImageMask;
  session->pendingExpected = header.dataLength;
  session->pendingReceived = 0;
  return 0;
}

int CallDrawImage(OutputChannel* channel, const ImageAttributes& header) {
  Link l;
  if (!Connect(channel, &l)) return -1;
  DrawingLibrarySession* session = channel->session;
  if (session->pendingKind != kPendingNone || session->pendingHeader != nullptr) DropPendingImage(channel, session);
  // The mask and the image data arrive as one run of bytes; their sum must fit 32 bits.
  const unsigned long long expected = static_cast<unsigned long long>(header.imageLength) + header.maskLength;
  if (expected > 0xFFFFFFFFull) return -1;
  auto* record = static_cast<PendingImageRecord*>(AllocCounted(channel, sizeof(PendingImageRecord)));
  if (record == nullptr) return -1;
  record->x = header.x;
  record->y = header.y;
  std::memcpy(record->matrix, header.matrix, sizeof(record->matrix));
  record->width = header.width;
  record->height = header.height;
  record->maskFlag = header.maskKind != 1 ? 1 : 0;
  record->maskByteFlag = header.maskByte != 0 ? 1 : 0;
  record->maskLength = header.maskLength;
  record->sourceFlag = header.sourceKind != 1 ? 1 : 0;
  record->colorFormat = header.colorFormat;
  record->entrySize = header.entrySize;
  record->entryCount = header.entryCount;
  record->tableLength = header.tableLength;
  for (int i = 0; i < 3; ++i) record->tail[i] = header.tail[i];
  record->imageLength = header.imageLength;
  if (expected == 0) {
    const int result = DrawPendingImage(l, *record, header.table, nullptr, nullptr);
    FreeCounted(channel, record);
    return result;
  }
  session->pendingHeader = record;
  session->pendingData = static_cast<BYTE*>(AllocCounted(channel, expected));
  if (session->pendingData == nullptr) {
    DropPendingImage(channel, session);
    return -1;
  }
  if (header.tableLength > 0) {
    if (header.table == nullptr) {
      DropPendingImage(channel, session);
      return -1;
    }
    record->table = static_cast<BYTE*>(AllocCounted(channel, header.tableLength));
    if (record->table == nullptr) {
      DropPendingImage(channel, session);
      return -1;
    }
    std::memcpy(record->table, header.table, header.tableLength);
  }
  session->pendingKind = kPendingImage;
  session->pendingExpected = static_cast<DWORD>(expected);
  session->pendingReceived = 0;
  return 0;
}

int CallAppendImageData(OutputChannel* channel, const BYTE* bytes, DWORD length) {
  Link l;
  if (!Connect(channel, &l)) return -1;
  DrawingLibrarySession* session = channel->session;
  if (session->pendingKind == kPendingNone || session->pendingHeader == nullptr) return -1;
  if (length > session->pendingExpected - session->pendingReceived || (length > 0 && bytes == nullptr)) {
    DropPendingImage(channel, session);
    return -1;
  }
  if (length > 0) std::memcpy(session->pendingData + session->pendingReceived, bytes, length);
  session->pendingReceived += length;
  if (session->pendingReceived < session->pendingExpected) return 0;
  const PendingImageRecord& r = *session->pendingHeader;
  const int result = session->pendingKind == kPendingImageMask
                         ? DrawPendingMask(l, r, session->pendingData)
                         : DrawPendingImage(l, r, r.table, r.maskLength > 0 ? session->pendingData : nullptr,
                                            r.imageLength > 0 ? session->pendingData + r.maskLength : nullptr);
  DropPendingImage(channel, session);
  return result;
}
