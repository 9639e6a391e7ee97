// Choice pictures come from the model's database: reading one as an icon must never read
// outside its bytes, and an icon it accepts must have bits for every row and pixel.
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/pictures/choice_icons.h"
#include "platform/base/types.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_sim.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  // An exactly sized copy, so a read past the end is caught.
  std::vector<BYTE> dib(data, data + size);
  IconBits bits;
  if (ReadIconBitsFromDib(dib.data(), static_cast<DWORD>(dib.size()), &bits)) {
    if (bits.width < 1 || bits.width > kChoiceIconMaxSide || bits.height < 1 || bits.height > kChoiceIconMaxSide ||
        bits.colour.size() != static_cast<size_t>(bits.width) * 4 * bits.height ||
        bits.mask.size() != static_cast<size_t>((bits.width + 15) / 16 * 2) * bits.height)
      __builtin_trap();
  }
  HICON icon = nullptr;
  HPALETTE palette = nullptr;
  if (CreateIconFromDib(nullptr, dib.data(), static_cast<DWORD>(dib.size()), &icon, &palette)) {
    if (icon == nullptr) __builtin_trap();
    DestroyIcon(icon);
    if (palette != nullptr) DeleteObject(palette);
  } else if (icon != nullptr || palette != nullptr) {
    __builtin_trap();
  }
  if (SimLiveGdiObjects() != 0) __builtin_trap();
  return 0;
}
