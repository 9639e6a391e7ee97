// Records of the description database: the in-memory form of every record type and element
// kind, reading a record by position or by key (or as an entry of a choice list), freeing it,
// and the accessors other parts use. Records belong to the caller (FreeRecord); values that are
// not copied point into the stream's copy of the file and live as long as the stream.
//
// Which optional fields a record has follows the format level of the database it was read
// from (its stream), never a process-wide level: two models of different levels can be open
// in one process.
#pragma once

#include "core/database/database.h"
#include "platform/base/types.h"

// Common header of every record.
struct RecordHeader {
  WORD key;       // the record's own number (first u16 of its body)
  WORD type;      // record type 3..23, or DDD_RECORD_HEADER, DDD_KIND_DATA_BLOCK, DDD_KIND_CHOICE_VALUE
  WORD database;  // DDD_DATABASE_MAIN or the linked database's byte of the type-table row
  DatabaseStream* stream;  // the stream the record was read from
};

struct DatabaseRecord {
  RecordHeader h;
};

// A typed value. Types 1 and 10 are widened into owned 32-bit numbers, type 6 into an owned
// wide string; others point into the stream's copy of the file. After LoadReferencedValue a
// value of type 128 holds the `count` elements of a type-20 array of `length` bytes each.
struct StoredValue {
  BYTE type;
  WORD length;  // bytes of the value (of one element when count > 1)
  WORD count;   // elements held (1 for a direct value)
  BOOL present;
  BOOL owned;
  void* value;
};

// Elements carry their kind in their first member.
struct KeyElement {
  WORD kind;  // DDD_ELEMENT_KEY
  WORD key;
};
struct ItemValueElement {
  WORD kind;  // DDD_ELEMENT_ITEM_VALUE (or DDD_ELEMENT_CONDITION inside a condition)
  WORD spare;
  BYTE op;
  WORD item;
  StoredValue value;
};
struct ConditionElement {
  ItemValueElement test;
  BYTE connector;
};
struct PictureRefElement {
  WORD kind;  // DDD_ELEMENT_PICTURE_REF
  WORD width;
  WORD height;
  KeyElement picture;
};
struct SizePairElement {
  WORD kind;  // DDD_ELEMENT_SIZE_PAIR
  WORD width;
  WORD length;
};
struct TextElement {
  WORD kind;  // DDD_ELEMENT_TEXT
  LPWSTR text;
};
struct TripleElement {
  WORD kind;  // DDD_ELEMENT_TRIPLE
  WORD first;
  WORD second;
  WORD third;
};
struct ValueElement {
  WORD kind;  // DDD_ELEMENT_VALUE
  StoredValue value;
};

struct KeyList {
  WORD count;
  KeyElement* items;
};
struct ConditionList {
  WORD count;
  ConditionElement* items;
};
struct ItemValueList {
  WORD count;
  ItemValueElement* items;
};
struct TextList {
  WORD count;
  TextElement* items;
};
struct ValueList {
  WORD count;
  ValueElement* items;
};
struct TripleList {
  WORD count;
  TripleElement* items;
};

// Type 1: the file header.
struct HeaderRecord {
  RecordHeader h;
  LPWSTR modelName;
  LPWSTR displayName;
  LPWSTR linkedName;
  WORD major;
  WORD minor;
  WORD build;
  DWORD formatLevel;
};

// Types 3 (flag items 4097..4362) and 4 (other option items).
struct ChoiceListRecord {
  RecordHeader h;
  LPWSTR name;
  BYTE kind;
  WORD defaultPosition;  // 1-based position of the default choice; 0 none
  KeyElement range;      // type-17 size range tested by the size conditions; 0 none
  KeyList choices;       // keys of type-13 (list type 3) or type-14 (list type 4) entries
  KeyList rules;         // type-7 constraint keys
  KeyList requirements;  // type-8 constraint keys
  KeyElement block;      // type-18 data block; 0 none
  LPWSTR name2;          // from level 0x400
};

// Types 13 and 14: one choice of a list.
struct ChoiceEntryRecord {
  RecordHeader h;
  LPWSTR name;
  WORD refType;  // type of the record the choice stands for (0: a plain value)
  KeyElement refKey;
  KeyElement range;      // kept on a full read only
  KeyList rules;         // kept on a full read only
  KeyList requirements;  // kept on a full read only
  StoredValue value;
  KeyElement block;
};

// Types 5 and 6.
struct PaperSourceRecord {
  RecordHeader h;
  LPWSTR name;
  WORD rangeKey;  // type-17: minimum and maximum custom size
  WORD deviceCode;
  KeyList papers;      // type-10 keys
  KeyList attributes;  // one per paper (0..3)
  BYTE flags;          // from level 0x200
  LPWSTR name2;        // from level 0x400
  SizePairElement minCustom;
  SizePairElement maxCustom;
};

