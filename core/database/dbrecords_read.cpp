// Finding and parsing records. Each record body is a u32 length (the bytes after it), the u16
// key and the fields of its type in the order of core/dblayout.h; every list is a u32 length,
// a u16 count and the elements. Lengths and counts are checked against the bytes present
// before anything is allocated, and a body or list whose length does not match what its fields
// take is refused: the file is not what its layout says.
#include <cstring>

#include "core/database/dbrecords.h"
#include "platform/base/byte_order.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

// Smallest file size of one list element, to refuse counts the list cannot hold.
constexpr DWORD kKeyBytes = 2;
constexpr DWORD kItemValueBytes = 8;  // u16, u8, u16, value type u8, value length u16
constexpr DWORD kConditionBytes = kItemValueBytes + 1;
constexpr DWORD kTextBytes = 2;
constexpr DWORD kValueBytes = 3;
constexpr DWORD kTripleBytes = 6;
constexpr DWORD kPresetBytes = 2 + kValueBytes;
// Bytes of a choice list body between the name and the choice count: kind, default position,
// size-range key and the choice list's u32 length.
constexpr DWORD kListHeadAfterName = 1 + 2 + 2 + 4;

// A parse in progress over one stream; after the first failure every read does nothing and
// the failure's status is kept.
struct Parser {
  DatabaseStream* s;
  WORD status = kDbOk;

  bool Ok() const { return status == kDbOk; }
  void Fail(WORD st) {
    if (status == kDbOk) status = st;
  }
  DWORD Remaining() const { return s->size - s->cursor; }

  BYTE U8() {
    BYTE v = 0;
    if (Ok() && ReadStreamByte(s, &v) != kDbOk) Fail(kDbFailed);
    return Ok() ? v : 0;
  }
  WORD U16() {
    WORD v = 0;
    if (Ok() && ReadStreamWord(s, &v) != kDbOk) Fail(kDbFailed);
    return Ok() ? v : 0;
  }
  DWORD U32() {
    DWORD v = 0;
    if (Ok() && ReadStreamDword(s, &v) != kDbOk) Fail(kDbFailed);
    return Ok() ? v : 0;
  }
  void Skip(DWORD n) {
    if (Ok() && (n > Remaining() || SeekStream(s, kDbSeekRelative, static_cast<LONG>(n)) != kDbOk)) Fail(kDbFailed);
  }
  void* Alloc(SIZE_T bytes) {
    if (!Ok()) return nullptr;
    void* p = GlobalAlloc(GPTR, bytes);
    if (!p) Fail(kDbNoMemory);
    return p;
  }
  // Bytes of the file at the cursor, not copied.
  const BYTE* Point(DWORD n) {
    if (!Ok()) return nullptr;
    if (n > Remaining()) {
      Fail(kDbFailed);
      return nullptr;
    }
    const BYTE* p = s->data + s->cursor;
    s->cursor += n;
    return p;
  }
  BYTE* Copy(DWORD n) {
    const BYTE* from = Point(n);
    BYTE* to = from && n ? static_cast<BYTE*>(Alloc(n)) : nullptr;
    if (to) std::memcpy(to, from, n);
    return to;
  }

  void Text(LPWSTR* text) {
    if (!Ok()) return;
    WORD st = ReadCountedText(s, text);
    if (st != kDbOk) Fail(st);
  }
  void TextOfSize(WORD n, LPWSTR* text) {
    if (!Ok()) return;
    WORD st = ReadStoredText(s, text, &n);
    if (st != kDbOk) Fail(st);
  }
  void Key(KeyElement* key) {
    key->kind = DDD_ELEMENT_KEY;
    key->key = U16();
  }
  void Pair(SizePairElement* pair) {
    pair->kind = DDD_ELEMENT_SIZE_PAIR;
    pair->width = U16();
    pair->length = U16();
  }

