// Writing resource containers field by field (layout in qrs.h).
#include "tools/qrc/qrs_builder.h"

#include "platform/base/byte_order.h"
#include "platform/base/types.h"
#include "platform/kernel/byte_stream.h"
#include "platform/kernel/qrs.h"
#include "platform/user/dialog_template.h"
#include "platform/user/menu_template.h"

namespace {

constexpr WORD kTypeBitmap = 2;
constexpr WORD kTypeIcon = 3;
constexpr WORD kTypeMenu = 4;
constexpr WORD kTypeDialog = 5;
constexpr WORD kTypeString = 6;
constexpr WORD kTypeGroupIcon = 14;

constexpr size_t kBitmapFileHeaderSize = 14;
constexpr size_t kIconDirSize = 6;
constexpr size_t kIconDirEntrySize = 16;

DWORD GetU32(std::span<const BYTE> b, size_t at) {
  return GetLE32(b.data() + at);
}
WORD GetU16(std::span<const BYTE> b, size_t at) { return GetLE16(b.data() + at); }

QrsName Number(WORD id) { return QrsName{id, {}}; }

std::string Describe(const QrsName& n) {
  if (n.IsNumber()) return std::to_string(n.id);
  std::string s;
  for (WCHAR c : n.text) s.push_back(c < 0x80 ? char(c) : '?');
  return "\"" + s + "\"";
}

}  // namespace

bool QrsBuilder::Has(const QrsName& type, const QrsName& name) const {
  for (const Item& item : items_)
    if (QrsNameEquals(item.type, type) && QrsNameEquals(item.name, name)) return true;
  return false;
}

bool QrsBuilder::Add(const QrsName& type, const QrsName& name, std::vector<BYTE> data, std::string& error) {
  if (type.IsNumber() && type.id == kTypeString) {
    error = "string blocks are added with AddString";
    return false;
  }
  if ((type.IsNumber() && type.id == 0) || (name.IsNumber() && name.id == 0)) {
    error = "resource type and name numbers start at 1";
    return false;
  }
  if (data.size() > 0x7FFFFFFF) {
    error = "resource too large";
    return false;
  }
  if (Has(type, name)) {
    error = "duplicate resource " + Describe(type) + " " + Describe(name);
    return false;
  }
  items_.push_back(Item{type, name, std::move(data)});
  return true;
}

bool QrsBuilder::AddString(UINT id, std::u16string_view text, std::string& error) {
  if (id > 0xFFFF) {
    error = "string id " + std::to_string(id) + " above 65535";
    return false;
  }
  if (text.empty() || text.size() > 0xFFFF) {
    error = "string " + std::to_string(id) + " must hold 1 to 65535 characters";
    return false;
  }
  if (!strings_.emplace(id, std::u16string(text)).second) {
    error = "duplicate string " + std::to_string(id);
    return false;
  }
  return true;
}

bool QrsBuilder::AddBitmap(const QrsName& name, std::span<const BYTE> bmp, std::string& error) {
  if (bmp.size() < kBitmapFileHeaderSize + 40 || bmp[0] != 'B' || bmp[1] != 'M') {
    error = "not a bitmap file";
    return false;
  }
  DWORD headerSize = GetU32(bmp, kBitmapFileHeaderSize);
  DWORD bitsOffset = GetU32(bmp, 10);
  if (headerSize < 40 || kBitmapFileHeaderSize + size_t(headerSize) > bmp.size() || bitsOffset > bmp.size() ||
      bitsOffset < kBitmapFileHeaderSize + headerSize) {
    error = "bitmap headers do not fit the file";
    return false;
  }
  return Add(Number(kTypeBitmap), name, std::vector<BYTE>(bmp.begin() + kBitmapFileHeaderSize, bmp.end()), error);
}

