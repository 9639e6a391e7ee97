// Loading referenced values, the format-level gated fields and the record accessors other
// parts use.
#include <cstring>

#include "core/database/dbrecords.h"
#include "platform/base/byte_order.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

bool IsType(const DatabaseRecord* record, WORD a, WORD b = 0) {
  return record && (record->h.type == a || (b && record->h.type == b));
}

DWORD LevelOf(const DatabaseRecord* record) { return record->h.stream ? record->h.stream->formatLevel : 0; }

// Hands the data of a picture record to the caller and frees the record.
BYTE* TakePictureData(DatabaseRecord* picture, DWORD* size) {
  auto* r = reinterpret_cast<PictureRecord*>(picture);
  BYTE* data = r->data;
  *size = r->dataSize;
  r->data = nullptr;
  FreeRecord(&picture, 12);
  return data;
}

}  // namespace

WORD LoadReferencedValue(StoredValue* value, DatabaseStream* stream) {
  if (!value || !stream || value->type != DDD_VALUE_REFERENCE || !value->present || value->length < 2) return kDbFailed;
  const BYTE* ref = static_cast<const BYTE*>(value->value);
  WORD position = GetLE16(ref);
  // A copy of the main stream, so no caller's cursor moves. Arrays lie in the main database:
  // a row that places one in the linked database finds no loaded stream and fails.
  DatabaseStream copy = *(stream->partner ? stream->partner : stream);
  DatabaseStream none = {};
  WORD database = 0;
  WORD status = SeekRecord(kDbByPosition, &copy, &none, kDbDirectoryMain, 20, position, &database);
  if (status != kDbOk) return status;
  DataArrayRecord array = {};
  if (SeekStream(&copy, kDbSeekRelative, DDD_RECORD_PREFIX) != kDbOk) return kDbFailed;
  status = ReadBinaryRecordHeader(&copy, &array);
  if (status != kDbOk) return status;
  void* elements = const_cast<BYTE*>(array.elements);
  BOOL owned = FALSE;
  WORD length = array.elementSize;
  if (array.elementType == DDD_VALUE_FLAG || array.elementType == DDD_VALUE_LONG) {
    // Widened into 32-bit numbers; the element length becomes 4 so walkers stride correctly.
    if (array.elementSize == 0 || (array.elementType == DDD_VALUE_LONG && array.elementSize != 4)) return kDbFailed;
    DWORD* numbers = array.count ? static_cast<DWORD*>(GlobalAlloc(GPTR, array.count * sizeof(DWORD))) : nullptr;
    if (array.count && !numbers) return kDbNoMemory;
    for (WORD i = 0; i < array.count; ++i) {
      const BYTE* e = array.elements + static_cast<DWORD>(i) * array.elementSize;
      numbers[i] = array.elementType == DDD_VALUE_FLAG
                       ? (e[0] != 0)
                       : GetLE32(e);
    }
    elements = numbers;
    owned = numbers != nullptr;
    length = sizeof(DWORD);
  }
  if (value->owned && value->value) GlobalFree(value->value);
  value->type = array.elementType;
  value->length = length;
  value->count = array.count;
  value->value = elements;
  value->owned = owned;
  value->present = array.count > 0;
  return kDbOk;
}

WORD GetVersionGatedField(const DatabaseRecord* record, WORD* field) {
  if (!record || !field) return kDbFailed;
  DWORD level = LevelOf(record);
  switch (record->h.type) {
    case 10:
      if (level < DDD_LEVEL_0500) return kDbFailed;
      *field = reinterpret_cast<const PaperRecord*>(record)->gated;
      return kDbOk;
    case 11:
      if (level < DDD_LEVEL_0100) return kDbFailed;
      *field = reinterpret_cast<const DeviceFontRecord*>(record)->gated;
      return kDbOk;
    case 15:
      if (level < DDD_LEVEL_0500) return kDbFailed;
      *field = reinterpret_cast<const JobTemplate*>(record)->flags;
      return kDbOk;
    case 22:
      if (level < DDD_LEVEL_1000) return kDbFailed;
      *field = reinterpret_cast<const ConditionRecord*>(record)->flags;
      return kDbOk;
    default:
      return kDbFailed;
  }
}

LPCWSTR GetRecordName(const DatabaseRecord* record) {
  if (!record) return nullptr;
  switch (record->h.type) {
    case 3: case 4: return reinterpret_cast<const ChoiceListRecord*>(record)->name;
    case 5: case 6: return reinterpret_cast<const PaperSourceRecord*>(record)->name;
    case 10: return reinterpret_cast<const PaperRecord*>(record)->name;
    case 11: return reinterpret_cast<const DeviceFontRecord*>(record)->name;
    case 13: case 14: return reinterpret_cast<const ChoiceEntryRecord*>(record)->name;
    default: return nullptr;
  }
}

