#include "core/messages/value_texts.h"

#include <cstring>

#include "core/common/format_text.h"
#include "core/common/units.h"
#include "core/constraints/paper_sizes.h"
#include "core/database/dbrecords.h"
#include "core/descriptors/value_routines.h"
#include "core/messages/formatted_strings.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/format.h"

namespace {

// Formats of one value type: whole number, fixed point with padded decimals, fixed point
// plain, whole part of a fixed-point value.
struct NumberFormats {
  ValueTypeCode type;
  bool isUnsigned;
  LPCWSTR whole;
  LPCWSTR padded;
  LPCWSTR plain;
  LPCWSTR wholePart;
};

constexpr NumberFormats kNumberFormats[] = {
    {kTypeInt16, false, u"%d", u"%ld.%s%ld", u"%ld.%ld", u"%ld"},
    {kTypeUInt16, true, u"%u", u"%lu.%s%lu", u"%lu.%lu", u"%lu"},
    {kTypeInt32, false, u"%ld", u"%ld.%s%ld", u"%ld.%ld", u"%ld"},
    {kTypeUInt32, true, u"%lu", u"%lu.%s%lu", u"%lu.%lu", u"%lu"},
    {kTypeUInt8, false, u"%u", u"%ld.%s%ld", u"%ld.%ld", u"%ld"},
    {kTypeFontField, false, u"%d", u"%ld.%s%ld", u"%ld.%ld", u"%ld"},
};

// Items whose value text is the number itself, and the divisor it is shown with.
struct NumberItem {
  SettingItemId first;
  SettingItemId last;
  WORD divisor;
};
constexpr NumberItem kNumberItems[] = {
    {12, 12, 1}, {263, 263, 1}, {268, 269, 10}, {274, 285, 1}, {323, 323, 1},
};

// Items that show a paper source or output bin with its custom-size range: the record type
// and the value that stands for no particular source (0: every value has details).
struct SourceItem {
  SettingItemId id;
  WORD recordType;
  WORD withoutDetails;
};
constexpr SourceItem kSourceItems[] = {
    {kItemDefaultSource, 5, 15}, {kItemPaperSource, 5, 258}, {kItemPaperType, 6, 0}, {kItemSeparateSource, 5, 0}};

constexpr SettingItemId kInfoSuffixItems[] = {kItemFinishingSheetText, kItemFinishingSheetChoice};
constexpr int kEmptyTextChars = 128;
// Characters a size text may add to a paper's name.
constexpr int kSizeTextChars = 64;
// Characters of the texts built here before they are copied into the caller's buffer.
constexpr int kPieceChars = WSPRINTF_LIMIT;

const NumberFormats* FindFormats(ValueTypeCode type) {
  for (const NumberFormats& f : kNumberFormats)
    if (f.type == type) return &f;
  return nullptr;
}

// Decimal places of a divisor: the digits of divisor / 10.
int DigitCount(DWORD value) {
  int digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

// The zeros that pad a fraction to the divisor's places, in a new block (freed by the caller).
LPWSTR FractionPadding(WORD divisor, DWORD fraction) {
  const int zeros = divisor >= 10 ? DigitCount(divisor / 10) - DigitCount(fraction) : 0;
  auto* padding = static_cast<LPWSTR>(GlobalAlloc(GPTR, sizeof(WCHAR) * (zeros > 0 ? zeros + 1 : 1)));
  if (padding == nullptr) return nullptr;
  for (int i = 0; i < zeros; ++i) padding[i] = u'0';
  return padding;
}

void ClearText(LPWSTR text, int capacity) {
  if (text != nullptr && capacity > 0) text[0] = 0;
}

// Formats a typed value in the whole, padded or plain form; the text is cut at the capacity.
BOOL FormatTypedNumber(const void* value, ValueTypeCode type, BOOL wholeOnly, bool padded, LPWSTR text,
                       int capacity, WORD divisor) {
  ClearText(text, capacity);
  if (text == nullptr || capacity <= 0 || value == nullptr) return FALSE;
  if (type == kTypeString) {
    // A string is its own text (the value holds the string's address).
    lstrcpynW(text, *static_cast<const LPCWSTR*>(value), capacity);
    return TRUE;
  }
  const NumberFormats* formats = FindFormats(type);
  if (formats == nullptr || divisor == 0) return FALSE;
  const LONG number = ReadTypedValue(type, value);
  WCHAR piece[kPieceChars];
  if (divisor == 1) {
    wsprintfW(piece, formats->whole, number);
  } else if (formats->isUnsigned) {
    const DWORD magnitude = static_cast<DWORD>(number);
    if (wholeOnly) {
      wsprintfW(piece, formats->wholePart, magnitude / divisor);
    } else if (!padded) {
      wsprintfW(piece, formats->plain, magnitude / divisor, magnitude % divisor);
    } else {
      LPWSTR padding = FractionPadding(divisor, magnitude % divisor);
      if (padding == nullptr) return FALSE;
      wsprintfW(piece, formats->padded, magnitude / divisor, padding, magnitude % divisor);
      GlobalFree(padding);
    }
  } else {
    // The whole part keeps the value's sign; a value between -1 and 0 would lose it with a
    // whole part of 0, so its minus sign is written before the number.
    const LONG whole = number / divisor;
    const DWORD fraction = static_cast<DWORD>(number < 0 ? -(number % divisor) : number % divisor);
    const bool lostSign = number < 0 && whole == 0;
    WCHAR* out = piece;
    if (lostSign && !wholeOnly) *out++ = u'-';
    if (wholeOnly) {
      wsprintfW(out, formats->wholePart, whole);
    } else if (!padded) {
      wsprintfW(out, formats->plain, whole, fraction);
    } else {
      LPWSTR padding = FractionPadding(divisor, fraction);
      if (padding == nullptr) return FALSE;
      wsprintfW(out, formats->padded, whole, padding, fraction);
      GlobalFree(padding);
    }
  }
  lstrcpynW(text, piece, capacity);
  return TRUE;
}

// Appends a piece to a text of the given capacity, cutting it at the end.
void AppendText(LPWSTR text, int capacity, LPCWSTR piece) {
  if (piece == nullptr) return;
  const int used = lstrlenW(text);
  if (used < capacity - 1) lstrcpynW(text + used, piece, capacity - used);
}

// Loads a resource string into a buffer of kPieceChars characters: false when it is missing.
bool LoadPieceString(HMODULE module, UINT id, LPWSTR buffer, int chars = kPieceChars) {
  buffer[0] = 0;
  return module != nullptr && LoadStringW(module, id, buffer, chars) > 0;
}

// The size text: a layout of the resource module filled with the width and length texts.
bool FormatSizeText(HMODULE module, bool inches, LPCWSTR width, LPCWSTR length, LPWSTR text, int capacity) {
  WCHAR layout[kPieceChars];
  if (!LoadPieceString(module, inches ? kStringSizeInches : kStringSizeMillimetres, layout)) return false;
  FormatText(text, capacity, layout, {width, length});
  return true;
}

// Cuts a name at its first line feed or carriage return.
void KeepFirstLine(LPWSTR name) {
  for (; *name != 0; ++name) {
    if (*name == u'\n' || *name == u'\r') {
      *name = 0;
      return;
    }
  }
}

// The name of an item's value record (no value: the item's own record) into a buffer.
bool ReadValueName(const ItemStore* store, SettingItemId id, const void* value, LPWSTR name, int capacity) {
  name[0] = 0;
  if (store == nullptr) return false;
  WORD type = 0;
  DatabaseRecord* record = nullptr;
  if (ReadItemValueRecord(FALSE, store->main, store->linked, id, value, &type, &record) != kDbOk) return false;
  LPCWSTR recordName = GetRecordName(record);
  if (recordName != nullptr) lstrcpynW(name, recordName, capacity);
  FreeRecord(&record, kDbAnyType);
  return recordName != nullptr;
}

// The key of the paper-source record a source item's value stands for: the record its choice
// names when that record is of the expected type, else the value itself.
WORD SourceKeyOfValue(ItemStore* store, SettingItemId id, WORD recordType, const void* value) {
  const WORD number = *static_cast<const WORD*>(value);
  WORD type = 0, status = 0;
  DatabaseRecord* target = ReadChoiceTarget(store, id, value, &type, &status);
  if (target == nullptr) return number;
  const WORD key = target->h.type == recordType ? target->h.key : number;
  FreeRecord(&target, kDbAnyType);
  return key;
}

// The current value type of an item, for showing a proposed value of it.
bool CurrentValueType(const SettingsContext* context, SettingItemId id, ValueTypeCode* type) {
  ItemValueCell cell{};
  DWORD length = 0;
  return GetItemValue(id, context->settings, context->config, type, &length, &cell) == kItemDone;
}

const NumberItem* FindNumberItem(SettingItemId id) {
  for (const NumberItem& item : kNumberItems)
    if (id >= item.first && id <= item.last) return &item;
  return nullptr;
}

const SourceItem* FindSourceItem(SettingItemId id) {
  for (const SourceItem& item : kSourceItems)
    if (item.id == id) return &item;
  return nullptr;
}

// The name and size of a user-defined paper: the text of its slot's name item, one blank and
// its size text (left out when it cannot be made).
bool UserPaperText(HMODULE module, const SettingsContext* context, WORD paperId, const MeasurementFlags* flags,
                   LPWSTR name, LPWSTR details) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  const auto nameItem = static_cast<SettingItemId>(kItemUserPaperName + UserPaperIdToIndex(paperId));
  if (GetItemValue(nameItem, context->settings, context->config, &type, &length, &cell) != kItemDone ||
      type != kTypeString)
    return false;
  lstrcpynW(name, static_cast<LPCWSTR>(cell.data), kPieceChars);
  WCHAR size[kPieceChars];
  if (flags != nullptr && UserPaperSizeText(flags, module, context, paperId, size, kPieceChars)) {
    details[0] = u' ';
    lstrcpynW(details + 1, size, kPieceChars - 1);
  }
  return true;
}

}  // namespace

