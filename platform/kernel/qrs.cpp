// Reading the resource container (layout in qrs.h). Every count, offset and size is
// checked against the bytes present before it is used.
#include "platform/kernel/qrs.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/base/byte_order.h"
#include "platform/base/errors.h"

static_assert(std::endian::native == std::endian::little, "resource views assume a little-endian host");

namespace {

DWORD ReadU32(std::span<const BYTE> bytes, size_t at) {
  return GetLE32(bytes.data() + at);
}

WORD ReadU16(std::span<const BYTE> bytes, size_t at) { return GetLE16(bytes.data() + at); }

WCHAR FoldAscii(WCHAR c) { return (c >= u'a' && c <= u'z') ? WCHAR(c - u'a' + u'A') : c; }

// The platform's directory order: names first (without regard to ASCII case), then numbers.
int CompareNames(const QrsName& a, const QrsName& b) {
  if (a.IsNumber() != b.IsNumber()) return a.IsNumber() ? 1 : -1;
  if (a.IsNumber()) return int(a.id) - int(b.id);
  size_t n = std::min(a.text.size(), b.text.size());
  for (size_t i = 0; i < n; ++i) {
    WCHAR x = FoldAscii(a.text[i]), y = FoldAscii(b.text[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.text.size() == b.text.size() ? 0 : (a.text.size() < b.text.size() ? -1 : 1);
}

int CompareEntries(const QrsEntry& e, const QrsName& type, const QrsName& name) {
  int c = CompareNames(e.type, type);
  return c != 0 ? c : CompareNames(e.name, name);
}

// Decodes one type or name field; false when it points outside the bytes, into the header
// or entry table, or at a name without its terminator.
bool ReadName(std::span<const BYTE> bytes, DWORD field, size_t tableEnd, QrsName& out) {
  out = QrsName{};
  if (!(field & kQrsNameFlag)) {
    if (field > 0xFFFF) return false;
    out.id = WORD(field);
    return true;
  }
  size_t at = field & ~kQrsNameFlag;
  if (at < tableEnd || at % 2 != 0) return false;
  for (; at + 2 <= bytes.size(); at += 2) {
    WCHAR c = ReadU16(bytes, at);
    if (c == 0) return !out.text.empty();
    out.text.push_back(c);
  }
  return false;  // no terminator before the end of the bytes
}

}  // namespace

bool QrsHasMagic(std::span<const BYTE> bytes) {
  return bytes.size() >= sizeof(kQrsMagic) && std::memcmp(bytes.data(), kQrsMagic, sizeof(kQrsMagic)) == 0;
}

DWORD QrsParse(std::span<const BYTE> bytes, std::vector<QrsEntry>& entries) {
  entries.clear();
  if (bytes.size() < kQrsHeaderSize || !QrsHasMagic(bytes)) return ERROR_BAD_FORMAT;
  DWORD count = ReadU32(bytes, 4);
  DWORD fileSize = ReadU32(bytes, 8);
  if (fileSize != bytes.size() || ReadU32(bytes, 12) != 0) return ERROR_BAD_FORMAT;
  // 64-bit arithmetic: count * 16 cannot wrap.
  size_t tableEnd = size_t(kQrsHeaderSize) + size_t(count) * kQrsEntrySize;
  if (tableEnd > bytes.size()) return ERROR_BAD_FORMAT;
  std::vector<QrsEntry> parsed;
  parsed.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    size_t at = kQrsHeaderSize + size_t(i) * kQrsEntrySize;
    QrsEntry e;
    if (!ReadName(bytes, ReadU32(bytes, at), tableEnd, e.type) || !ReadName(bytes, ReadU32(bytes, at + 4), tableEnd, e.name))
      return ERROR_INVALID_DATA;
    e.offset = ReadU32(bytes, at + 8);
    e.size = ReadU32(bytes, at + 12);
    if (e.offset % kQrsDataAlign != 0 || e.offset < tableEnd || size_t(e.offset) + e.size > bytes.size())
      return ERROR_INVALID_DATA;
    parsed.push_back(std::move(e));
  }
  std::sort(parsed.begin(), parsed.end(), [](const QrsEntry& a, const QrsEntry& b) { return CompareEntries(a, b.type, b.name) < 0; });
  for (size_t i = 1; i < parsed.size(); ++i)
    if (CompareEntries(parsed[i - 1], parsed[i].type, parsed[i].name) == 0) return ERROR_INVALID_DATA;
  entries = std::move(parsed);
  return ERROR_SUCCESS;
}

bool QrsNameFromArg(LPCWSTR arg, QrsName& out) {
  out = QrsName{};
  if (IS_INTRESOURCE(arg)) {
    out.id = LOWORD(reinterpret_cast<ULONG_PTR>(arg));
    return true;
  }
  if (arg[0] == 0) return false;
  if (arg[0] == u'#') {  // "#123" names the number 123
    DWORD value = 0;
    const WCHAR* p = arg + 1;
    for (; *p >= u'0' && *p <= u'9' && value <= 0xFFFF; ++p) value = value * 10 + DWORD(*p - u'0');
    if (*p == 0 && p != arg + 1 && value <= 0xFFFF) {
      out.id = WORD(value);
      return true;
    }
  }
  out.text = arg;
  return true;
}

bool QrsNameEquals(const QrsName& a, const QrsName& b) { return CompareNames(a, b) == 0; }

const QrsEntry* QrsFind(const std::vector<QrsEntry>& entries, const QrsName& type, const QrsName& name) {
  auto it = std::lower_bound(entries.begin(), entries.end(), 0,
                             [&](const QrsEntry& e, int) { return CompareEntries(e, type, name) < 0; });
  return it != entries.end() && CompareEntries(*it, type, name) == 0 ? &*it : nullptr;
}

bool QrsFindString(std::span<const BYTE> bytes, const std::vector<QrsEntry>& entries, UINT id, std::span<const WCHAR>& text) {
  if (id > 0xFFFF) return false;
  QrsName type{6, {}};
  QrsName block{WORD(id / kQrsStringsPerBlock + 1), {}};
  const QrsEntry* e = QrsFind(entries, type, block);
  if (!e) return false;
  std::span<const BYTE> data = bytes.subspan(e->offset, e->size);
  size_t at = 0;
  for (UINT slot = 0; slot <= id % kQrsStringsPerBlock; ++slot) {
    if (at + 2 > data.size()) return false;
    size_t length = ReadU16(data, at);
    at += 2;
    if (at + length * 2 > data.size()) return false;
    if (slot == id % kQrsStringsPerBlock) {
      if (length == 0) return false;
      text = {reinterpret_cast<const WCHAR*>(data.data() + at), length};
      return true;
    }
    at += length * 2;
  }
  return false;
}