// Types 7 (rules) and 8 (requirements).
struct ConstraintRecord {
  RecordHeader h;
  ItemValueElement watch;
  WORD messageWord;  // bits 0-7 message type, higher bits skip flags and check kind
  LPWSTR message;
  ConditionList conditions;
  ItemValueList forced;
};

// Type 9.
struct PictureRefRecord {
  RecordHeader h;
  ConditionList conditions;
  PictureRefElement picture;
};

// Type 10; its size ranges are resolved into the pairs.
struct PaperRecord {
  RecordHeader h;
  LPWSTR name;
  BYTE code;
  WORD sizeKey;
  WORD limitsKey;
  WORD marginKey;
  WORD word1;
  WORD word2;
  BYTE flag2;     // from level 0x200
  WORD extraKey;  // from level 0x200; 0 none
  WORD gated;     // from level 0x500
  SizePairElement size;
  SizePairElement altSize;
  SizePairElement minSize;
  SizePairElement maxSize;
  SizePairElement margin1;
  SizePairElement margin2;
  SizePairElement extra1;
  SizePairElement extra2;
};

// Type 11.
struct DeviceFontRecord {
  RecordHeader h;
  LPWSTR name;
  LPWSTR name2;
  WORD faceCount;
  LPWSTR* faces;  // the first text list
  WORD textCount2;
  LPWSTR* texts2;  // the second text list
  DWORD dataSize;
  const BYTE* data;  // font data in the stream's copy (full read only)
  WORD gated;        // from level 0x100
  WORD pairCount;    // from level 0x400
  StoredValue* pairs;
};

// Type 12.
struct PictureRecord {
  RecordHeader h;
  BYTE kind;
  WORD width;
  WORD height;
  DWORD dataSize;  // full read only: the picture after its 14-byte file header
  BYTE* data;      // owned
};

// Type 15: one entry of the job template.
struct JobTemplate {
  RecordHeader h;
  WORD item;  // 0: a literal entry
  ConditionList conditions;
  LPWSTR key;
  LPWSTR value;
  WORD flags;  // from level 0x500
};

// Type 16.
struct Type16Record {
  RecordHeader h;
  ConditionList conditions;
  BYTE byte1;
  BYTE byte2;
  WORD dataSize;
  BYTE* data;  // owned
};

// Type 17.
struct SizeRangeRecord {
  RecordHeader h;
  SizePairElement first;
  SizePairElement second;
};

// Type 18, and the in-memory DataBlock (kind 522) copied from it.
struct DataBlock {
  RecordHeader h;
  WORD length;
  BYTE* data;  // owned
};

// Type 19 (needs level 0x200).
struct MediaTypeRecord {
  RecordHeader h;
  LPWSTR name;
  BYTE value;
  LPWSTR name2;  // from level 0x400
};

// Type 20: elements stay in the stream's copy.
struct DataArrayRecord {
  RecordHeader h;
  WORD spare;
  BYTE elementType;
  WORD elementSize;
  DWORD spare2;
  WORD count;
  const BYTE* elements;
};

struct PresetEntry {
  WORD item;
  StoredValue value;
};

// Type 21.
struct PresetRecord {
  RecordHeader h;
  LPWSTR name;
  WORD count;
  PresetEntry* entries;
};

// Type 22: a device-configuration query.
struct ConditionRecord {
  RecordHeader h;
  WORD selector;
  WORD item;
  BYTE valueType;
  WORD valueLength;  // 4 for value type 1
  BYTE deviceType;
  WORD flags;  // from level 0x1000
  WORD index;
  TextList names;
  ValueList pairs;
};

// Type 23.
struct TrayRuleRecord {
  RecordHeader h;
  ConditionList conditions;
  TripleList triples;
};

// ---- Reading and freeing -------------------------------------------------------------------
constexpr WORD kDbAnyType = 0xFFFF;  // FreeRecord: the record's own type

// The record at 1-based type-table position `position`.
WORD ReadRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, WORD type, WORD position,
                DatabaseRecord** record);
// The record with the key; with `entry` non-zero on a type-3 or type-4 list, choice number
// `entry` of that list (a type-13 or type-14 record) instead.
WORD ReadKeyedRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, WORD type, WORD key, WORD entry,
                     DatabaseRecord** record);
WORD FindRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, WORD type, WORD key, WORD entry,
                DatabaseRecord** record);
