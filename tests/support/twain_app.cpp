// The small TWAIN application (see twain_app.h).
#include "tests/support/twain_app.h"

#include <cmath>
#include <cstring>

#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"
#include "platform/twain/twain.h"

namespace {

constexpr TW_UINT32 kApplicationId = 1;
constexpr TW_UINT32 kSourceId = 2;

WORD Le16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
DWORD Le32(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
         (static_cast<DWORD>(p[3]) << 24);
}
void Put16(std::vector<BYTE>& v, WORD x) {
  v.push_back(static_cast<BYTE>(x));
  v.push_back(static_cast<BYTE>(x >> 8));
}
void Put32(std::vector<BYTE>& v, DWORD x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<BYTE>(x >> (8 * i)));
}

DWORD ItemBytes(TW_UINT16 type) { return type == TWTY_UINT32 || type == TWTY_INT32 || type == TWTY_FIX32 ? 4 : 2; }

void PutItem(std::vector<BYTE>& v, TW_UINT16 type, double value) {
  if (type == TWTY_FIX32) {
    const TW_FIX32 f = ToFix32(value);
    Put16(v, static_cast<WORD>(f.Whole));
    Put16(v, f.Frac);
  } else if (ItemBytes(type) == 4) {
    Put32(v, static_cast<DWORD>(static_cast<LONG>(value)));
  } else {
    Put16(v, static_cast<WORD>(static_cast<SHORT>(value)));
  }
}

double GetItem(const BYTE* p, TW_UINT16 type) {
  switch (type) {
    case TWTY_FIX32:
      return FromFix32({static_cast<TW_INT16>(Le16(p)), Le16(p + 2)});
    case TWTY_INT16:
      return static_cast<SHORT>(Le16(p));
    case TWTY_UINT32:
      return Le32(p);
    default:
      return Le16(p);
  }
}

DWORD RowBytes(WORD bits, DWORD width) { return static_cast<DWORD>((static_cast<ULONGLONG>(bits) * width + 7) / 8); }

}  // namespace

TW_FIX32 ToFix32(double value) {
  const LONG n = static_cast<LONG>(std::floor(value * 65536.0 + 0.5));
  return {static_cast<TW_INT16>(n >> 16), static_cast<TW_UINT16>(n & 0xFFFF)};
}

double FromFix32(TW_FIX32 value) { return value.Whole + value.Frac / 65536.0; }

DWORD ReceivedImage::Value(DWORD x, DWORD y) const {
  const BYTE* row = Pixels.data() + static_cast<size_t>(y) * RowBytes(Bits, Width);
  if (Bits == 1) return (row[x / 8] >> (7 - x % 8)) & 1;
  if (Bits == 8) return row[x];
  const BYTE* p = row + 3 * static_cast<size_t>(x);  // blue, green, red
  return (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[1]) << 8) | p[0];
}

bool DecodeBitmap(const BYTE* bytes, size_t size, bool withFileHeader, ReceivedImage& image) {
  size_t start = 0;
  if (withFileHeader) {
    if (size < 14 || bytes[0] != 'B' || bytes[1] != 'M' || Le32(bytes + 2) != size) return false;
    start = 14;
  }
  if (size < start + 40 || Le32(bytes + start) != 40) return false;
  const BYTE* h = bytes + start;
  const LONG width = static_cast<LONG>(Le32(h + 4)), height = static_cast<LONG>(Le32(h + 8));
  const WORD bits = Le16(h + 14);
  const DWORD used = Le32(h + 32);
  if (width <= 0 || height <= 0 || (bits != 1 && bits != 8 && bits != 24) || Le32(h + 16) != 0) return false;
  const DWORD colours = bits == 24 ? used : (used != 0 ? used : (1u << bits));
  const size_t paletteAt = start + 40, bitsAt = paletteAt + 4ull * colours;
  if (withFileHeader && Le32(bytes + 10) != bitsAt) return false;
  const size_t stride = (static_cast<size_t>(bits) * width + 31) / 32 * 4;
  if (bitsAt > size || (size - bitsAt) / stride < static_cast<size_t>(height)) return false;
  image.Width = static_cast<DWORD>(width);
  image.Height = static_cast<DWORD>(height);
  image.Bits = bits;
  image.Palette.assign(bytes + paletteAt, bytes + bitsAt);
  const DWORD row = RowBytes(bits, image.Width);
  image.Pixels.resize(static_cast<size_t>(row) * image.Height);
  for (DWORD y = 0; y < image.Height; ++y)  // rows are stored bottom-up
    std::memcpy(image.Pixels.data() + static_cast<size_t>(y) * row, bytes + bitsAt + (image.Height - 1 - y) * stride,
                row);
  return true;
}

