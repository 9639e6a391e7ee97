// The page-start parameters of a stored page, kept as the page's kind-0 stored record.
#pragma once

#include "graphics/device/page_state.h"
#include "platform/base/types.h"

// The page-start parameters of a stored page.
struct StoredPageStart {
  BYTE colorCode;
  BYTE mediaSource;  // the device code of the paper source, sent with the page start
  BYTE paperCode;
  float paperSize[2];     // the sheet's width and length in millimetres
  PagePaperBlock sheet;   // the sheet paper
  WORD paperSource;       // the job's media code
  LONG colorParameter;
  WORD side;  // the side parity
};

// As stored: u8 colour code, u8 media-source code, u8 paper code, 1 byte padding, two f32,
// the 32-byte paper block (its fields in order), u16 paper-source code, 2 bytes padding, i32
// colour parameter, u16 side, 2 bytes padding; little-endian.
constexpr WORD kStoredPageStartBytes = 56;

void EncodeStoredPageStart(const StoredPageStart& start, BYTE out[kStoredPageStartBytes]);
void DecodeStoredPageStart(const BYTE bytes[kStoredPageStartBytes], StoredPageStart* start);