  // StoredValue: u8 type, u16 length, value. Types 1 and 10 become owned 32-bit numbers,
  // type 6 an owned wide string; the others point into the file.
  void Value(StoredValue* v) {
    v->type = U8();
    WORD n = U16();
    if (!Ok()) return;
    if (n > Remaining()) return Fail(kDbFailed);
    if (n == 0) return;  // no value
    if (v->type == DDD_VALUE_FLAG || v->type == DDD_VALUE_LONG) {
      // A flag is its first byte (all n bytes are consumed); a type-10 value is exactly 4 bytes.
      if (v->type == DDD_VALUE_LONG && n != 4) return Fail(kDbFailed);
      const BYTE* bytes = Point(n);
      DWORD* number = static_cast<DWORD*>(Alloc(sizeof(DWORD)));
      if (!number) return;
      *number = v->type == DDD_VALUE_FLAG
                    ? (bytes[0] != 0)
                    : GetLE32(bytes);
      v->value = number;
      v->owned = TRUE;
      v->length = sizeof(DWORD);
    } else if (v->type == DDD_VALUE_STRING) {
      LPWSTR text = nullptr;
      WORD length = n;
      WORD st = ReadStoredText(s, &text, &length);
      if (st != kDbOk) return Fail(st);
      v->value = text;
      v->owned = TRUE;
      v->length = length;
    } else {
      v->value = const_cast<BYTE*>(Point(n));
      v->length = n;
    }
    v->count = 1;
    v->present = TRUE;
  }
  void ItemValue(ItemValueElement* e, WORD kind) {
    e->kind = kind;
    e->spare = U16();
    e->op = U8();
    e->item = U16();
    Value(&e->value);
  }
  void Condition(ConditionElement* c) {
    ItemValue(&c->test, DDD_ELEMENT_CONDITION);
    c->connector = U8();
  }

  // A list: u32 length of what follows, u16 count, elements; the length must match.
  template <typename T, typename F>
  void List(WORD* count, T** items, DWORD minBytes, F each) {
    DWORD length = U32();
    DWORD start = s->cursor;
    if (Ok() && (length < 2 || length > Remaining())) return Fail(kDbFailed);
    WORD n = U16();
    if (!Ok()) return;
    if (static_cast<DWORD>(n) * minBytes > length - 2) return Fail(kDbFailed);
    if (n) {
      *items = static_cast<T*>(Alloc(static_cast<SIZE_T>(n) * sizeof(T)));
      if (!*items) return;
      *count = n;
      for (WORD i = 0; i < n && Ok(); ++i) each(&(*items)[i]);
    }
    if (Ok() && s->cursor - start != length) Fail(kDbFailed);
  }
  void SkipList() { Skip(U32()); }

  void Keys(KeyList* list) {
    List(&list->count, &list->items, kKeyBytes, [&](KeyElement* k) { Key(k); });
  }
  void Conditions(ConditionList* list) {
    List(&list->count, &list->items, kConditionBytes, [&](ConditionElement* c) { Condition(c); });
  }
  void ItemValues(ItemValueList* list) {
    List(&list->count, &list->items, kItemValueBytes,
         [&](ItemValueElement* e) { ItemValue(e, DDD_ELEMENT_ITEM_VALUE); });
  }
  void Texts(TextList* list) {
    List(&list->count, &list->items, kTextBytes, [&](TextElement* t) {
      t->kind = DDD_ELEMENT_TEXT;
      Text(&t->text);
    });
  }
  void Values(ValueList* list) {
    List(&list->count, &list->items, kValueBytes, [&](ValueElement* v) {
      v->kind = DDD_ELEMENT_VALUE;
      Value(&v->value);
    });
  }
  void Triples(TripleList* list) {
    List(&list->count, &list->items, kTripleBytes, [&](TripleElement* t) {
      t->kind = DDD_ELEMENT_TRIPLE;
      t->first = U16();
      t->second = U16();
      t->third = U16();
    });
  }
  // u16 count, count u16 byte counts, then the texts (type 11).
  void CountedTexts(WORD* count, LPWSTR** texts) {
    WORD n = U16();
    if (!Ok() || n == 0) return;
    if (static_cast<DWORD>(n) * 2 > Remaining()) return Fail(kDbFailed);
    const BYTE* sizes = Point(static_cast<DWORD>(n) * 2);
    *texts = static_cast<LPWSTR*>(Alloc(static_cast<SIZE_T>(n) * sizeof(LPWSTR)));
    if (!*texts) return;
    *count = n;
    for (WORD i = 0; i < n && Ok(); ++i) TextOfSize(GetLE16(sizes + 2 * i), &(*texts)[i]);
  }
  void Bytes16(WORD* size, BYTE** data) {
    WORD n = U16();
    BYTE* copy = Copy(n);
    if (Ok()) {
      *size = n;
      *data = copy;
    }
  }
};

