// Byte layout of the description database ("DDD") and its linked database: the header, the
// section table, the record directory, the type tables and the field order of every record
// type. One definition shared by the driver's reader (core/database*.cpp, core/dbrecords*.cpp)
// and by the host tool that writes and dumps databases (tools/dddtool), so the two cannot drift.
//
// All integers are little-endian and unaligned, except the format level in the header, which is
// stored most significant byte first. Offsets are absolute within the file that holds them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

// ---- Header (224 bytes at offset 0) --------------------------------------------------------
constexpr std::uint32_t DDD_HEADER_SIZE = 224;
constexpr std::uint32_t DDD_HEADER_TEXT_SIZE = 64;     // model, display and linked names
constexpr std::uint32_t DDD_VERSION_TEXT_SIZE = 24;
constexpr std::uint32_t DDD_MODEL_NAME_OFFSET = 0;
constexpr std::uint32_t DDD_VERSION_OFFSET = 64;
constexpr std::uint32_t DDD_HEADER_SPARE_OFFSET = 88;  // 4 bytes nobody interprets
constexpr std::uint32_t DDD_FORMAT_LEVEL_OFFSET = 92;  // big-endian u32
constexpr std::uint32_t DDD_DISPLAY_NAME_OFFSET = 96;
constexpr std::uint32_t DDD_LINKED_NAME_OFFSET = 160;

// Version text limits: "...:major.minor.build".
constexpr std::uint32_t DDD_VERSION_MAJOR_MAX = 255;
constexpr std::uint32_t DDD_VERSION_MINOR_MAX = 255;
constexpr std::uint32_t DDD_VERSION_BUILD_MAX = 65535;

// Format levels that decide which record fields are present in a file.
constexpr std::uint32_t DDD_LEVEL_0100 = 0x100;
constexpr std::uint32_t DDD_LEVEL_0200 = 0x200;
constexpr std::uint32_t DDD_LEVEL_0300 = 0x300;
constexpr std::uint32_t DDD_LEVEL_0400 = 0x400;
constexpr std::uint32_t DDD_LEVEL_0500 = 0x500;
constexpr std::uint32_t DDD_LEVEL_1000 = 0x1000;
constexpr std::uint32_t DDD_LEVEL_1600 = 0x1600;  // second feature word (section 39) is read

// ---- Sections (from offset 224, ids 0 to 39 back to back) ---------------------------------
// A count of 0 means the section starts with its own u16 element count; a size of 0 means
// every element starts with its own u16 byte size. A row with id 40 ends the table.
struct SectionTableRow {
  std::uint32_t id;
  std::uint16_t count;
  std::uint16_t size;
};

constexpr std::uint32_t DDD_SECTION_COUNT = 40;
constexpr std::uint32_t DDD_SECTION_END = 40;
constexpr std::uint16_t DDD_COUNT_IN_FILE = 0;
constexpr std::uint16_t DDD_SIZE_IN_FILE = 0;

constexpr SectionTableRow DDD_SECTION_TABLE[DDD_SECTION_COUNT + 1] = {
    {0, 1, 4},  {1, 1, 2},  {2, 1, 4},  {3, 0, 2},  {4, 1, 2},  {5, 1, 1},  {6, 1, 4},
    {7, 1, 1},  {8, 1, 4},  {9, 1, 4},  {10, 1, 2}, {11, 1, 4}, {12, 1, 4}, {13, 1, 0},
    {14, 0, 1}, {15, 1, 4}, {16, 1, 2}, {17, 1, 0}, {18, 1, 0}, {19, 1, 0}, {20, 1, 0},
    {21, 1, 0}, {22, 1, 0}, {23, 1, 1}, {24, 1, 2}, {25, 1, 2}, {26, 1, 4}, {27, 0, 2},
    {28, 0, 0}, {29, 1, 0}, {30, 1, 0}, {31, 1, 0}, {32, 1, 0}, {33, 1, 0}, {34, 0, 2},
    {35, 0, 0}, {36, 0, 0}, {37, 1, 0}, {38, 1, 0}, {39, 0, 4}, {DDD_SECTION_END, 0, 0},
};

