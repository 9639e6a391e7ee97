// Encoding and bounded decoding of menu templates (layout in menu_template.h).
#include "platform/user/menu_template.h"

#include "platform/base/errors.h"
#include "platform/kernel/byte_stream.h"

namespace {

void EncodeItems(ByteWriter& w, const std::vector<MenuItemTemplate>& items) {
  for (size_t i = 0; i < items.size(); ++i) {
    const MenuItemTemplate& item = items[i];
    WORD flags = WORD(item.flags & ~MF_END);
    if (i + 1 == items.size()) flags |= MF_END;
    w.U16(flags);
    if (!(flags & MF_POPUP)) w.U16(item.id);
    w.Text(item.text);
    if (flags & MF_POPUP) EncodeItems(w, item.items);
  }
}

bool DecodeItems(ByteReader& r, std::vector<MenuItemTemplate>& items, int depth) {
  if (depth > kMenuMaxDepth) return false;
  for (;;) {
    MenuItemTemplate item;
    WORD flags = r.U16();
    item.flags = WORD(flags & ~MF_END);
    if (!(flags & MF_POPUP)) item.id = r.U16();
    item.text = r.Text();
    if (!r.ok) return false;
    if ((flags & MF_POPUP) && !DecodeItems(r, item.items, depth + 1)) return false;
    items.push_back(std::move(item));
    if (flags & MF_END) return true;
  }
}

}  // namespace

std::vector<BYTE> EncodeMenuTemplate(const MenuTemplate& menu) {
  std::vector<BYTE> out;
  ByteWriter w{out};
  w.U16(0);  // version
  w.U16(0);  // header size after this field
  EncodeItems(w, menu.items);
  return out;
}

DWORD DecodeMenuTemplate(std::span<const BYTE> bytes, MenuTemplate& menu) {
  menu = MenuTemplate{};
  ByteReader r{bytes};
  WORD version = r.U16();
  WORD offset = r.U16();
  r.Skip(offset);
  MenuTemplate decoded;
  if (!r.ok || version != 0 || !DecodeItems(r, decoded.items, 1)) return ERROR_INVALID_DATA;
  menu = std::move(decoded);
  return ERROR_SUCCESS;
}