bool HasLevel(const DatabaseStream* stream, DWORD level) { return stream->formatLevel >= level; }

void ParseChoiceList(Parser& p, ChoiceListRecord* r) {
  p.Text(&r->name);
  r->kind = p.U8();
  r->defaultPosition = p.U16();
  p.Key(&r->range);
  p.Keys(&r->choices);
  p.Keys(&r->rules);
  p.Keys(&r->requirements);
  p.Key(&r->block);
  if (HasLevel(p.s, DDD_LEVEL_0400)) p.Text(&r->name2);
}

void ParseChoiceEntry(Parser& p, BOOL withData, ChoiceEntryRecord* r) {
  p.Text(&r->name);
  r->refType = p.U16();
  p.Key(&r->refKey);
  if (withData) {
    p.Key(&r->range);
    p.Keys(&r->rules);
    p.Keys(&r->requirements);
  } else {
    r->range.kind = DDD_ELEMENT_KEY;
    p.Skip(kKeyBytes);
    p.SkipList();
    p.SkipList();
  }
  p.Value(&r->value);
  p.Key(&r->block);
}

void ParsePaperSource(Parser& p, PaperSourceRecord* r) {
  p.Text(&r->name);
  r->rangeKey = p.U16();
  r->deviceCode = p.U16();
  p.Keys(&r->papers);
  p.Keys(&r->attributes);
  if (HasLevel(p.s, DDD_LEVEL_0200)) r->flags = p.U8();
  if (HasLevel(p.s, DDD_LEVEL_0400)) p.Text(&r->name2);
}

void ParseConstraint(Parser& p, ConstraintRecord* r) {
  p.ItemValue(&r->watch, DDD_ELEMENT_ITEM_VALUE);
  r->messageWord = p.U16();
  p.Text(&r->message);
  p.Conditions(&r->conditions);
  p.ItemValues(&r->forced);
}

void ParsePaper(Parser& p, PaperRecord* r) {
  p.Text(&r->name);
  r->code = p.U8();
  r->sizeKey = p.U16();
  r->limitsKey = p.U16();
  r->marginKey = p.U16();
  r->word1 = p.U16();
  r->word2 = p.U16();
  if (HasLevel(p.s, DDD_LEVEL_0200)) {
    r->flag2 = p.U8();
    r->extraKey = p.U16();
  }
  if (HasLevel(p.s, DDD_LEVEL_0500)) r->gated = p.U16();
}

void ParseDeviceFont(Parser& p, BOOL withData, DeviceFontRecord* r) {
  p.Text(&r->name);
  p.Text(&r->name2);
  p.CountedTexts(&r->faceCount, &r->faces);
  p.CountedTexts(&r->textCount2, &r->texts2);
  p.Skip(p.U16());
  DWORD size = p.U32();
  const BYTE* data = p.Point(size);
  if (withData && p.Ok()) {
    r->dataSize = size;
    r->data = data;
  }
  if (HasLevel(p.s, DDD_LEVEL_0100)) r->gated = p.U16();
  if (HasLevel(p.s, DDD_LEVEL_0400)) {
    WORD n = p.U16();
    if (!p.Ok() || n == 0) return;
    if (static_cast<DWORD>(n) * kValueBytes > p.Remaining()) return p.Fail(kDbFailed);
    r->pairs = static_cast<StoredValue*>(p.Alloc(static_cast<SIZE_T>(n) * sizeof(StoredValue)));
    if (!r->pairs) return;
    r->pairCount = n;
    for (WORD i = 0; i < n && p.Ok(); ++i) p.Value(&r->pairs[i]);
  }
}