// Sections with a meaning of their own.
constexpr std::uint32_t DDD_SECTION_DIRECTORY = 0;      // u32 distance from 228 to the directory
constexpr std::uint32_t DDD_SECTION_MODEL_PICTURE = 1;  // key of the model's picture record
constexpr std::uint32_t DDD_SECTION_HEADER_TEXTS = 17;  // kinds 0..5 are sections 17..22
constexpr std::uint32_t DDD_SECTION_DRIVER_BASE = 30;   // registry base of the driver's keys
constexpr std::uint32_t DDD_SECTION_USER_BASE = 33;     // base of the per-user registry key
constexpr std::uint32_t DDD_SECTION_STRING_LIBRARIES = 35;
constexpr std::uint32_t DDD_SECTION_MORE_HEADER_TEXTS = 36;  // kinds 6..13 are its elements 0..7
constexpr std::uint32_t DDD_SECTION_FEATURES2 = 39;

// ---- Record directory (at 228 + the u32 of section 0) --------------------------------------
constexpr std::uint32_t DDD_DIRECTORY_BASE = 228;
constexpr std::uint32_t DDD_DIRECTORY_PREFIX = 6;  // 4 bytes and a u16, not interpreted
constexpr std::uint32_t DDD_DIRECTORY_ROW_SIZE = 7;
constexpr std::uint32_t DDD_DIRECTORY_ROW_SPARE = 3;  // then the u32 offset of the type table
constexpr std::uint32_t DDD_DIRECTORY_ROWS = 21;
constexpr std::uint16_t DDD_DIRECTORY_TYPES[DDD_DIRECTORY_ROWS] = {3,  4,  5,  6,  17, 7,  8,
                                                                   9,  10, 11, 12, 13, 14, 15,
                                                                   16, 18, 19, 20, 21, 22, 23};
constexpr std::uint32_t DDD_DIRECTORY_SIZE = DDD_DIRECTORY_PREFIX + DDD_DIRECTORY_ROWS * DDD_DIRECTORY_ROW_SIZE;

// ---- Type tables -------------------------------------------------------------------------
constexpr std::uint32_t DDD_TYPETABLE_PREFIX = 4;  // not interpreted; then the u16 row count
constexpr std::uint32_t DDD_TYPETABLE_ROW_SIZE = 7;  // u8 database, u16 key, u32 offset
constexpr std::uint8_t DDD_DATABASE_MAIN = 2;        // any other value: the linked database
constexpr std::uint8_t DDD_DATABASE_LINKED = 1;      // the value the writer uses

// Position of a record type in the directory, or -1 when the type has no directory row.
constexpr int FindDirectoryRow(std::uint32_t type) {
  for (std::uint32_t i = 0; i < DDD_DIRECTORY_ROWS; ++i)
    if (DDD_DIRECTORY_TYPES[i] == type) return static_cast<int>(i);
  return -1;
}

// ---- Stored texts ------------------------------------------------------------------------
// A stored text is a u16 byte count n and n bytes: either the bitwise complement of ANSI text,
// or a reference {..., u16 library, u16 string id, 0} when n > 5, the last byte is 0 and both
// numbers are non-zero.
constexpr std::uint32_t DDD_TEXT_REFERENCE_MIN = 6;
constexpr std::uint32_t DDD_TEXT_REFERENCE_TAIL = 5;  // u16 library, u16 id, 0

// Whether the n bytes of a stored text are a reference; gives the library and string id.
inline bool IsTextReference(const std::uint8_t* bytes, std::uint32_t n, std::uint16_t* library, std::uint16_t* id) {
  if (n < DDD_TEXT_REFERENCE_MIN || bytes[n - 1] != 0) return false;
  std::uint16_t l = static_cast<std::uint16_t>(bytes[n - 5] | (bytes[n - 4] << 8));
  std::uint16_t s = static_cast<std::uint16_t>(bytes[n - 3] | (bytes[n - 2] << 8));
  if (l == 0 || s == 0) return false;
  *library = l;
  *id = s;
  return true;
}

