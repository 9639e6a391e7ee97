// Resource containers from outside: the parser must refuse or accept any bytes without
// reading past them, and everything it accepts must be readable through the lookups and the
// template decoders.
#include <cstdint>
#include <vector>

#include "platform/base/types.h"
#include "platform/kernel/qrs.h"
#include "platform/user/dialog_template.h"
#include "platform/user/menu_template.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly `size` bytes, so that any read past them is caught.
  std::vector<BYTE> bytes(data, data + size);
  std::vector<QrsEntry> entries;
  if (QrsParse(bytes, entries) != 0) return 0;
  for (const QrsEntry& e : entries) {
    if (QrsFind(entries, e.type, e.name) == nullptr) __builtin_trap();
    std::span<const BYTE> item(bytes.data() + e.offset, e.size);
    if (e.type.IsNumber() && e.type.id == 5) {
      DialogTemplate dialog;
      DecodeDialogTemplate(item, dialog);
    } else if (e.type.IsNumber() && e.type.id == 4) {
      MenuTemplate menu;
      DecodeMenuTemplate(item, menu);
    } else if (e.type.IsNumber() && e.type.id == 6 && e.name.IsNumber() && e.name.id > 0) {
      for (UINT slot = 0; slot < kQrsStringsPerBlock; ++slot) {
        std::span<const WCHAR> text;
        QrsFindString(bytes, entries, (e.name.id - 1u) * kQrsStringsPerBlock + slot, text);
      }
    }
  }
  return 0;
}