WORD GetSourceMinCustomSize(const DatabaseRecord* record, SizePairElement* pair) {
  if (!IsType(record, 5, 6) || !pair) return kDbFailed;
  *pair = reinterpret_cast<const PaperSourceRecord*>(record)->minCustom;
  return kDbOk;
}

WORD GetSourceMaxCustomSize(const DatabaseRecord* record, SizePairElement* pair) {
  if (!IsType(record, 5, 6) || !pair) return kDbFailed;
  *pair = reinterpret_cast<const PaperSourceRecord*>(record)->maxCustom;
  return kDbOk;
}

WORD GetSourcePaperEntry(const DatabaseRecord* record, WORD n, KeyElement* entry) {
  if (!IsType(record, 5, 6) || !entry) return kDbFailed;
  const KeyList& papers = reinterpret_cast<const PaperSourceRecord*>(record)->papers;
  if (n == 0 || n > papers.count) return kDbAbsent;
  *entry = papers.items[n - 1];
  return kDbOk;
}

WORD GetSourceEntryAttribute(const DatabaseRecord* record, WORD n, WORD* attribute) {
  if (!IsType(record, 5, 6) || !attribute) return kDbFailed;
  const KeyList& attributes = reinterpret_cast<const PaperSourceRecord*>(record)->attributes;
  if (n == 0 || n > attributes.count) return kDbAbsent;
  *attribute = attributes.items[n - 1].key;
  return kDbOk;
}

WORD GetPaperRecordSize(const DatabaseRecord* record, SizePairElement* pair) {
  if (!IsType(record, 10) || !pair) return kDbFailed;
  *pair = reinterpret_cast<const PaperRecord*>(record)->size;
  return kDbOk;
}

WORD GetPaperRecordAltSize(const DatabaseRecord* record, SizePairElement* pair) {
  if (!IsType(record, 10) || !pair) return kDbFailed;
  *pair = reinterpret_cast<const PaperRecord*>(record)->altSize;
  return kDbOk;
}

WORD GetPaperRecordMargins(const DatabaseRecord* record, SizePairElement* first, SizePairElement* second) {
  if (!IsType(record, 10) || !first || !second) return kDbFailed;
  *first = reinterpret_cast<const PaperRecord*>(record)->margin1;
  *second = reinterpret_cast<const PaperRecord*>(record)->margin2;
  return kDbOk;
}

WORD GetPaperRecordMinSize(const DatabaseRecord* record, SizePairElement* pair) {
  if (!IsType(record, 10) || !pair) return kDbFailed;
  *pair = reinterpret_cast<const PaperRecord*>(record)->minSize;
  return kDbOk;
}

WORD GetPaperRecordMaxSize(const DatabaseRecord* record, SizePairElement* pair) {
  if (!IsType(record, 10) || !pair) return kDbFailed;
  *pair = reinterpret_cast<const PaperRecord*>(record)->maxSize;
  return kDbOk;
}

WORD GetFontRecordText(const DatabaseRecord* record, WORD n, LPCWSTR* text) {
  if (!IsType(record, 11) || !text) return kDbFailed;
  const auto* r = reinterpret_cast<const DeviceFontRecord*>(record);
  if (n == 0 || n > r->faceCount) return kDbAbsent;
  *text = r->faces[n - 1];
  return kDbOk;
}

WORD GetFontRecordInfo(const DatabaseRecord* record, const BYTE** data, DWORD* size) {
  if (!IsType(record, 11) || !data || !size) return kDbFailed;
  const auto* r = reinterpret_cast<const DeviceFontRecord*>(record);
  *data = r->data;
  *size = r->dataSize;
  return kDbOk;
}

WORD GetPairListCount(const DatabaseRecord* record, WORD* count) {
  if (!count) return kDbFailed;
  if (IsType(record, 11)) *count = reinterpret_cast<const DeviceFontRecord*>(record)->pairCount;
  else if (IsType(record, 22)) *count = reinterpret_cast<const ConditionRecord*>(record)->pairs.count;
  else return kDbFailed;
  return kDbOk;
}

WORD GetPairListEntry(const DatabaseRecord* record, WORD n, WORD* length, BYTE* type, const void** value) {
  if (!length || !type || !value) return kDbFailed;
  const StoredValue* v = nullptr;
  WORD count = 0;
  if (IsType(record, 11)) {
    const auto* r = reinterpret_cast<const DeviceFontRecord*>(record);
    count = r->pairCount;
    if (n >= 1 && n <= count) v = &r->pairs[n - 1];
  } else if (IsType(record, 22)) {
    const auto* r = reinterpret_cast<const ConditionRecord*>(record);
    count = r->pairs.count;
    if (n >= 1 && n <= count) v = &r->pairs.items[n - 1].value;
  } else {
    return kDbFailed;
  }
  if (!v) return kDbAbsent;  // out of range is a failure, not a success with stale outputs
  *length = v->length;
  *type = v->type;
  *value = v->value;
  return kDbOk;
}

