#include "graphics/job/cover_records.h"

#include <cstring>
#include <string>

#include "core/database/dbrecords.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/output/display_list.h"
#include "graphics/output/record_writer.h"
#include "items/codepage.h"
#include "items/item_ids.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/memory.h"

namespace {

constexpr DWORD kCoverFontSection = 27;
constexpr WORD kFontRecordType = 11;
constexpr WORD kCoverFontFlag = 0x2;
constexpr WORD kTextRecordGlyphKind = 2;

// The black solid colour, copy drawing mode and ROP 13 every cover block starts with.
void WriteCoverPreamble(RecordWriter* w) {
  PutOpcode(w, kDlInitClip);
  PutOpcode(w, kDlSetDrawMode);
  PutByte(w, 2);
  PutOpcode(w, kDlSetRopMode);
  PutByte(w, 1);
  PutU32(w, 13);
  PutOpcode(w, kDlSetSolidColor);
  PutByte(w, 2);
  PutByte(w, 4);
  PutByte(w, 0);
  PutByte(w, 0);
  PutByte(w, 0);
}

LONG VerticalResolution(Pdev* pdev) {
  const LONG y = static_cast<SHORT>(GetPdevSettingWord(pdev, kItemYResolution));
  return y > 0 ? y : GetDeviceResolution(pdev);
}

// The text matrix of a size in tenths of a point.
void MakeTextMatrix(Pdev* pdev, int size, float matrix[6]) {
  const float x = static_cast<float>(GetDeviceResolution(pdev)) * static_cast<float>(size) / 720.0f;
  const float y = static_cast<float>(VerticalResolution(pdev)) * static_cast<float>(size) / 720.0f;
  const float m[6] = {x, 0.0f, 0.0f, -y, 0.0f, 0.0f};
  std::memcpy(matrix, m, sizeof m);
}

void WriteTextRecord(RecordWriter* w, const PreparedCoverText& t) {
  if (t.length == 0) return;
  PutOpcode(w, kDlCoverText);
  PutFloat(w, t.x);
  PutFloat(w, t.y);
  PutByte(w, static_cast<BYTE>(kTextRecordGlyphKind));
  PutU16(w, t.count);
  for (WORD i = 0; i < t.count; ++i) PutFloat(w, t.advances[i]);
  PutU16(w, t.length);
  PutBytes(w, t.text, t.length);
}

// The type-11 record whose key is `key`, read in order; NULL when the records run out.
DatabaseRecord* FindFontRecord(Pdev* pdev, WORD key) {
  for (WORD position = 1;; ++position) {
    DatabaseRecord* record = nullptr;
    if (ReadRecord(TRUE, pdev->database, pdev->linkedDatabase, kFontRecordType, position, &record) != kDbOk ||
        record == nullptr)
      return nullptr;
    if (record->h.key == key) return record;
    FreeRecord(&record, kDbAnyType);
    if (position == 0xFFFF) return nullptr;
  }
}

// The ANSI text cut to kCoverTextBytes bytes without splitting a character.
bool CoverAnsi(LPCWSTR text, std::string* out) {
  out->clear();
  if (text == nullptr || *text == 0) return true;
  LPSTR ansi = nullptr;
  int length = 0;
  if (!WideToMultiByteCp(text, &ansi, &length, 0)) return false;
  size_t end = 0;
  while (end < static_cast<size_t>(length)) {
    const size_t width = IsDBCSLeadByte(static_cast<BYTE>(ansi[end])) ? 2 : 1;
    if (end + width > static_cast<size_t>(kCoverTextBytes)) break;
    end += width;
  }
  out->assign(ansi, end < static_cast<size_t>(length) ? end : static_cast<size_t>(length));
  GlobalFree(ansi);
  return true;
}

}  // namespace

int MeasureCoverText(const FontResourceReader* reader, const char* text, int length, int size, LONG resolution,
                     float* advances) {
  int count = 0;
  for (int i = 0; i < length; ++i) {
    WORD code = static_cast<BYTE>(text[i]);
    if (IsDBCSLeadByte(static_cast<BYTE>(text[i]))) {
      if (i + 1 >= length) return -1;  // a lead byte without its trail byte
      code = static_cast<WORD>((code << 8) | static_cast<BYTE>(text[++i]));
    }
    const LONG width = LookUpGlyphCode(reader, code);
    if (width < 0) return -1;
    advances[count++] = static_cast<float>(width) * static_cast<float>(size) / 1000.0f *
                        static_cast<float>(resolution) / 72.0f / 10.0f;
  }
  return count;
}

