// Routines on typed setting values shared by the item layer: value sizes, reading a typed
// value slot as a number, decimal formatting, and the answer record through which an item
// reports a default or a value with its name.
#pragma once

#include "core/descriptors/item_descriptors.h"
#include "platform/base/types.h"

// Bytes of a value of the type. Types 1, 4, 5, 10: 4; 2, 3: 2; 8: 1; 9: 92 (LOGFONTW); 6: with
// a given size of -1 two bytes per character plus the terminator (0 for a NULL string), else
// the given size; 7 and all others: the given size.
DWORD ValueSizeOfType(ValueTypeCode type, const void* value, LONG givenSize);

// The slot's value as a 32-bit number: sign-extended for type 2, zero-extended for 3 and 8;
// 0 for a NULL slot or a type without a number form.
LONG ReadTypedValue(ValueTypeCode type, const void* slot);
// Caller to come: the property-sheet pages' value texts.
LONG TypedValueToInt(ValueTypeCode type, const void* slot);
// The low 16 bits (types 1-5 and 10) or the byte (type 8); 0 otherwise.
WORD ReadTypedValue16(ValueTypeCode type, const void* slot);

// Characters of the buffers AllocValueBuffer hands out (800 bytes).
inline constexpr int kValueBufferChars = 400;
// Caller to come: the property-sheet pages' value texts.
// A new zero-filled 800-byte global block.
LPWSTR AllocValueBuffer();
// Writes the value in decimal ("%d" for types 1, 2, 3, 8, 10; "%ld" for 4 and 5) or copies the
// string (type 6, at most kValueBufferChars - 1 characters) into the destination, which holds
// kValueBufferChars characters. The destination, or NULL for other types and NULL arguments.
LPWSTR FormatTypedValue(ValueTypeCode type, const void* slot, LPWSTR destination);

// The record through which an item reports a value and its name.
struct ValueAnswer {
  HMODULE module;        // for string loads
  LPCWSTR* name;         // receives the name
  ItemValueCell* value;  // receives the value
  ValueTypeCode type;
  WORD baseStringId;
  WORD selector;         // 0, 1 or 2: which value SelectAnswerValue takes
  DWORD* size;           // receives the value's size (SetValueAnswer)
};

// Caller to come: the property-sheet pages' value texts.
// Clears the name, keeps the value (read through `value` by its type) in one module-wide cell
// and reports it; with a non-zero string offset the name is string (offset + base id) of the
// answer's module in one module-wide 256-character buffer (a failed load answers 0), else the
// given text. Both are overwritten by the next call. 1 or 0.
int SetAnswerText(LPCWSTR text, ValueAnswer* answer, WORD stringOffset, const void* value, ValueTypeCode type);
// Caller to come: the property-sheet pages' value texts.
// Reports the first, second or third value by the answer's selector, and the type.
void SelectAnswerValue(ValueAnswer* answer, ItemValueCell first, ItemValueCell second, ItemValueCell third,
                       ValueTypeCode type);
// Caller to come: the property-sheet pages' value texts.
// Reports type, value and ValueSizeOfType(type, value, given size).
void SetValueAnswer(ValueTypeCode type, ValueAnswer* answer, ItemValueCell value, LONG givenSize);