double CapabilityAnswer::Current() const {
  if (Bytes.size() < 2) return -1;
  const TW_UINT16 type = Le16(Bytes.data());
  if (ConType == TWON_ONEVALUE && Bytes.size() >= 2 + ItemBytes(type)) return GetItem(Bytes.data() + 2, type);
  if (ConType == TWON_ENUMERATION && Bytes.size() >= 14) {
    const DWORD index = Le32(Bytes.data() + 6);
    return index < Count() ? Item(index) : -1;
  }
  if (ConType == TWON_RANGE && Bytes.size() >= 22) return GetItem(Bytes.data() + 18, type);
  return -1;
}

TW_UINT32 CapabilityAnswer::Count() const {
  if ((ConType != TWON_ARRAY && ConType != TWON_ENUMERATION) || Bytes.size() < 6) return 0;
  const DWORD items = ConType == TWON_ARRAY ? 6 : 14;
  const DWORD n = Le32(Bytes.data() + 2);
  const DWORD size = ItemBytes(Le16(Bytes.data()));
  return Bytes.size() >= items && n <= (Bytes.size() - items) / size ? n : 0;
}

double CapabilityAnswer::Item(TW_UINT32 index) const {
  if (index >= Count()) return -1;
  const TW_UINT16 type = Le16(Bytes.data());
  const DWORD items = ConType == TWON_ARRAY ? 6 : 14;
  return GetItem(Bytes.data() + items + index * ItemBytes(type), type);
}

TwainApplication::TwainApplication() {
  application_.Id = kApplicationId;
  application_.ProtocolMajor = 1;
  application_.ProtocolMinor = 8;
  application_.SupportedGroups = DG_CONTROL | DG_IMAGE;
  std::strcpy(application_.ProductName, "Scan test");
}

TwainApplication::~TwainApplication() { Unload(); }

bool TwainApplication::Load() {
  module_ = LoadLibraryW(u"pelvo.ds");
  if (module_ == nullptr) return false;
  entry_ = reinterpret_cast<DSENTRYPROC>(GetProcAddress(module_, "DS_Entry"));
  if (entry_ == nullptr) Unload();
  return entry_ != nullptr;
}

void TwainApplication::Unload() {
  if (module_ != nullptr) FreeLibrary(module_);
  module_ = nullptr;
  entry_ = nullptr;
}

TW_UINT16 TwainApplication::Call(TW_UINT32 group, TW_UINT16 type, TW_UINT16 message, void* data) {
  return entry_(&application_, group, type, message, data);
}

TW_UINT16 TwainApplication::Condition() {
  TW_STATUS status{};
  Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
  return status.ConditionCode;
}

TW_UINT16 TwainApplication::Open() {
  source_ = TW_IDENTITY{};
  source_.Id = kSourceId;
  std::strcpy(source_.ProductName, "Scriptora Duo Local Scan");
  return Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source_);
}

TW_UINT16 TwainApplication::Close() { return Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source_); }

TW_UINT16 TwainApplication::EnableWithoutInterface() {
  TW_USERINTERFACE ui{};
  ui.ShowUI = FALSE;
  return Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
}

TW_UINT16 TwainApplication::EnableWithInterface(HWND parent) {
  TW_USERINTERFACE ui{};
  ui.ShowUI = TRUE;
  ui.ModalUI = TRUE;
  ui.hParent = parent;
  return Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
}

TW_UINT16 TwainApplication::Disable() {
  TW_USERINTERFACE ui{};
  return Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
}

TW_UINT16 TwainApplication::EndTransfer(TW_INT16* count) {
  TW_PENDINGXFERS pending{};
  const TW_UINT16 rc = Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
  if (count != nullptr) *count = static_cast<TW_INT16>(pending.Count);
  return rc;
}

CapabilityAnswer TwainApplication::Query(TW_UINT16 cap, TW_UINT16 message) {
  CapabilityAnswer answer;
  TW_CAPABILITY request{cap, TWON_DONTCARE16, nullptr};
  answer.Result = Call(DG_CONTROL, DAT_CAPABILITY, message, &request);
  if (answer.Result != TWRC_SUCCESS) answer.Condition = Condition();
  if (request.hContainer != nullptr) {
    answer.ConType = request.ConType;
    const SIZE_T size = GlobalSize(request.hContainer);
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(request.hContainer));
    if (p != nullptr) answer.Bytes.assign(p, p + size);
    GlobalUnlock(request.hContainer);
    GlobalFree(request.hContainer);  // the container belongs to the application
  }
  return answer;
}

TW_UINT16 TwainApplication::SetRaw(TW_UINT16 cap, TW_UINT16 conType, const std::vector<BYTE>& bytes) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (h == nullptr) return TWRC_FAILURE;
  if (!bytes.empty()) {
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
  }
  TW_CAPABILITY request{cap, conType, h};
  const TW_UINT16 rc = Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &request);
  GlobalFree(h);
  return rc;
}

TW_UINT16 TwainApplication::SetOneValue(TW_UINT16 cap, TW_UINT16 type, double value) {
  std::vector<BYTE> v;
  Put16(v, type);
  PutItem(v, type, value);
  if (v.size() < 6) v.resize(6);
  return SetRaw(cap, TWON_ONEVALUE, v);
}