BOOL ValueToText(const void* value, ValueTypeCode type, BOOL wholeOnly, LPWSTR text, int capacity, WORD divisor) {
  return FormatTypedNumber(value, type, wholeOnly, true, text, capacity, divisor);
}

BOOL ValueToTextPlain(BOOL wholeOnly, LPWSTR text, int capacity, WORD divisor, ValueTypeCode type,
                      const void* value) {
  return FormatTypedNumber(value, type, wholeOnly, false, text, capacity, divisor);
}

LPWSTR FormatPaperNameWithSize(HMODULE resourceModule, const PaperNameSize* paper, const MeasurementFlags* flags) {
  if (resourceModule == nullptr || paper == nullptr || paper->name == nullptr || flags == nullptr) return nullptr;
  WCHAR width[16], length[16];
  if (flags->inches) {
    const LONG sizes[2] = {TenthMmToHundredthInch(paper->width), TenthMmToHundredthInch(paper->length)};
    WCHAR* texts[2] = {width, length};
    for (int i = 0; i < 2; ++i) {
      int whole = 0, fraction = 0;
      SplitHundredths(flags->oneDecimal, static_cast<WORD>(sizes[i]), &whole, &fraction);
      wsprintfW(texts[i], flags->oneDecimal ? u"%u.%u" : u"%u.%02u", whole, fraction);
    }
  } else {
    wsprintfW(width, u"%u", paper->width / 10u);
    wsprintfW(length, u"%u", paper->length / 10u);
  }
  WCHAR size[kPieceChars];
  if (!FormatSizeText(resourceModule, flags->inches != 0, width, length, size, kPieceChars)) return nullptr;
  const int capacity = lstrlenW(paper->name) + kSizeTextChars + 1;
  auto* text = static_cast<LPWSTR>(GlobalAlloc(GPTR, sizeof(WCHAR) * capacity));
  if (text == nullptr) return nullptr;
  // "name size"; a size text longer than its room is cut at the buffer's end.
  lstrcpyW(text, paper->name);
  AppendText(text, capacity, u" ");
  AppendText(text, capacity, size);
  return text;
}