// ---- Values and elements -----------------------------------------------------------------
// StoredValue: u8 value type, u16 length, value bytes. Type 128 refers to a type-20 array by
// its 1-based position (first u16 of the value).
constexpr std::uint8_t DDD_VALUE_FLAG = 1;
constexpr std::uint8_t DDD_VALUE_INT16 = 2;
constexpr std::uint8_t DDD_VALUE_UINT16 = 3;
constexpr std::uint8_t DDD_VALUE_INT32 = 4;
constexpr std::uint8_t DDD_VALUE_UINT32 = 5;
constexpr std::uint8_t DDD_VALUE_STRING = 6;
constexpr std::uint8_t DDD_VALUE_FLOAT = 7;
constexpr std::uint8_t DDD_VALUE_BYTE = 8;
constexpr std::uint8_t DDD_VALUE_FONT = 9;
constexpr std::uint8_t DDD_VALUE_LONG = 10;
constexpr std::uint8_t DDD_VALUE_REFERENCE = 128;

// Element kinds and the in-memory record kinds that are not record types.
constexpr std::uint16_t DDD_RECORD_HEADER = 1;
constexpr std::uint16_t DDD_ELEMENT_KEY = 515;
constexpr std::uint16_t DDD_ELEMENT_ITEM_VALUE = 517;
constexpr std::uint16_t DDD_ELEMENT_PICTURE_REF = 518;
constexpr std::uint16_t DDD_ELEMENT_SIZE_PAIR = 519;
constexpr std::uint16_t DDD_ELEMENT_TEXT = 520;
constexpr std::uint16_t DDD_ELEMENT_CONDITION = 521;
constexpr std::uint16_t DDD_KIND_DATA_BLOCK = 522;
constexpr std::uint16_t DDD_KIND_CHOICE_VALUE = 523;
constexpr std::uint16_t DDD_ELEMENT_TRIPLE = 526;
constexpr std::uint16_t DDD_ELEMENT_VALUE = 527;

// Picture data: u32 size, a 14-byte file header that readers skip, then size - 14 bytes.
constexpr std::uint32_t DDD_PICTURE_FILE_HEADER = 14;

// Every list in a record is a u32 byte length (the bytes after that u32: the u16 count and
// the elements), a u16 element count and the elements. Every record body is a u32 byte length
// (the bytes after that u32) and the u16 key, then its fields.
constexpr std::uint32_t DDD_LIST_PREFIX = 6;
constexpr std::uint32_t DDD_RECORD_PREFIX = 6;

// ---- Record field order ------------------------------------------------------------------
// The fields of each record type after its u32 length and u16 key, in file order. A field with
// a level is present only in files whose format level is at least that level; a field marked
// "with data" is always in the file but kept by the reader only on a full read.
enum DddFieldKind : std::uint8_t {
  DDD_FIELD_TEXT,            // stored text
  DDD_FIELD_U8,
  DDD_FIELD_U16,
  DDD_FIELD_U32,
  DDD_FIELD_KEYS,            // list of u16 keys
  DDD_FIELD_CONDITIONS,      // list of {item value element, u8 connector}
  DDD_FIELD_ITEM_VALUE,      // {u16 not interpreted, u8 operator, u16 item, stored value}
  DDD_FIELD_ITEM_VALUES,     // list of item value elements
  DDD_FIELD_VALUE,           // stored value
  DDD_FIELD_PAIR,            // u16 width, u16 length
  DDD_FIELD_PICTURE_REF,     // u16 width, u16 height, u16 picture key
  DDD_FIELD_TEXTS,           // list of stored texts
  DDD_FIELD_VALUES,          // list of stored values
  DDD_FIELD_TRIPLES,         // list of {u16, u16, u16}
  DDD_FIELD_BYTES16,         // u16 n, n bytes
  DDD_FIELD_BYTES32,         // u32 n, n bytes
  DDD_FIELD_COUNTED_TEXTS,   // u16 c, c u16 byte counts, then c text bodies
  DDD_FIELD_COUNTED_VALUES,  // u16 c, c stored values (no u32 length)
  DDD_FIELD_PRESETS,         // list of {u16 item, stored value}
  DDD_FIELD_ARRAY,           // u16 count, count elements of the record's element size
  DDD_FIELD_PICTURE,         // u32 size, 14-byte file header, size - 14 bytes
};

