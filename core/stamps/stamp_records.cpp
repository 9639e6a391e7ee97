#include "core/stamps/stamp_records.h"

#include <cstring>
#include <span>
#include <vector>

#include "core/runtime/resource_module.h"
#include "items/item_ids.h"
#include "platform/base/byte_order.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/byte_stream.h"
#include "platform/kernel/resource.h"

namespace {

constexpr WCHAR kUndefined[] = u"Undefined";
constexpr int kNumberChars = 12;  // a number's string, with the terminator
constexpr COLORREF kStampColor = 0x000033FF;
constexpr BYTE kQuality = 2;

constexpr StampFontTemplate Font(WORD heightId, WORD escapementId, WORD orientationId, WORD weight, WORD faceId) {
  return {heightId, 0, escapementId, orientationId, weight, 0, 0, 0, kItemStampCharSet, 0, 0, kQuality, 0, faceId};
}

constexpr StampRow Row(WORD nameId, DWORD light, WORD frame, WORD position, StampFontTemplate font) {
  return {nameId, WORD(nameId + 1), kStampColor, 1, light, frame, position, 0, font};
}

// Row 0 is the default stamp; rows 1 to 6 the built-in ones.
constexpr StampRow kStampRows[kBuiltInStampCount + 1] = {
    Row(1791, 1, 0, 0x0202, Font(5149, 5158, 5159, 700, 1793)),
    Row(1794, 1, 2, 0x0202, Font(5150, 5160, 5161, 0, 1796)),
    Row(1797, 0, 1, 0x0301, Font(5151, 5162, 5163, 700, 1799)),
    Row(1800, 0, 1, 0x0301, Font(5152, 5164, 5165, 700, 1802)),
    Row(1803, 0, 1, 0x0301, Font(5153, 5166, 5167, 700, 1805)),
    Row(1806, 1, 0, 0x0202, Font(5154, 5168, 5169, 0, 1808)),
    Row(1809, 1, 0, 0x0202, Font(5155, 5170, 5171, 0, 1811)),
};

constexpr StampFontTemplate kDefaultFont = Font(5156, 5172, 5173, 400, 1812);

// A resource string of at most size-1 characters; "Undefined" when it is empty or absent.
void LoadTextOrUndefined(HMODULE module, UINT id, LPWSTR out, int size) {
  if (LoadStringW(module, id, out, size) <= 0 || out[0] == 0) lstrcpynW(out, kUndefined, size);
}

LONG LoadNumber(HMODULE module, UINT id) {
  WCHAR text[kNumberChars] = {};
  LoadStringW(module, id, text, kNumberChars);
  return _wtoi(text);
}

void WriteChars(ByteWriter& w, const WCHAR* chars, int count) {
  for (int i = 0; i < count; ++i) w.U16(chars[i]);
}

void ReadChars(ByteReader& r, WCHAR* chars, int count) {
  for (int i = 0; i < count; ++i) chars[i] = r.U16();
}

}  // namespace

const StampRow* GetStampRow(int row) {
  return row >= 0 && row <= kBuiltInStampCount ? &kStampRows[row] : nullptr;
}

void EncodeStampRecord(const StampRecord* record, BYTE out[kStampRecordBytes]) {
  std::vector<BYTE> bytes;
  ByteWriter w{bytes};
  WriteChars(w, record->name, kStampNameChars);
  WriteChars(w, record->text, kStampTextChars);
  w.U32(record->color);
  w.U16(record->colorChoice);
  w.U16(0);
  w.U32(record->lightFlag);
  w.U16(record->frameKind);
  w.U16(record->position);
  w.U32(record->repeatFlag);
  const LOGFONTW& f = record->font;
  for (LONG v : {f.lfHeight, f.lfWidth, f.lfEscapement, f.lfOrientation, f.lfWeight}) w.U32(static_cast<DWORD>(v));
  for (BYTE v : {f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision, f.lfClipPrecision,
                 f.lfQuality, f.lfPitchAndFamily})
    w.U8(v);
  WriteChars(w, f.lfFaceName, LF_FACESIZE);
  std::memcpy(out, bytes.data(), kStampRecordBytes);
}

BOOL StoredStampName(const BYTE* bytes, DWORD size, WCHAR name[kStampNameChars]) {
  if (bytes == nullptr || name == nullptr) return FALSE;
  const DWORD present = size / sizeof(WCHAR) < DWORD(kStampNameChars) ? size / sizeof(WCHAR) : kStampNameChars;
  for (DWORD i = 0; i < present; ++i) {
    name[i] = WCHAR(GetLE16(bytes + 2 * i));
    if (name[i] == 0) return TRUE;
  }
  return FALSE;
}