BOOL PrepareCoverText(Pdev* pdev, const CoverTextItem* item, PreparedCoverText* out) {
  if (pdev == nullptr || item == nullptr || out == nullptr || pdev->database == nullptr) return FALSE;
  const WORD key = static_cast<WORD>(ReadSectionValue(pdev->database, kCoverFontSection, 2, item->fontSlot == 2 ? 1 : 0));
  if (key == 0) return FALSE;
  DatabaseRecord* record = FindFontRecord(pdev, key);
  if (record == nullptr) return FALSE;
  const auto* font = reinterpret_cast<const DeviceFontRecord*>(record);
  FontResourceReader reader{};
  BOOL ok = font->data != nullptr && font->dataSize > kFontHeaderStart &&
            OpenDeviceFontResource(font->data + kFontHeaderStart, &reader, font->dataSize - kFontHeaderStart) == 0;
  std::string ansi;
  if (ok) ok = CoverAnsi(item->text, &ansi);
  if (ok) {
    const LONG xResolution = GetDeviceResolution(pdev);
    out->fontNumber = static_cast<WORD>(key | kCoverFontFlag);
    out->x = static_cast<float>(item->x) * static_cast<float>(xResolution) / 254.0f;
    out->y = static_cast<float>(item->y) * static_cast<float>(VerticalResolution(pdev)) / 254.0f;
    out->length = static_cast<WORD>(ansi.size());
    std::memcpy(out->text, ansi.data(), ansi.size());
    const int count = MeasureCoverText(&reader, ansi.data(), static_cast<int>(ansi.size()), item->size, xResolution,
                                       out->advances);
    ok = count >= 0;
    out->count = static_cast<WORD>(count < 0 ? 0 : count);
  }
  FreeRecord(&record, kDbAnyType);
  return ok;
}

int EstimateCoverRecordsSize(const ExtendedFaxDestination* entry, const CoverInformation* info,
                             const CoverExtras* extras) {
  CoverTextItem items[kMaxCoverTexts];
  int count = 0;
  if (!BuildCoverTexts(entry, info, extras, items, &count)) return -1;
  int size = kCoverPreambleSize;
  int slot = -1, pointSize = 0;
  for (int i = 0; i < count; ++i) {
    std::string ansi;
    if (!CoverAnsi(items[i].text, &ansi)) return -1;
    if (items[i].fontSlot != slot) size += 4;
    if (items[i].size != pointSize) size += 26;
    size += 15 + 5 * static_cast<int>(ansi.size());
    slot = items[i].fontSlot;
    pointSize = items[i].size;
  }
  return size;
}

int WriteCoverRecords(const ExtendedFaxDestination* entry, const CoverInformation* info, const CoverExtras* extras,
                      Pdev* pdev, BYTE* buffer, DWORD capacity) {
  if (pdev == nullptr || buffer == nullptr) return -1;
  CoverTextItem items[kMaxCoverTexts];
  int count = 0;
  if (!BuildCoverTexts(entry, info, extras, items, &count)) return -1;
  RecordWriter w{buffer, capacity, 0, true};
  WriteCoverPreamble(&w);
  int slot = -1, pointSize = 0;
  for (int i = 0; i < count; ++i) {
    PreparedCoverText prepared;
    if (!PrepareCoverText(pdev, &items[i], &prepared)) return -1;
    if (items[i].fontSlot != slot) {
      PutOpcode(&w, kDlFontSF);
      PutU16(&w, prepared.fontNumber);
    }
    if (items[i].size != pointSize) {
      float matrix[6];
      MakeTextMatrix(pdev, items[i].size, matrix);
      PutOpcode(&w, kDlCoverTextMatrix);
      for (float v : matrix) PutFloat(&w, v);
    }
    WriteTextRecord(&w, prepared);
    slot = items[i].fontSlot;
    pointSize = items[i].size;
  }
  return w.fits ? static_cast<int>(w.length) : -1;
}