struct DddFieldShape {
  DddFieldKind kind;
  std::uint16_t level;  // 0: always present
  bool withData;        // kept only on a full read
  const char* name;     // the field's name in the text model of dddtool
};

struct DddRecordShape {
  std::uint16_t type;
  const char* name;     // the record's name in the text model
  std::uint16_t level;  // the whole type needs this format level (0: any)
  const DddFieldShape* fields;
  std::uint8_t fieldCount;
};

namespace ddd_fields {
constexpr DddFieldShape CHOICE_LIST[] = {
    {DDD_FIELD_TEXT, 0, false, "name"},        {DDD_FIELD_U8, 0, false, "kind"},
    {DDD_FIELD_U16, 0, false, "default"},      {DDD_FIELD_U16, 0, false, "range"},
    {DDD_FIELD_KEYS, 0, false, "choices"},     {DDD_FIELD_KEYS, 0, false, "rules"},
    {DDD_FIELD_KEYS, 0, false, "requires"},    {DDD_FIELD_U16, 0, false, "block"},
    {DDD_FIELD_TEXT, DDD_LEVEL_0400, false, "name2"},
};
constexpr DddFieldShape CHOICE_ENTRY[] = {
    {DDD_FIELD_TEXT, 0, false, "name"},       {DDD_FIELD_U16, 0, false, "reftype"},
    {DDD_FIELD_U16, 0, false, "refkey"},      {DDD_FIELD_U16, 0, true, "range"},
    {DDD_FIELD_KEYS, 0, true, "rules"},       {DDD_FIELD_KEYS, 0, true, "requires"},
    {DDD_FIELD_VALUE, 0, false, "value"},     {DDD_FIELD_U16, 0, false, "block"},
};
constexpr DddFieldShape PAPER_SOURCE[] = {
    {DDD_FIELD_TEXT, 0, false, "name"},         {DDD_FIELD_U16, 0, false, "range"},
    {DDD_FIELD_U16, 0, false, "code"},          {DDD_FIELD_KEYS, 0, false, "papers"},
    {DDD_FIELD_KEYS, 0, false, "attributes"},   {DDD_FIELD_U8, DDD_LEVEL_0200, false, "flags"},
    {DDD_FIELD_TEXT, DDD_LEVEL_0400, false, "name2"},
};
constexpr DddFieldShape CONSTRAINT[] = {
    {DDD_FIELD_ITEM_VALUE, 0, false, "watch"}, {DDD_FIELD_U16, 0, false, "msgword"},
    {DDD_FIELD_TEXT, 0, false, "message"},     {DDD_FIELD_CONDITIONS, 0, false, "when"},
    {DDD_FIELD_ITEM_VALUES, 0, false, "force"},
};
constexpr DddFieldShape PICTURE_REF[] = {
    {DDD_FIELD_CONDITIONS, 0, false, "when"},
    {DDD_FIELD_PICTURE_REF, 0, false, "picture"},
};
constexpr DddFieldShape PAPER[] = {
    {DDD_FIELD_TEXT, 0, false, "name"},     {DDD_FIELD_U8, 0, false, "code"},
    {DDD_FIELD_U16, 0, false, "size"},      {DDD_FIELD_U16, 0, false, "limits"},
    {DDD_FIELD_U16, 0, false, "margins"},   {DDD_FIELD_U16, 0, false, "word1"},
    {DDD_FIELD_U16, 0, false, "word2"},     {DDD_FIELD_U8, DDD_LEVEL_0200, false, "flag2"},
    {DDD_FIELD_U16, DDD_LEVEL_0200, false, "extra"},
    {DDD_FIELD_U16, DDD_LEVEL_0500, false, "gated"},
};
constexpr DddFieldShape DEVICE_FONT[] = {
    {DDD_FIELD_TEXT, 0, false, "name"},
    {DDD_FIELD_TEXT, 0, false, "name2"},
    {DDD_FIELD_COUNTED_TEXTS, 0, false, "faces"},
    {DDD_FIELD_COUNTED_TEXTS, 0, false, "texts2"},
    {DDD_FIELD_BYTES16, 0, false, "skip"},
    {DDD_FIELD_BYTES32, 0, true, "data"},
    {DDD_FIELD_U16, DDD_LEVEL_0100, false, "gated"},
    {DDD_FIELD_COUNTED_VALUES, DDD_LEVEL_0400, false, "pairs"},
};
constexpr DddFieldShape PICTURE[] = {
    {DDD_FIELD_U8, 0, false, "kind"},       {DDD_FIELD_U16, 0, false, "width"},
    {DDD_FIELD_U16, 0, false, "height"},    {DDD_FIELD_BYTES16, 0, false, "skip"},
    {DDD_FIELD_PICTURE, 0, true, "bitmap"},
};
constexpr DddFieldShape JOB_TEMPLATE[] = {
    {DDD_FIELD_U16, 0, false, "item"},  {DDD_FIELD_CONDITIONS, 0, false, "when"},
    {DDD_FIELD_TEXT, 0, false, "key"},  {DDD_FIELD_TEXT, 0, false, "value"},
    {DDD_FIELD_U16, DDD_LEVEL_0500, false, "flags"},
};
constexpr DddFieldShape TYPE16[] = {
    {DDD_FIELD_CONDITIONS, 0, false, "when"}, {DDD_FIELD_U8, 0, false, "byte1"},
    {DDD_FIELD_U8, 0, false, "byte2"},        {DDD_FIELD_BYTES16, 0, false, "data"},
};
constexpr DddFieldShape SIZE_RANGE[] = {
    {DDD_FIELD_PAIR, 0, false, "first"},
    {DDD_FIELD_PAIR, 0, false, "second"},
};
constexpr DddFieldShape DATA_BLOCK[] = {
    {DDD_FIELD_BYTES16, 0, false, "data"},
};
constexpr DddFieldShape MEDIA_TYPE[] = {
    {DDD_FIELD_TEXT, 0, false, "name"},
    {DDD_FIELD_U8, 0, false, "value"},
    {DDD_FIELD_TEXT, DDD_LEVEL_0400, false, "name2"},
};
constexpr DddFieldShape DATA_ARRAY[] = {
    {DDD_FIELD_U16, 0, false, "spare"},   {DDD_FIELD_U8, 0, false, "type"},
    {DDD_FIELD_U16, 0, false, "size"},    {DDD_FIELD_U32, 0, false, "spare2"},
    {DDD_FIELD_ARRAY, 0, false, "values"},
};
constexpr DddFieldShape PRESET[] = {
    {DDD_FIELD_TEXT, 0, false, "name"},
    {DDD_FIELD_PRESETS, 0, false, "entries"},
};
constexpr DddFieldShape DEVICE_QUERY[] = {
    {DDD_FIELD_U16, 0, false, "selector"},  {DDD_FIELD_U16, 0, false, "item"},
    {DDD_FIELD_U8, 0, false, "type"},       {DDD_FIELD_U16, 0, false, "length"},
    {DDD_FIELD_U8, 0, false, "devtype"},    {DDD_FIELD_U16, DDD_LEVEL_1000, false, "flags"},
    {DDD_FIELD_U16, 0, false, "index"},     {DDD_FIELD_TEXTS, 0, false, "names"},
    {DDD_FIELD_VALUES, 0, false, "pairs"},
};
constexpr DddFieldShape TRAY_RULE[] = {
    {DDD_FIELD_CONDITIONS, 0, false, "when"},
    {DDD_FIELD_TRIPLES, 0, false, "triples"},
};
}  // namespace ddd_fields