bool QrsBuilder::AddIcon(const QrsName& name, std::span<const BYTE> ico, std::string& error) {
  if (ico.size() < kIconDirSize || GetU16(ico, 0) != 0 || GetU16(ico, 2) != 1 || GetU16(ico, 4) == 0) {
    error = "not an icon file";
    return false;
  }
  WORD count = GetU16(ico, 4);
  if (kIconDirSize + size_t(count) * kIconDirEntrySize > ico.size()) {
    error = "icon directory does not fit the file";
    return false;
  }
  if (Has(Number(kTypeGroupIcon), name)) {
    error = "duplicate icon " + Describe(name);
    return false;
  }
  std::vector<BYTE> group;
  ByteWriter g{group};
  g.U16(0);
  g.U16(1);
  g.U16(count);
  std::vector<Item> images;
  WORD next = nextIconId_;
  for (WORD i = 0; i < count; ++i) {
    size_t at = kIconDirSize + size_t(i) * kIconDirEntrySize;
    DWORD size = GetU32(ico, at + 8);
    DWORD offset = GetU32(ico, at + 12);
    if (size == 0 || offset > ico.size() || size > ico.size() - offset) {
      error = "icon image " + std::to_string(i) + " lies outside the file";
      return false;
    }
    while (Has(Number(kTypeIcon), Number(next)) && next != 0) ++next;
    if (next == 0) {
      error = "no icon numbers left";
      return false;
    }
    for (int b = 0; b < 4; ++b) g.U8(ico[at + b]);  // width, height, colours, reserved
    g.U16(GetU16(ico, at + 4));                     // planes
    g.U16(GetU16(ico, at + 6));                     // bits per pixel
    g.U32(size);
    g.U16(next);
    images.push_back(Item{Number(kTypeIcon), Number(next), std::vector<BYTE>(ico.begin() + offset, ico.begin() + offset + size)});
    ++next;
  }
  nextIconId_ = next;
  for (Item& image : images) items_.push_back(std::move(image));
  items_.push_back(Item{Number(kTypeGroupIcon), name, std::move(group)});
  return true;
}

bool QrsBuilder::AddMenu(const QrsName& name, const MenuTemplate& menu, std::string& error) {
  if (menu.items.empty()) {
    error = "menu " + Describe(name) + " has no items";
    return false;
  }
  return Add(Number(kTypeMenu), name, EncodeMenuTemplate(menu), error);
}

bool QrsBuilder::AddDialog(const QrsName& name, const DialogTemplate& dialog, std::string& error) {
  if (dialog.controls.size() > 0xFFFF) {
    error = "dialog " + Describe(name) + " has too many controls";
    return false;
  }
  return Add(Number(kTypeDialog), name, EncodeDialogTemplate(dialog), error);
}

std::vector<BYTE> QrsBuilder::Build() const {
  std::vector<Item> all = items_;
  // Strings go into blocks of 16 counted strings; a missing slot has length 0.
  for (auto it = strings_.begin(); it != strings_.end();) {
    UINT block = it->first / kQrsStringsPerBlock;
    std::vector<BYTE> data;
    ByteWriter w{data};
    for (UINT slot = 0; slot < kQrsStringsPerBlock; ++slot) {
      auto s = strings_.find(block * kQrsStringsPerBlock + slot);
      if (s == strings_.end()) {
        w.U16(0);
        continue;
      }
      w.U16(WORD(s->second.size()));
      for (WCHAR c : s->second) w.U16(c);
    }
    all.push_back(Item{Number(kTypeString), Number(WORD(block + 1)), std::move(data)});
    it = strings_.lower_bound((block + 1) * kQrsStringsPerBlock);
  }

  std::vector<BYTE> out;
  ByteWriter w{out};
  for (BYTE b : kQrsMagic) w.U8(b);
  w.U32(DWORD(all.size()));
  w.U32(0);  // file size, set at the end
  w.U32(0);
  size_t table = out.size();
  out.resize(table + all.size() * kQrsEntrySize);
  // Names follow the table, then the data, each 4-byte aligned.
  auto nameField = [&](const QrsName& n) -> DWORD {
    if (n.IsNumber()) return n.id;
    w.Align(2);
    DWORD at = DWORD(out.size());
    w.Text(n.text);
    return at | kQrsNameFlag;
  };
  std::vector<DWORD> fields;
  for (const Item& item : all) {
    fields.push_back(nameField(item.type));
    fields.push_back(nameField(item.name));
  }
  for (size_t i = 0; i < all.size(); ++i) {
    w.Align(8);
    size_t at = table + i * kQrsEntrySize;
    w.PutU32At(at, fields[2 * i]);
    w.PutU32At(at + 4, fields[2 * i + 1]);
    w.PutU32At(at + 8, DWORD(out.size()));
    w.PutU32At(at + 12, DWORD(all[i].data.size()));
    out.insert(out.end(), all[i].data.begin(), all[i].data.end());
  }
  w.PutU32At(8, DWORD(out.size()));
  return out;
}
