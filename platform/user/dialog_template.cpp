// Encoding and bounded decoding of extended dialog templates (layout in dialog_template.h).
#include "platform/user/dialog_template.h"

#include "platform/base/errors.h"
#include "platform/kernel/byte_stream.h"

namespace {

constexpr WORD kExtendedVersion = 1;
constexpr WORD kExtendedSignature = 0xFFFF;

// A name-or-number field: 0 = none, 0xFFFF + number, or a text.
void WriteNameOrNumber(ByteWriter& w, const QrsName& n) {
  if (n.IsNumber() && n.id == 0) {
    w.U16(0);
  } else if (n.IsNumber()) {
    w.U16(0xFFFF);
    w.U16(n.id);
  } else {
    w.Text(n.text);
  }
}

QrsName ReadNameOrNumber(ByteReader& r) {
  QrsName n;
  WORD first = r.U16();
  if (first == 0xFFFF) {
    n.id = r.U16();
  } else if (first != 0) {
    n.text.push_back(first);
    n.text += r.Text();
  }
  return n;
}

}  // namespace

std::vector<BYTE> EncodeDialogTemplate(const DialogTemplate& d) {
  std::vector<BYTE> out;
  ByteWriter w{out};
  w.U16(kExtendedVersion);
  w.U16(kExtendedSignature);
  w.U32(d.helpId);
  w.U32(d.exStyle);
  w.U32(d.style);
  w.U16(WORD(d.controls.size()));
  w.U16(WORD(d.x));
  w.U16(WORD(d.y));
  w.U16(WORD(d.cx));
  w.U16(WORD(d.cy));
  WriteNameOrNumber(w, d.menu);
  WriteNameOrNumber(w, d.windowClass);
  w.Text(d.caption);
  if (d.style & DS_SETFONT) {
    w.U16(d.pointSize);
    w.U16(d.weight);
    w.U8(d.italic);
    w.U8(d.charset);
    w.Text(d.face);
  }
  for (const DialogControlTemplate& c : d.controls) {
    w.Align(4);
    w.U32(c.helpId);
    w.U32(c.exStyle);
    w.U32(c.style);
    w.U16(WORD(c.x));
    w.U16(WORD(c.y));
    w.U16(WORD(c.cx));
    w.U16(WORD(c.cy));
    w.U32(c.id);
    WriteNameOrNumber(w, c.windowClass);
    WriteNameOrNumber(w, c.text);
    w.U16(0);  // no creation data
  }
  return out;
}

DWORD DecodeDialogTemplate(std::span<const BYTE> bytes, DialogTemplate& dialog) {
  dialog = DialogTemplate{};
  ByteReader r{bytes};
  DialogTemplate d;
  WORD version = r.U16();
  WORD signature = r.U16();
  if (!r.ok || version != kExtendedVersion || signature != kExtendedSignature) return ERROR_INVALID_DATA;
  d.helpId = r.U32();
  d.exStyle = r.U32();
  d.style = r.U32();
  WORD count = r.U16();
  d.x = SHORT(r.U16());
  d.y = SHORT(r.U16());
  d.cx = SHORT(r.U16());
  d.cy = SHORT(r.U16());
  d.menu = ReadNameOrNumber(r);
  d.windowClass = ReadNameOrNumber(r);
  d.caption = r.Text();
  if (d.style & DS_SETFONT) {
    d.pointSize = r.U16();
    d.weight = r.U16();
    d.italic = r.U8();
    d.charset = r.U8();
    d.face = r.Text();
  }
  for (WORD i = 0; i < count && r.ok; ++i) {
    DialogControlTemplate c;
    r.Align(4);
    c.helpId = r.U32();
    c.exStyle = r.U32();
    c.style = r.U32();
    c.x = SHORT(r.U16());
    c.y = SHORT(r.U16());
    c.cx = SHORT(r.U16());
    c.cy = SHORT(r.U16());
    c.id = r.U32();
    c.windowClass = ReadNameOrNumber(r);
    c.text = ReadNameOrNumber(r);
    r.Skip(r.U16());  // creation data
    if (c.windowClass.IsNumber() && c.windowClass.id == 0) return ERROR_INVALID_DATA;
    d.controls.push_back(std::move(c));
  }
  if (!r.ok) return ERROR_INVALID_DATA;
  dialog = std::move(d);
  return ERROR_SUCCESS;
}