BOOL UserPaperSizeText(const MeasurementFlags* flags, HMODULE resourceModule, const SettingsContext* context,
                       WORD paperId, LPWSTR text, int capacity) {
  ClearText(text, capacity);
  WORD width = 0, length = 0;
  if (flags == nullptr || context == nullptr || text == nullptr || capacity <= 0 ||
      !GetUserPaperSize(context, paperId, &width, &length))
    return FALSE;
  LONG values[2] = {width, length};
  WORD divisor = 10;
  BOOL wholeOnly = TRUE;
  if (flags->inches) {
    wholeOnly = FALSE;
    for (LONG& v : values) v = TenthMmToHundredthInch(v);
    divisor = 100;
    if (flags->oneDecimal) {
      for (LONG& v : values) v /= 10;
      divisor = 10;
    }
  }
  WCHAR widthText[16], lengthText[16];
  if (!ValueToText(&values[0], kTypeInt32, wholeOnly, widthText, 16, divisor) ||
      !ValueToText(&values[1], kTypeInt32, wholeOnly, lengthText, 16, divisor) ||
      !FormatSizeText(resourceModule, flags->inches != 0, widthText, lengthText, text, capacity)) {
    ClearText(text, capacity);
    return FALSE;
  }
  return TRUE;
}

BOOL SourceDetailsText(HMODULE resourceModule, const ItemStore* store, WORD recordType, WORD key, LPWSTR text,
                       int capacity) {
  ClearText(text, capacity);
  CustomSizeRange range{};
  WCHAR layout[kPieceChars];
  if (text == nullptr || capacity <= 0 || store == nullptr || (recordType != 5 && recordType != 6) ||
      GetSourceCustomRange(store, recordType, key, &range) != kRangeRead ||
      !LoadPieceString(resourceModule, kStringSourceRange, layout))
    return FALSE;
  const WORD sizes[4] = {range.minWidth, range.maxWidth, range.minLength, range.maxLength};
  WCHAR texts[4][16];
  for (int i = 0; i < 4; ++i) ValueToText(&sizes[i], kTypeUInt16, TRUE, texts[i], 16, 10);
  FormatText(text, capacity, layout, {texts[0], texts[1], texts[2], texts[3]});
  return TRUE;
}

