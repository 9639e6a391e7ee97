#include "core/descriptors/value_routines.h"

#include <cstring>

#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/format.h"

namespace {

constexpr int kAnswerNameChars = 256;

// Module-wide storage of SetAnswerText: used on the calling thread of one export and consumed
// before the next call.
ItemValueCell g_answerValue;
WCHAR g_answerName[kAnswerNameChars];

// Copies the value read through `value` into a cell by its type; false for a type without a
// cell form.
bool CopyIntoCell(ValueTypeCode type, const void* value, ItemValueCell* cell) {
  *cell = ItemValueCell{};
  switch (type) {
    case kTypeFlag:
    case kTypeInt32:
    case kTypeUInt32:
    case kTypeFontField: std::memcpy(&cell->number, value, 4); return true;
    case kTypeInt16:
    case kTypeUInt16: std::memcpy(&cell->word, value, 2); return true;
    case kTypeUInt8: std::memcpy(&cell->byte, value, 1); return true;
    case kTypeString: cell->data = const_cast<void*>(value); return true;
    default: return false;
  }
}

}  // namespace

DWORD ValueSizeOfType(ValueTypeCode type, const void* value, LONG givenSize) {
  switch (type) {
    case kTypeFlag:
    case kTypeInt32:
    case kTypeUInt32:
    case kTypeFontField: return 4;
    case kTypeInt16:
    case kTypeUInt16: return 2;
    case kTypeUInt8: return 1;
    case kTypeFont: return kLogFontSize;
    case kTypeString:
      if (givenSize != -1) return static_cast<DWORD>(givenSize);
      return value == nullptr ? 0 : static_cast<DWORD>(lstrlenW(static_cast<LPCWSTR>(value)) * 2 + 2);
    default: return static_cast<DWORD>(givenSize);
  }
}

LONG ReadTypedValue(ValueTypeCode type, const void* slot) {
  if (slot == nullptr) return 0;
  switch (type) {
    case kTypeFlag:
    case kTypeInt32:
    case kTypeUInt32:
    case kTypeFontField: {
      LONG v;
      std::memcpy(&v, slot, 4);
      return v;
    }
    case kTypeInt16: {
      SHORT v;
      std::memcpy(&v, slot, 2);
      return v;
    }
    case kTypeUInt16: {
      WORD v;
      std::memcpy(&v, slot, 2);
      return v;
    }
    case kTypeUInt8: return *static_cast<const BYTE*>(slot);
    default: return 0;
  }
}

LONG TypedValueToInt(ValueTypeCode type, const void* slot) { return ReadTypedValue(type, slot); }

WORD ReadTypedValue16(ValueTypeCode type, const void* slot) {
  if (slot == nullptr) return 0;
  switch (type) {
    case kTypeFlag:
    case kTypeInt16:
    case kTypeUInt16:
    case kTypeInt32:
    case kTypeUInt32:
    case kTypeFontField: {
      WORD v;
      std::memcpy(&v, slot, 2);
      return v;
    }
    case kTypeUInt8: return *static_cast<const BYTE*>(slot);
    default: return 0;
  }
}

LPWSTR AllocValueBuffer() { return static_cast<LPWSTR>(GlobalAlloc(GPTR, kValueBufferChars * sizeof(WCHAR))); }

LPWSTR FormatTypedValue(ValueTypeCode type, const void* slot, LPWSTR destination) {
  if (slot == nullptr || destination == nullptr) return nullptr;
  switch (type) {
    case kTypeFlag:
    case kTypeInt16:
    case kTypeUInt16:
    case kTypeUInt8:
    case kTypeFontField: wsprintfW(destination, u"%d", ReadTypedValue(type, slot)); return destination;
    case kTypeInt32:
    case kTypeUInt32: wsprintfW(destination, u"%ld", ReadTypedValue(type, slot)); return destination;
    case kTypeString: {
      LPCWSTR text;
      std::memcpy(&text, slot, sizeof text);
      if (text == nullptr) return nullptr;
      lstrcpynW(destination, text, kValueBufferChars);
      return destination;
    }
    default: return nullptr;
  }
}

int SetAnswerText(LPCWSTR text, ValueAnswer* answer, WORD stringOffset, const void* value, ValueTypeCode type) {
  if (answer == nullptr || answer->name == nullptr || answer->value == nullptr || value == nullptr) return 0;
  *answer->name = nullptr;
  if (!CopyIntoCell(type, value, &g_answerValue)) return 0;
  *answer->value = g_answerValue;
  answer->type = type;
  if (stringOffset != 0) {
    if (LoadStringW(answer->module, stringOffset + answer->baseStringId, g_answerName, kAnswerNameChars) <= 0)
      return 0;
    *answer->name = g_answerName;
  } else {
    *answer->name = text;
  }
  return 1;
}

void SelectAnswerValue(ValueAnswer* answer, ItemValueCell first, ItemValueCell second, ItemValueCell third,
                       ValueTypeCode type) {
  if (answer == nullptr || answer->value == nullptr) return;
  switch (answer->selector) {
    case 0: *answer->value = first; break;
    case 1: *answer->value = second; break;
    case 2: *answer->value = third; break;
    default: return;
  }
  answer->type = type;
}

void SetValueAnswer(ValueTypeCode type, ValueAnswer* answer, ItemValueCell value, LONG givenSize) {
  if (answer == nullptr || answer->value == nullptr) return;
  answer->type = type;
  *answer->value = value;
  if (answer->size != nullptr)
    *answer->size = ValueSizeOfType(type, type == kTypeString ? value.data : &value, givenSize);
}