#define DDD_RECORD_SHAPE(type, name, level, fields) \
  DddRecordShape { type, name, level, fields, static_cast<std::uint8_t>(std::size(fields)) }

constexpr DddRecordShape DDD_RECORD_SHAPES[] = {
    DDD_RECORD_SHAPE(3, "flaglist", 0, ddd_fields::CHOICE_LIST),
    DDD_RECORD_SHAPE(4, "list", 0, ddd_fields::CHOICE_LIST),
    DDD_RECORD_SHAPE(5, "source", 0, ddd_fields::PAPER_SOURCE),
    DDD_RECORD_SHAPE(6, "source6", 0, ddd_fields::PAPER_SOURCE),
    DDD_RECORD_SHAPE(7, "rule", 0, ddd_fields::CONSTRAINT),
    DDD_RECORD_SHAPE(8, "requirement", 0, ddd_fields::CONSTRAINT),
    DDD_RECORD_SHAPE(9, "pictureref", 0, ddd_fields::PICTURE_REF),
    DDD_RECORD_SHAPE(10, "paper", 0, ddd_fields::PAPER),
    DDD_RECORD_SHAPE(11, "font", 0, ddd_fields::DEVICE_FONT),
    DDD_RECORD_SHAPE(12, "picture", 0, ddd_fields::PICTURE),
    DDD_RECORD_SHAPE(13, "flagchoice", 0, ddd_fields::CHOICE_ENTRY),
    DDD_RECORD_SHAPE(14, "choice", 0, ddd_fields::CHOICE_ENTRY),
    DDD_RECORD_SHAPE(15, "jobtemplate", 0, ddd_fields::JOB_TEMPLATE),
    DDD_RECORD_SHAPE(16, "type16", 0, ddd_fields::TYPE16),
    DDD_RECORD_SHAPE(17, "sizerange", 0, ddd_fields::SIZE_RANGE),
    DDD_RECORD_SHAPE(18, "datablock", 0, ddd_fields::DATA_BLOCK),
    DDD_RECORD_SHAPE(19, "mediatype", DDD_LEVEL_0200, ddd_fields::MEDIA_TYPE),
    DDD_RECORD_SHAPE(20, "array", 0, ddd_fields::DATA_ARRAY),
    DDD_RECORD_SHAPE(21, "preset", 0, ddd_fields::PRESET),
    DDD_RECORD_SHAPE(22, "devicequery", 0, ddd_fields::DEVICE_QUERY),
    DDD_RECORD_SHAPE(23, "trayrule", 0, ddd_fields::TRAY_RULE),
};
#undef DDD_RECORD_SHAPE

constexpr const DddRecordShape* FindRecordShape(std::uint32_t type) {
  for (const auto& layout : DDD_RECORD_SHAPES)
    if (layout.type == type) return &layout;
  return nullptr;
}

// Record types whose key must equal their 1-based position in the type table: they are looked
// up both ways (choice entries by value and by key, constraints by the engine and by key).
constexpr bool IsKeyPositionType(std::uint32_t type) {
  return type == 7 || type == 8 || type == 13 || type == 14;
}

static_assert(FindDirectoryRow(3) == 0 && FindDirectoryRow(17) == 4 && FindDirectoryRow(23) == 20);
static_assert(FindDirectoryRow(1) < 0 && FindDirectoryRow(2) < 0 && FindDirectoryRow(24) < 0);
static_assert(std::size(DDD_RECORD_SHAPES) == DDD_DIRECTORY_ROWS);