BOOL GetItemValueText(BOOL withDetails, HMODULE resourceModule, const SettingsContext* context, LPWSTR text,
                      int capacity, SettingItemId id, const void* value, const MeasurementFlags* flags) {
  ClearText(text, capacity);
  if (context == nullptr || context->store == nullptr || text == nullptr || capacity <= 0) return FALSE;
  WCHAR name[kPieceChars] = {};
  WCHAR details[kPieceChars] = {};
  WCHAR suffix[kPieceChars] = {};
  if (value == nullptr) {
    if (!ReadValueName(context->store, id, nullptr, name, kPieceChars)) return FALSE;
    for (SettingItemId item : kInfoSuffixItems)
      if (item == id && !LoadPieceString(resourceModule, kStringInfoSuffix, suffix)) return FALSE;
  } else if (const NumberItem* number = FindNumberItem(id)) {
    ValueTypeCode type = 0;
    if (!CurrentValueType(context, id, &type)) return FALSE;
    return ValueToTextPlain(FALSE, text, capacity, number->divisor, type, value);
  } else if (id == kItemAccountText) {
    LPCWSTR string = *static_cast<const LPCWSTR*>(value);
    if (string != nullptr && string[0] != 0) {
      lstrcpynW(name, string, kPieceChars);
    } else if (!LoadPieceString(resourceModule, kStringEmptyText, name, kEmptyTextChars + 1)) {
      return FALSE;
    }
  } else if ((id == kItemPaperSize ||
              (id == kItemOutputPaper && *static_cast<const WORD*>(value) != kSameAsPaperSize)) &&
             IsUserPaperId(*static_cast<const WORD*>(value))) {
    if (!UserPaperText(resourceModule, context, *static_cast<const WORD*>(value), flags, name, details)) return FALSE;
  } else {
    if (!ReadValueName(context->store, id, value, name, kPieceChars)) return FALSE;
    const SourceItem* source = FindSourceItem(id);
    const WORD number = *static_cast<const WORD*>(value);
    if (source != nullptr && withDetails && (source->withoutDetails == 0 || number != source->withoutDetails)) {
      const WORD key = SourceKeyOfValue(context->store, id, source->recordType, value);
      SourceDetailsText(resourceModule, context->store, source->recordType, key, details, kPieceChars);
    }
  }
  KeepFirstLine(name);
  lstrcpynW(text, name, capacity);
  AppendText(text, capacity, details);
  AppendText(text, capacity, suffix);
  return TRUE;
}

BOOL FormatItemSettingText(LPWSTR* text, HMODULE resourceModule, const SettingsContext* context, SettingItemId id,
                           const MeasurementFlags* flags) {
  if (text == nullptr) return FALSE;
  *text = nullptr;
  ValueTypeCode type = 0;
  ItemValueCell cell{};
  WCHAR name[kPieceChars], value[kPieceChars];
  if (context == nullptr || ReadCurrentValue(context, id, &type, &cell) != kItemDone ||
      !GetItemValueText(FALSE, resourceModule, context, name, kPieceChars, id, nullptr, flags) ||
      !GetItemValueText(FALSE, resourceModule, context, value, kPieceChars, id, &cell, flags))
    return FALSE;
  return LoadFormattedString(resourceModule, text, 0, kStringSettingLine, {name, value});
}
