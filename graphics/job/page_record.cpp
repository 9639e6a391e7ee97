#include "graphics/job/page_record.h"

#include <bit>
#include <cstring>

#include "platform/base/byte_order.h"

namespace {

// The paper block's sixteen 16-bit words (the padding included), then its 32-bit fits flag.
void PutPaper(BYTE* out, const PagePaperBlock& p) {
  const SHORT words[14] = {p.paperId,     p.width,      p.length,     p.printableWidth, p.printableLength,
                           p.centredLeft, p.centredTop, p.zero7,      p.zero8,          p.leftMargin,
                           p.rightMargin, p.topMargin,  p.bottomMargin, p.padding};
  for (int i = 0; i < 14; ++i) PutLE16(out + 2 * i, static_cast<WORD>(words[i]));
  PutLE32(out + 28, static_cast<DWORD>(p.fits));
}

void GetPaper(const BYTE* in, PagePaperBlock* p) {
  SHORT* words[14] = {&p->paperId,     &p->width,      &p->length,     &p->printableWidth, &p->printableLength,
                      &p->centredLeft, &p->centredTop, &p->zero7,      &p->zero8,          &p->leftMargin,
                      &p->rightMargin, &p->topMargin,  &p->bottomMargin, &p->padding};
  for (int i = 0; i < 14; ++i) *words[i] = static_cast<SHORT>(GetLE16(in + 2 * i));
  p->fits = static_cast<LONG>(GetLE32(in + 28));
}

}  // namespace

void EncodeStoredPageStart(const StoredPageStart& s, BYTE out[kStoredPageStartBytes]) {
  std::memset(out, 0, kStoredPageStartBytes);
  out[0] = s.colorCode;
  out[1] = s.mediaSource;
  out[2] = s.paperCode;
  PutLE32(out + 4, std::bit_cast<DWORD>(s.paperSize[0]));
  PutLE32(out + 8, std::bit_cast<DWORD>(s.paperSize[1]));
  PutPaper(out + 12, s.sheet);
  PutLE16(out + 44, s.paperSource);
  PutLE32(out + 48, static_cast<DWORD>(s.colorParameter));
  PutLE16(out + 52, s.side);
}

void DecodeStoredPageStart(const BYTE in[kStoredPageStartBytes], StoredPageStart* s) {
  s->colorCode = in[0];
  s->mediaSource = in[1];
  s->paperCode = in[2];
  s->paperSize[0] = std::bit_cast<float>(GetLE32(in + 4));
  s->paperSize[1] = std::bit_cast<float>(GetLE32(in + 8));
  GetPaper(in + 12, &s->sheet);
  s->paperSource = GetLE16(in + 44);
  s->colorParameter = static_cast<LONG>(GetLE32(in + 48));
  s->side = GetLE16(in + 52);
}