// Positions the holding stream's cursor at the record without parsing it.
WORD SeekKeyedRecord(DatabaseStream* main, DatabaseStream* linked, WORD type, WORD key, WORD entry, WORD* database);
// Parses the record of `type` at the stream's cursor.
WORD ParseRecord(BOOL withData, DatabaseStream* stream, DatabaseStream* main, DatabaseStream* linked, WORD type,
                 DatabaseRecord** record);
// 0 when freed; 1 for a NULL record or a type other than the record's (the pointer is then left
// as it is, so the record can still be freed).
WORD FreeRecord(DatabaseRecord** record, WORD type);
// Holds a record read by one routine and frees it when the routine leaves.
struct ScopedRecord {
  DatabaseRecord* record = nullptr;
  ScopedRecord() = default;
  ScopedRecord(const ScopedRecord&) = delete;
  ScopedRecord& operator=(const ScopedRecord&) = delete;
  ~ScopedRecord() { FreeRecord(&record, kDbAnyType); }
};
// The type-20 record fields at the cursor.
WORD ReadBinaryRecordHeader(DatabaseStream* stream, DataArrayRecord* record);
// Replaces a value of type 128 by the elements of the type-20 array it names.
WORD LoadReferencedValue(StoredValue* value, DatabaseStream* stream);
// The field a record has only from some format level (types 10, 11, 15 and 22).
WORD GetVersionGatedField(const DatabaseRecord* record, WORD* field);

// ---- Accessors (NULL, 0 or 1 for a record of another type) ---------------------------------
LPCWSTR GetRecordName(const DatabaseRecord* record);
WORD GetSourceMinCustomSize(const DatabaseRecord* record, SizePairElement* pair);
WORD GetSourceMaxCustomSize(const DatabaseRecord* record, SizePairElement* pair);
// n from 1; 2 beyond the count.
WORD GetSourcePaperEntry(const DatabaseRecord* record, WORD n, KeyElement* entry);
WORD GetSourceEntryAttribute(const DatabaseRecord* record, WORD n, WORD* attribute);
WORD GetPaperRecordSize(const DatabaseRecord* record, SizePairElement* pair);
WORD GetPaperRecordAltSize(const DatabaseRecord* record, SizePairElement* pair);
WORD GetPaperRecordMargins(const DatabaseRecord* record, SizePairElement* first, SizePairElement* second);
WORD GetPaperRecordMinSize(const DatabaseRecord* record, SizePairElement* pair);
WORD GetPaperRecordMaxSize(const DatabaseRecord* record, SizePairElement* pair);
WORD GetFontRecordText(const DatabaseRecord* record, WORD n, LPCWSTR* text);
WORD GetFontRecordInfo(const DatabaseRecord* record, const BYTE** data, DWORD* size);
WORD GetPairListCount(const DatabaseRecord* record, WORD* count);
// n from 1: the value's length, type and value (the string for type 6, else its address);
// 2 for n out of range, outputs untouched.
WORD GetPairListEntry(const DatabaseRecord* record, WORD n, WORD* length, BYTE* type, const void** value);
// Caller to come: the graphics and user-interface modules' readers of the model.
LPCWSTR GetJobTemplateKey(const DatabaseRecord* record);
// Caller to come: the graphics and user-interface modules' readers of the model.
LPCWSTR GetJobTemplateValue(const DatabaseRecord* record);
WORD GetType19Value(const DatabaseRecord* record, BYTE* value);
WORD GetType21Count(const DatabaseRecord* record, WORD* count);
WORD GetType21Entry(const DatabaseRecord* record, WORD n, WORD* item, WORD* length, BYTE* type, const void** value);
// Caller to come: the graphics and user-interface modules' readers of the model.
WORD GetNameListEntry(const DatabaseRecord* record, WORD n, LPCWSTR* name);
// Caller to come: the property-sheet pages' picture controls.
// The picture a type-9 record names (read with data); the caller owns *data (ReleaseGlobalBlock).
WORD ReadPictureOfRecord(DatabaseStream* main, DatabaseStream* linked, const DatabaseRecord* record, WORD* width,
                         WORD* height, BYTE** data, DWORD* size);
// Caller to come: the property-sheet pages' picture controls.
// The picture whose key is section 1; the caller owns the answer (NULL on failure).
BYTE* ReadModelPictureRecord(DatabaseStream* main, DatabaseStream* linked, WORD* width, WORD* height, DWORD* size);
// A new DataBlock copied from the type-18 record named by the record's block key; 2 for key 0.
WORD ReadDataBlockOfRecord(DatabaseStream* main, DatabaseStream* linked, const DatabaseRecord* record,
                           DataBlock** block);