void ParsePicture(Parser& p, BOOL withData, PictureRecord* r) {
  r->kind = p.U8();
  r->width = p.U16();
  r->height = p.U16();
  p.Skip(p.U16());
  DWORD size = p.U32();
  if (!p.Ok()) return;
  if (!withData) return p.Skip(size);
  if (r->kind != 1 && r->kind != 2) return p.Fail(kDbFailed);
  if (size < DDD_PICTURE_FILE_HEADER || size > p.Remaining()) return p.Fail(kDbFailed);
  p.Skip(DDD_PICTURE_FILE_HEADER);
  r->data = p.Copy(size - DDD_PICTURE_FILE_HEADER);
  if (p.Ok()) r->dataSize = size - DDD_PICTURE_FILE_HEADER;
}

void ParseJobTemplate(Parser& p, JobTemplate* r) {
  r->item = p.U16();
  p.Conditions(&r->conditions);
  p.Text(&r->key);
  p.Text(&r->value);
  if (HasLevel(p.s, DDD_LEVEL_0500)) r->flags = p.U16();
}

void ParseConditionRecord(Parser& p, ConditionRecord* r) {
  r->selector = p.U16();
  r->item = p.U16();
  r->valueType = p.U8();
  r->valueLength = p.U16();
  if (r->valueType == DDD_VALUE_FLAG) r->valueLength = sizeof(DWORD);
  r->deviceType = p.U8();
  if (HasLevel(p.s, DDD_LEVEL_1000)) r->flags = p.U16();
  r->index = p.U16();
  p.Texts(&r->names);
  p.Values(&r->pairs);
}

void ParseBody(Parser& p, BOOL withData, WORD type, DatabaseRecord* record) {
  switch (type) {
    case 3: case 4: return ParseChoiceList(p, reinterpret_cast<ChoiceListRecord*>(record));
    case 13: case 14: return ParseChoiceEntry(p, withData, reinterpret_cast<ChoiceEntryRecord*>(record));
    case 5: case 6: return ParsePaperSource(p, reinterpret_cast<PaperSourceRecord*>(record));
    case 7: case 8: return ParseConstraint(p, reinterpret_cast<ConstraintRecord*>(record));
    case 9: {
      auto* r = reinterpret_cast<PictureRefRecord*>(record);
      p.Conditions(&r->conditions);
      r->picture.kind = DDD_ELEMENT_PICTURE_REF;
      r->picture.width = p.U16();
      r->picture.height = p.U16();
      return p.Key(&r->picture.picture);
    }
    case 10: return ParsePaper(p, reinterpret_cast<PaperRecord*>(record));
    case 11: return ParseDeviceFont(p, withData, reinterpret_cast<DeviceFontRecord*>(record));
    case 12: return ParsePicture(p, withData, reinterpret_cast<PictureRecord*>(record));
    case 15: return ParseJobTemplate(p, reinterpret_cast<JobTemplate*>(record));
    case 16: {
      auto* r = reinterpret_cast<Type16Record*>(record);
      p.Conditions(&r->conditions);
      r->byte1 = p.U8();
      r->byte2 = p.U8();
      return p.Bytes16(&r->dataSize, &r->data);
    }
    case 17: {
      auto* r = reinterpret_cast<SizeRangeRecord*>(record);
      p.Pair(&r->first);
      return p.Pair(&r->second);
    }
    case 18: {
      auto* r = reinterpret_cast<DataBlock*>(record);
      return p.Bytes16(&r->length, &r->data);
    }
    case 19: {
      auto* r = reinterpret_cast<MediaTypeRecord*>(record);
      if (!HasLevel(p.s, DDD_LEVEL_0200)) return p.Fail(kDbFailed);
      p.Text(&r->name);
      r->value = p.U8();
      if (HasLevel(p.s, DDD_LEVEL_0400)) p.Text(&r->name2);
      return;
    }
    case 20: {
      WORD st = ReadBinaryRecordHeader(p.s, reinterpret_cast<DataArrayRecord*>(record));
      if (st != kDbOk) p.Fail(st);
      return;
    }
    case 21: {
      auto* r = reinterpret_cast<PresetRecord*>(record);
      p.Text(&r->name);
      return p.List(&r->count, &r->entries, kPresetBytes, [&](PresetEntry* e) {
        e->item = p.U16();
        p.Value(&e->value);
      });
    }
    case 22: return ParseConditionRecord(p, reinterpret_cast<ConditionRecord*>(record));
    case 23: {
      auto* r = reinterpret_cast<TrayRuleRecord*>(record);
      p.Conditions(&r->conditions);
      return p.Triples(&r->triples);
    }
    default: return p.Fail(kDbFailed);
  }
}

