// Texts that show setting values: typed numbers with a fixed number of decimals, paper sizes in
// millimetres or inches, the size of a user-defined paper, the custom-size range of a paper
// source, and the display text of an item's value for lists and messages. Unit words and
// layouts are format strings of the resource module; numbers are formatted with wsprintfW.
// Every text goes into a buffer of a given capacity (characters, terminator included) and is
// cut at its end.
#pragma once

#include "core/constraints/setting_change.h"
#include "platform/base/types.h"

// How the property sheets show sizes: in inches (else millimetres), and inches with one
// decimal instead of two.
struct MeasurementFlags {
  DWORD inches;
  DWORD oneDecimal;
};

// Resource strings of the value texts.
inline constexpr UINT kStringInfoSuffix = 305;       // appended to the names of items 327 and 328
inline constexpr UINT kStringEmptyText = 306;        // shown for an empty item 5129
inline constexpr UINT kStringSizeMillimetres = 703;  // layout of a size: width text, length text
inline constexpr UINT kStringSourceRange = 704;      // min width, max width, min length, max length
inline constexpr UINT kStringSettingLine = 707;      // an item's name and value
inline constexpr UINT kStringSizeInches = 9247;

// Paper sizes, and the name a size is shown after, in tenths of a millimetre.
struct PaperNameSize {
  WORD width;
  WORD length;
  LPCWSTR name;
};

// The value (read through `value` by its type) as text. Divisor 1 gives the whole number;
// another divisor the whole part alone (wholeOnly) or the fixed-point form whose decimals are
// padded with zeros to the divisor's places ("12.05" for 1205 / 100). A string (the value
// holds its address) is its own text. FALSE, with an empty text, for a type without a text,
// a divisor of 0 or no output.
BOOL ValueToText(const void* value, ValueTypeCode type, BOOL wholeOnly, LPWSTR text, int capacity, WORD divisor);
// The same without padding the decimals ("12.5" for 1205 / 100).
BOOL ValueToTextPlain(BOOL wholeOnly, LPWSTR text, int capacity, WORD divisor, ValueTypeCode type,
                      const void* value);

// A new text "name size" (the caller frees it with GlobalFree): the size is the resource
// module's layout in millimetres (whole numbers) or inches (two decimals, or one with the
// second dropped), filled with width and length. At most the name plus 64 characters. NULL for
// a missing argument, a layout that cannot be loaded or no memory.
LPWSTR FormatPaperNameWithSize(HMODULE resourceModule, const PaperNameSize* paper, const MeasurementFlags* flags);

// The size text of a user-defined paper from its slot's width and length items. FALSE and an
// empty text for another paper or a failure.
BOOL UserPaperSizeText(const MeasurementFlags* flags, HMODULE resourceModule, const SettingsContext* context,
                       WORD paperId, LPWSTR text, int capacity);
// The custom-size range of a paper source (record type 5) or output bin (type 6) of this key
// in whole millimetres, laid out by the resource module's range string. FALSE and an empty
// text when the record has no such range or the string cannot be loaded.
BOOL SourceDetailsText(HMODULE resourceModule, const ItemStore* store, WORD recordType, WORD key, LPWSTR text,
                       int capacity);

// The display text of an item: without a value its name; with a value the value's name (or
// the number itself, the name and size of a user paper, the string of item 5129), with the
// custom-size range of a paper source when details are asked for. The value reference points
// at the value as in an ItemChange (for a string: at the string's address). Only the first
// line of a name is shown. TRUE when a text was made; FALSE with an empty text otherwise.
BOOL GetItemValueText(BOOL withDetails, HMODULE resourceModule, const SettingsContext* context, LPWSTR text,
                      int capacity, SettingItemId id, const void* value, const MeasurementFlags* flags);

// Caller to come: the colour tab page, when it resets the resolution.
// The line of an item's name and its current value's text (without details), laid out by the
// resource module's setting line, as a new text the caller frees with GlobalFree. FALSE with
// NULL when a text cannot be made.
BOOL FormatItemSettingText(LPWSTR* text, HMODULE resourceModule, const SettingsContext* context, SettingItemId id,
                           const MeasurementFlags* flags);
