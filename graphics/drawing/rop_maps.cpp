#include "graphics/drawing/rop_maps.h"

namespace {

// The ternary codes of the R2_ codes 16 (R2_WHITE, at index 0) and 1 to 15.
constexpr BYTE kTernaryOfMix[16] = {0xFF, 0x00, 0x05, 0x0A, 0x0F, 0x50, 0x55, 0x5A,
                                    0x5F, 0xA0, 0xA5, 0xAA, 0xAF, 0xF0, 0xF5, 0xFA};
constexpr BYTE kCopyPen = 13;

BYTE Rop2OfTernary(BYTE ternary) {
  for (BYTE code = 0; code < 16; ++code)
    if (kTernaryOfMix[code] == ternary) return code == 0 ? 16 : code;
  return kCopyPen;
}

}  // namespace

WORD MapRopToRop2(DWORD rop4) {
  return static_cast<WORD>((Rop2OfTernary(static_cast<BYTE>(rop4 >> 8)) << 8) | Rop2OfTernary(static_cast<BYTE>(rop4)));
}

WORD MapMixToRop3(DWORD mix) {
  return static_cast<WORD>((kTernaryOfMix[(mix >> 8) & 0xF] << 8) | kTernaryOfMix[mix & 0xF]);
}