SIZE_T RecordSize(WORD type) {
  switch (type) {
    case 3: case 4: return sizeof(ChoiceListRecord);
    case 5: case 6: return sizeof(PaperSourceRecord);
    case 7: case 8: return sizeof(ConstraintRecord);
    case 9: return sizeof(PictureRefRecord);
    case 10: return sizeof(PaperRecord);
    case 11: return sizeof(DeviceFontRecord);
    case 12: return sizeof(PictureRecord);
    case 13: case 14: return sizeof(ChoiceEntryRecord);
    case 15: return sizeof(JobTemplate);
    case 16: return sizeof(Type16Record);
    case 17: return sizeof(SizeRangeRecord);
    case 18: return sizeof(DataBlock);
    case 19: return sizeof(MediaTypeRecord);
    case 20: return sizeof(DataArrayRecord);
    case 21: return sizeof(PresetRecord);
    case 22: return sizeof(ConditionRecord);
    case 23: return sizeof(TrayRuleRecord);
    default: return 0;
  }
}

// Copies the two pairs of the type-17 record with the key; a missing record answers 2.
WORD ResolveSizeRange(DatabaseStream* main, DatabaseStream* linked, WORD key, SizePairElement* first,
                      SizePairElement* second) {
  DatabaseRecord* range = nullptr;
  WORD status = ReadKeyedRecord(FALSE, main, linked, 17, key, 0, &range);
  if (status != kDbOk) return status;
  const auto* r = reinterpret_cast<const SizeRangeRecord*>(range);
  *first = r->first;
  *second = r->second;
  FreeRecord(&range, 17);
  return kDbOk;
}

WORD ResolveSizeRanges(DatabaseStream* main, DatabaseStream* linked, WORD type, DatabaseRecord* record) {
  if (type == 5 || type == 6) {
    auto* r = reinterpret_cast<PaperSourceRecord*>(record);
    return ResolveSizeRange(main, linked, r->rangeKey, &r->minCustom, &r->maxCustom);
  }
  if (type != 10) return kDbOk;
  auto* r = reinterpret_cast<PaperRecord*>(record);
  WORD status = ResolveSizeRange(main, linked, r->sizeKey, &r->size, &r->altSize);
  if (status == kDbOk) status = ResolveSizeRange(main, linked, r->marginKey, &r->margin1, &r->margin2);
  if (status == kDbOk) status = ResolveSizeRange(main, linked, r->limitsKey, &r->minSize, &r->maxSize);
  if (status == kDbOk && r->extraKey != 0) status = ResolveSizeRange(main, linked, r->extraKey, &r->extra1, &r->extra2);
  return status;
}

}  // namespace

