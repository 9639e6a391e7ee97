// Stamp records: the 308-byte StampRecord that the stamp store keeps per stamp, its field-by-
// field stored form, the compiled-in default and six built-in stamps built from the resource
// module's strings, and the default font.
#pragma once

#include "core/stamps/stamp_status.h"
#include "platform/base/types.h"

inline constexpr int kStampNameChars = 33;  // with the terminator
inline constexpr int kStampTextChars = 65;
inline constexpr DWORD kStampRecordBytes = 308;
inline constexpr int kBuiltInStampCount = 6;

// In memory; the stored form is written and read field by field (EncodeStampRecord).
struct StampRecord {
  WCHAR name[kStampNameChars];   // 0
  WCHAR text[kStampTextChars];   // 66
  COLORREF color;                // 196
  WORD colorChoice;              // 200: 1-7 predefined colours, 8 custom
  WORD reserved;                 // 202
  DWORD lightFlag;               // 204
  WORD frameKind;                // 208: 0 none, 1 box, 2 circle
  WORD position;                 // 210: 0 tiled, else 0x100/0x200/0x300 | 1/2/3
  DWORD repeatFlag;              // 212
  LOGFONTW font;                 // 216
};

// A font whose numbers and face come from resource strings (their decimal text).
struct StampFontTemplate {
  WORD heightId;
  WORD width;
  WORD escapementId;
  WORD orientationId;
  WORD weight;
  BYTE italic;
  BYTE underline;
  BYTE strikeOut;
  WORD charSetId;
  BYTE outPrecision;
  BYTE clipPrecision;
  BYTE quality;
  BYTE pitchAndFamily;
  WORD faceId;
};

struct StampRow {
  WORD nameId;
  WORD textId;
  COLORREF color;
  WORD colorChoice;
  DWORD lightFlag;
  WORD frameKind;
  WORD position;
  DWORD repeatFlag;
  StampFontTemplate font;
};

// Row 0 is the default stamp, rows 1 to 6 the built-in stamps; NULL for any other row.
const StampRow* GetStampRow(int row);

// The stored form: exactly 308 bytes, little-endian, field by field.
void EncodeStampRecord(const StampRecord* record, BYTE out[kStampRecordBytes]);
// Reads a stored stamp of exactly 308 bytes whose name ends within its 33 characters: TRUE.
// A text or face name that fills its whole field is cut to leave room for the terminator.
BOOL DecodeStampRecord(const BYTE* bytes, DWORD size, StampRecord* record);
// Copies the name at the start of stored bytes: TRUE when it ends (NUL) within its 33
// characters and within the bytes really present.
BOOL StoredStampName(const BYTE* bytes, DWORD size, WCHAR name[kStampNameChars]);

// Builds a record from a row with the resource module's strings; an empty name, text or face
// becomes "Undefined".
BOOL LoadBuiltInStampRecord(StampRecord* record, const StampRow* row);
BOOL LoadFontRecordFromResources(LOGFONTW* font, const StampFontTemplate* fontTemplate);
// The default font used for other fonts of the settings.
BOOL LoadDefaultFontRecord(LOGFONTW* font);

// 1 when one of the six built-in stamps has the name, else 0.
int IsBuiltInStampName(LPCWSTR name);
// The built-in stamp of that name: 1, or 8 when none has it (the record unchanged).
WORD LoadBuiltInStampByName(LPCWSTR name, StampRecord* record);
// The six built-in names, each with its terminator, then a final terminator. *size (bytes) is
// set to the size that needs and *count to 6; 1 when the buffer received them, 12 when it is
// missing or smaller than *size was on entry.
WORD GetBuiltInStampNames(LPWSTR buffer, DWORD* count, DWORD* size);
