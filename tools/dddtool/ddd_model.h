// The text model of a description database and its conversions: text -> model (parse),
// model -> database bytes (build), database bytes -> model (decode), model -> text (format).
// build(parse(format(decode(build(m))))) gives the same bytes as build(m). Tests use the same
// calls to make odd databases in-process. The byte layout comes from core/database/dblayout.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/database/dblayout.h"

// A stored text: plain ANSI text, or a reference to string `id` of string library `library`
// (then `text` holds the bytes in front of the reference, normally empty).
struct DddText {
  bool reference = false;
  std::uint16_t library = 0;
  std::uint16_t id = 0;
  std::string text;
};

// A stored value exactly as in the file: value type and raw value bytes (for type 6 the bytes
// of a stored text). Type 0 without bytes is "no value".
struct DddValue {
  std::uint8_t type = 0;
  std::vector<std::uint8_t> bytes;
};

// Item value element {u16 not interpreted, u8 operator, u16 item, value}; as a condition it
// carries a connector byte.
struct DddItemValue {
  std::uint16_t spare = 0;
  std::uint8_t op = 0;
  std::uint16_t item = 0;
  DddValue value;
  std::uint8_t connector = 0;
};

struct DddPresetEntry {
  std::uint16_t item = 0;
  DddValue value;
};

// One field of a record; which member is used depends on the field's kind (dblayout.h).
struct DddFieldValue {
  bool given = false;
  std::uint32_t number = 0;                           // U8, U16, U32
  DddText text;                                       // TEXT
  std::vector<std::uint16_t> keys;                    // KEYS
  std::vector<std::int64_t> integers;                 // ARRAY given as numbers
  std::vector<DddItemValue> items;                    // ITEM_VALUE (one), ITEM_VALUES, CONDITIONS
  DddValue value;                                     // VALUE
  std::vector<DddValue> values;                       // VALUES, COUNTED_VALUES
  std::vector<DddText> texts;                         // TEXTS, COUNTED_TEXTS
  std::vector<std::array<std::uint16_t, 3>> triples;  // PAIR, PICTURE_REF (one), TRIPLES
  std::vector<std::uint8_t> bytes;                    // BYTES16, BYTES32, PICTURE, ARRAY given raw
  std::vector<DddPresetEntry> presets;                // PRESETS
};

struct DddRecord {
  std::uint16_t type = 0;
  std::uint16_t key = 0;
  bool linked = false;  // lies in the linked database
  std::vector<DddFieldValue> fields;  // one per field of the type (dblayout.h)
  int line = 0;                        // line of the text model, for messages
};

// One section: numbers for sections of fixed element size, texts for the others.
struct DddSection {
  bool given = false;
  std::vector<std::uint32_t> numbers;
  std::vector<DddText> texts;
};

struct DddModel {
  std::string modelName;
  std::string displayName;
  std::string version = "DDD:1.0.0";
  std::uint32_t level = DDD_LEVEL_1600;
  std::string linkedName;  // empty: no linked database
  DddSection sections[DDD_SECTION_COUNT];
  std::vector<DddRecord> records;
};

struct DddImage {
  std::vector<std::uint8_t> main;
  std::vector<std::uint8_t> linked;  // empty when the model has no linked database
};

// Parses a text model. `baseDir` resolves file:"..." values. On failure returns false and
// sets `error` to "line N: ...".
bool ParseDddModel(const std::string& text, const std::string& baseDir, DddModel* model, std::string* error);

// Writes the main and linked databases. Refuses a model that breaks a rule of the format, with
// a message naming the record.
bool BuildDddImage(const DddModel& model, DddImage* image, std::string* error);

// Reads a database (and its linked database, when the header names one and it is given) back
// into a model. Refuses bytes that do not follow the layout.
bool DecodeDddImage(const std::vector<std::uint8_t>& main, const std::vector<std::uint8_t>* linked, DddModel* model,
                    std::string* error);

// The text form of a model; parsing it gives the same model.
std::string FormatDddModel(const DddModel& model);

// Convenience for tests: text model straight to bytes.
bool BuildDddImageFromText(const std::string& text, DddImage* image, std::string* error);

// Empty field values for a record of the given type (one per field of its layout).
std::vector<DddFieldValue> MakeDddFields(std::uint16_t type);