WORD ReadBinaryRecordHeader(DatabaseStream* stream, DataArrayRecord* record) {
  if (!stream || !record) return kDbFailed;
  Parser p{stream};
  record->spare = p.U16();
  record->elementType = p.U8();
  record->elementSize = p.U16();
  record->spare2 = p.U32();
  record->count = p.U16();
  DWORD bytes = static_cast<DWORD>(record->count) * record->elementSize;
  record->elements = p.Point(bytes);
  if (!p.Ok()) {
    record->count = 0;
    record->elements = nullptr;
  }
  return p.status;
}

WORD ParseRecord(BOOL withData, DatabaseStream* stream, DatabaseStream* main, DatabaseStream* linked, WORD type,
                 DatabaseRecord** record) {
  if (!record) return kDbFailed;
  *record = nullptr;
  SIZE_T size = RecordSize(type);
  if (!stream || !stream->loaded || size == 0) return kDbFailed;
  DatabaseRecord* built = static_cast<DatabaseRecord*>(GlobalAlloc(GPTR, size));
  if (!built) return kDbNoMemory;
  built->h.type = type;
  built->h.stream = stream;
  Parser p{stream};
  DWORD length = p.U32();
  DWORD start = stream->cursor;
  if (p.Ok() && length > p.Remaining()) p.Fail(kDbFailed);
  built->h.key = p.U16();
  ParseBody(p, withData, type, built);
  if (p.Ok() && stream->cursor - start != length) p.Fail(kDbFailed);
  WORD status = p.status;
  if (status == kDbOk) status = ResolveSizeRanges(main, linked, type, built);
  if (status != kDbOk) {
    FreeRecord(&built, type);
    return status;
  }
  *record = built;
  return kDbOk;
}

WORD SeekKeyedRecord(DatabaseStream* main, DatabaseStream* linked, WORD type, WORD key, WORD entry, WORD* database) {
  if (!database) return kDbFailed;
  WORD status = SeekRecord(kDbByKey, main, linked, kDbDirectoryMain, type, key, database);
  if (status != kDbOk || entry == 0 || (type != 3 && type != 4)) return status;
  // Walk the list body straight to its entry-th choice key.
  Parser p{*database == DDD_DATABASE_MAIN ? main : linked};
  p.Skip(4 + 2);
  p.Skip(p.U16());
  p.Skip(kListHeadAfterName);
  WORD count = p.U16();
  if (!p.Ok()) return p.status;
  if (entry > count) return kDbAbsent;
  p.Skip(static_cast<DWORD>(entry - 1) * kKeyBytes);
  WORD choice = p.U16();
  if (!p.Ok()) return p.status;
  return SeekRecord(kDbByKey, main, linked, kDbDirectoryMain, type == 3 ? 13 : 14, choice, database);
}

WORD ReadKeyedRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, WORD type, WORD key, WORD entry,
                     DatabaseRecord** record) {
  if (!record) return kDbFailed;
  *record = nullptr;
  if (!main || !linked) return kDbFailed;
  WORD database = 0;
  WORD status = SeekKeyedRecord(main, linked, type, key, entry, &database);
  if (status != kDbOk) return status;
  WORD parsedType = entry != 0 && (type == 3 || type == 4) ? static_cast<WORD>(type == 3 ? 13 : 14) : type;
  status = ParseRecord(withData, database == DDD_DATABASE_MAIN ? main : linked, main, linked, parsedType, record);
  if (status == kDbOk) (*record)->h.database = database;
  return status;
}

WORD FindRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, WORD type, WORD key, WORD entry,
                DatabaseRecord** record) {
  return ReadKeyedRecord(withData, main, linked, type, key, entry, record);
}

WORD ReadRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, WORD type, WORD position,
                DatabaseRecord** record) {
  if (!record) return kDbFailed;
  *record = nullptr;
  if (!main || !linked || position == 0) return kDbFailed;
  WORD database = 0;
  WORD status = SeekRecord(kDbByPosition, main, linked, kDbDirectoryMain, type, position, &database);
  if (status != kDbOk) return status;
  status = ParseRecord(withData, database == DDD_DATABASE_MAIN ? main : linked, main, linked, type, record);
  if (status == kDbOk) (*record)->h.database = database;
  return status;
}