LPCWSTR GetJobTemplateKey(const DatabaseRecord* record) {
  return IsType(record, 15) ? reinterpret_cast<const JobTemplate*>(record)->key : nullptr;
}

LPCWSTR GetJobTemplateValue(const DatabaseRecord* record) {
  return IsType(record, 15) ? reinterpret_cast<const JobTemplate*>(record)->value : nullptr;
}

WORD GetType19Value(const DatabaseRecord* record, BYTE* value) {
  if (!IsType(record, 19) || !value || LevelOf(record) < DDD_LEVEL_0200) return kDbFailed;
  *value = reinterpret_cast<const MediaTypeRecord*>(record)->value;
  return kDbOk;
}

WORD GetType21Count(const DatabaseRecord* record, WORD* count) {
  if (!IsType(record, 21) || !count || LevelOf(record) < DDD_LEVEL_0300) return kDbFailed;
  *count = reinterpret_cast<const PresetRecord*>(record)->count;
  return kDbOk;
}

WORD GetType21Entry(const DatabaseRecord* record, WORD n, WORD* item, WORD* length, BYTE* type, const void** value) {
  if (!IsType(record, 21) || !item || !length || !type || !value || LevelOf(record) < DDD_LEVEL_0300) return kDbFailed;
  const auto* r = reinterpret_cast<const PresetRecord*>(record);
  if (n == 0 || n > r->count) return kDbAbsent;
  const PresetEntry& e = r->entries[n - 1];
  *item = e.item;
  *length = e.value.length;
  *type = e.value.type;
  *value = e.value.value;
  return kDbOk;
}

WORD GetNameListEntry(const DatabaseRecord* record, WORD n, LPCWSTR* name) {
  if (!IsType(record, 22) || !name) return kDbFailed;
  const auto* r = reinterpret_cast<const ConditionRecord*>(record);
  if (n == 0 || n > r->names.count) return kDbFailed;
  *name = r->names.items[n - 1].text;
  return kDbOk;
}

WORD ReadPictureOfRecord(DatabaseStream* main, DatabaseStream* linked, const DatabaseRecord* record, WORD* width,
                         WORD* height, BYTE** data, DWORD* size) {
  if (!IsType(record, 9) || !width || !height || !data || !size) return kDbFailed;
  *data = nullptr;
  const auto* r = reinterpret_cast<const PictureRefRecord*>(record);
  DatabaseRecord* picture = nullptr;
  WORD status = ReadKeyedRecord(TRUE, main, linked, 12, r->picture.picture.key, 0, &picture);
  if (status != kDbOk) return status;
  *width = r->picture.width;
  *height = r->picture.height;
  *data = TakePictureData(picture, size);
  return kDbOk;
}

BYTE* ReadModelPictureRecord(DatabaseStream* main, DatabaseStream* linked, WORD* width, WORD* height, DWORD* size) {
  if (!width || !height || !size) return nullptr;
  WORD key = static_cast<WORD>(ReadSectionValue(main, DDD_SECTION_MODEL_PICTURE, 2, 0));
  DatabaseRecord* picture = nullptr;
  if (ReadKeyedRecord(TRUE, main, linked, 12, key, 0, &picture) != kDbOk) return nullptr;
  const auto* r = reinterpret_cast<const PictureRecord*>(picture);
  *width = r->width;
  *height = r->height;
  return TakePictureData(picture, size);
}

WORD ReadDataBlockOfRecord(DatabaseStream* main, DatabaseStream* linked, const DatabaseRecord* record,
                           DataBlock** block) {
  if (!block) return kDbFailed;
  *block = nullptr;
  WORD key = 0;
  if (IsType(record, 3, 4)) key = reinterpret_cast<const ChoiceListRecord*>(record)->block.key;
  else if (IsType(record, 13, 14)) key = reinterpret_cast<const ChoiceEntryRecord*>(record)->block.key;
  else return kDbFailed;
  if (key == 0) return kDbAbsent;
  DatabaseRecord* found = nullptr;
  WORD status = ReadKeyedRecord(FALSE, main, linked, 18, key, 0, &found);
  if (status != kDbOk) return status;
  found->h.type = DDD_KIND_DATA_BLOCK;
  *block = reinterpret_cast<DataBlock*>(found);
  return kDbOk;
}