TW_UINT16 TwainApplication::SetEnumeration(TW_UINT16 cap, TW_UINT16 type, const std::vector<double>& items,
                                           TW_UINT32 current) {
  std::vector<BYTE> v;
  Put16(v, type);
  Put32(v, static_cast<DWORD>(items.size()));
  Put32(v, current);
  Put32(v, 0);
  for (double item : items) PutItem(v, type, item);
  return SetRaw(cap, TWON_ENUMERATION, v);
}

TW_UINT16 TwainApplication::SetRange(TW_UINT16 cap, double minimum, double maximum, double step, double current) {
  std::vector<BYTE> v;
  Put16(v, TWTY_FIX32);
  for (double x : {minimum, maximum, step, current, current}) PutItem(v, TWTY_FIX32, x);
  return SetRaw(cap, TWON_RANGE, v);
}

TW_UINT16 TwainApplication::SetArray(TW_UINT16 cap, TW_UINT16 type, const std::vector<double>& items) {
  std::vector<BYTE> v;
  Put16(v, type);
  Put32(v, static_cast<DWORD>(items.size()));
  for (double item : items) PutItem(v, type, item);
  return SetRaw(cap, TWON_ARRAY, v);
}

TW_UINT16 TwainApplication::Reset(TW_UINT16 cap) {
  TW_CAPABILITY request{cap, TWON_DONTCARE16, nullptr};
  const TW_UINT16 rc = Call(DG_CONTROL, DAT_CAPABILITY, MSG_RESET, &request);
  if (request.hContainer != nullptr) GlobalFree(request.hContainer);
  return rc;
}

TW_UINT16 TwainApplication::TransferNative(ReceivedImage& image) {
  TW_HANDLE bitmap = nullptr;
  const TW_UINT16 rc = Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &bitmap);
  if (bitmap == nullptr) return rc;
  const SIZE_T size = GlobalSize(bitmap);
  const BYTE* p = static_cast<const BYTE*>(GlobalLock(bitmap));
  const bool decoded = p != nullptr && DecodeBitmap(p, size, false, image);
  GlobalUnlock(bitmap);
  GlobalFree(bitmap);  // the bitmap belongs to the application
  return decoded ? rc : TWRC_FAILURE;
}

TW_UINT16 TwainApplication::TransferMemory(ReceivedImage& image, DWORD bufferSize, DWORD* strips) {
  TW_IMAGEINFO info{};
  if (Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS) return TWRC_FAILURE;
  TW_SETUPMEMXFER setup{};
  if (Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) != TWRC_SUCCESS) return TWRC_FAILURE;
  if (bufferSize == 0) bufferSize = setup.Preferred;
  image.Width = static_cast<DWORD>(info.ImageWidth);
  image.Height = static_cast<DWORD>(info.ImageLength);
  image.Bits = static_cast<WORD>(info.BitsPerPixel);
  const DWORD row = RowBytes(image.Bits, image.Width);
  image.Pixels.assign(static_cast<size_t>(row) * image.Height, 0);
  std::vector<BYTE> buffer(bufferSize);
  if (strips != nullptr) *strips = 0;
  for (;;) {
    TW_IMAGEMEMXFER x{};
    x.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
    x.Memory.Length = bufferSize;
    x.Memory.TheMem = buffer.data();
    const TW_UINT16 rc = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &x);
    if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) return rc;
    if (strips != nullptr) ++*strips;
    if (x.Columns != image.Width || x.YOffset + x.Rows > image.Height || x.BytesPerRow < row ||
        static_cast<ULONGLONG>(x.BytesPerRow) * x.Rows > bufferSize || x.BytesWritten != x.BytesPerRow * x.Rows)
      return TWRC_FAILURE;
    for (DWORD r = 0; r < x.Rows; ++r)  // strips come top-down
      std::memcpy(image.Pixels.data() + static_cast<size_t>(x.YOffset + r) * row,
                  buffer.data() + static_cast<size_t>(r) * x.BytesPerRow, row);
    if (rc == TWRC_XFERDONE) return rc;
  }
}

TW_UINT16 TwainApplication::TransferFile(const std::string& path, ReceivedImage& image) {
  TW_SETUPFILEXFER setup{};
  std::strncpy(setup.FileName, path.c_str(), sizeof setup.FileName - 1);
  setup.Format = TWFF_BMP;
  if (Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup) != TWRC_SUCCESS) return TWRC_FAILURE;
  const TW_UINT16 rc = Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
  if (rc != TWRC_XFERDONE) return rc;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TWRC_FAILURE;
  std::vector<BYTE> bytes(GetFileSize(file, nullptr));
  DWORD read = 0;
  const bool ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                  read == bytes.size() && DecodeBitmap(bytes.data(), bytes.size(), true, image);
  CloseHandle(file);
  return ok ? rc : TWRC_FAILURE;
}