BOOL DecodeStampRecord(const BYTE* bytes, DWORD size, StampRecord* record) {
  WCHAR name[kStampNameChars];
  if (record == nullptr || size != kStampRecordBytes || !StoredStampName(bytes, size, name)) return FALSE;
  StampRecord r{};
  ByteReader reader{std::span<const BYTE>(bytes, size)};
  ReadChars(reader, r.name, kStampNameChars);
  ReadChars(reader, r.text, kStampTextChars);
  r.color = reader.U32();
  r.colorChoice = reader.U16();
  reader.U16();
  r.lightFlag = reader.U32();
  r.frameKind = reader.U16();
  r.position = reader.U16();
  r.repeatFlag = reader.U32();
  LOGFONTW& f = r.font;
  for (LONG* v : {&f.lfHeight, &f.lfWidth, &f.lfEscapement, &f.lfOrientation, &f.lfWeight})
    *v = static_cast<LONG>(reader.U32());
  for (BYTE* v : {&f.lfItalic, &f.lfUnderline, &f.lfStrikeOut, &f.lfCharSet, &f.lfOutPrecision, &f.lfClipPrecision,
                  &f.lfQuality, &f.lfPitchAndFamily})
    *v = reader.U8();
  ReadChars(reader, f.lfFaceName, LF_FACESIZE);
  if (!reader.ok) return FALSE;
  r.text[kStampTextChars - 1] = 0;
  f.lfFaceName[LF_FACESIZE - 1] = 0;
  *record = r;
  return TRUE;
}

BOOL LoadFontRecordFromResources(LOGFONTW* font, const StampFontTemplate* fontTemplate) {
  if (font == nullptr || fontTemplate == nullptr) return FALSE;
  HMODULE module = GetResourceModule();
  LOGFONTW f{};
  f.lfHeight = LoadNumber(module, fontTemplate->heightId);
  f.lfWidth = fontTemplate->width;
  f.lfEscapement = LoadNumber(module, fontTemplate->escapementId);
  f.lfOrientation = LoadNumber(module, fontTemplate->orientationId);
  f.lfWeight = fontTemplate->weight;
  f.lfItalic = fontTemplate->italic;
  f.lfUnderline = fontTemplate->underline;
  f.lfStrikeOut = fontTemplate->strikeOut;
  f.lfCharSet = static_cast<BYTE>(LoadNumber(module, fontTemplate->charSetId));
  f.lfOutPrecision = fontTemplate->outPrecision;
  f.lfClipPrecision = fontTemplate->clipPrecision;
  f.lfQuality = fontTemplate->quality;
  f.lfPitchAndFamily = fontTemplate->pitchAndFamily;
  LoadTextOrUndefined(module, fontTemplate->faceId, f.lfFaceName, LF_FACESIZE);
  *font = f;
  return TRUE;
}

BOOL LoadDefaultFontRecord(LOGFONTW* font) { return LoadFontRecordFromResources(font, &kDefaultFont); }

BOOL LoadBuiltInStampRecord(StampRecord* record, const StampRow* row) {
  if (record == nullptr || row == nullptr) return FALSE;
  HMODULE module = GetResourceModule();
  StampRecord r{};
  LoadTextOrUndefined(module, row->nameId, r.name, kStampNameChars);
  LoadTextOrUndefined(module, row->textId, r.text, kStampTextChars);
  r.color = row->color;
  r.colorChoice = row->colorChoice;
  r.lightFlag = row->lightFlag;
  r.frameKind = row->frameKind;
  r.position = row->position;
  r.repeatFlag = row->repeatFlag;
  LoadFontRecordFromResources(&r.font, &row->font);
  *record = r;
  return TRUE;
}

WORD LoadBuiltInStampByName(LPCWSTR name, StampRecord* record) {
  if (name == nullptr || record == nullptr) return kStampNoKey;
  for (int row = 1; row <= kBuiltInStampCount; ++row) {
    StampRecord candidate;
    LoadBuiltInStampRecord(&candidate, GetStampRow(row));
    if (wcscmp(candidate.name, name) == 0) {
      *record = candidate;
      return kStampDone;
    }
  }
  return kStampNoKey;
}

int IsBuiltInStampName(LPCWSTR name) {
  StampRecord record;
  return name != nullptr && LoadBuiltInStampByName(name, &record) == kStampDone;
}

WORD GetBuiltInStampNames(LPWSTR buffer, DWORD* count, DWORD* size) {
  if (count == nullptr || size == nullptr) return kStampBadArgument;
  StampRecord records[kBuiltInStampCount];
  DWORD needed = sizeof(WCHAR);
  for (int i = 0; i < kBuiltInStampCount; ++i) {
    LoadBuiltInStampRecord(&records[i], GetStampRow(i + 1));
    needed += sizeof(WCHAR) * (lstrlenW(records[i].name) + 1);
  }
  const DWORD given = *size;
  *size = needed;
  *count = kBuiltInStampCount;
  if (buffer == nullptr || given < needed) return kStampBufferTooSmall;
  LPWSTR at = buffer;
  for (const StampRecord& record : records) {
    lstrcpyW(at, record.name);
    at += lstrlenW(record.name) + 1;
  }
  *at = 0;
  return kStampDone;
}
