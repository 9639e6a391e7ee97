// The edit-box kind (4) and the value-name text kind (11): typed numbers with decimals, signs,
// half steps and units, typed texts with their character rules and encoded storage, and the
// moments at which a typed text is tested and applied.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"
#include "ui/framework/text/number_text.h"

inline constexpr WORD kEditText = 0x0002;
inline constexpr WORD kEditUnits = 0x0400;
inline constexpr WORD kEditHalfSteps = 0x1000;
inline constexpr WORD kEditEncoded = 0x2000;

// Check triggers: when typed text is tested.
inline constexpr BYTE kCheckAtKillActive = 1 << 2;
inline constexpr BYTE kCheckAtKillFocus = 1 << 3;
inline constexpr BYTE kCheckAtValidate = 1 << 4;

// Answers of ReadEditValue and ApplyEditValue.
inline constexpr int kEditValid = 0;
inline constexpr int kEditError = -1;
inline constexpr int kEditInvalid = -2;
inline constexpr int kEditApplied = 1;
inline constexpr int kEditRefused = 2;
inline constexpr int kEditDisabled = 3;

// Unit conversion directions of GetEditLimits.
inline constexpr int kShownToStored = 1;
inline constexpr int kStoredToShown = 2;

// The strings of a typed number's allowed characters.
inline constexpr LONG kNumberSingleRanges = 9219;
inline constexpr LONG kNumberDoubleRanges = 9233;
// Caption of the range messages.
inline constexpr LONG kEditMessageCaption = 265;

struct NumberFormat {
  WORD decimals;  // written from the item's decimals while the page runs
  DWORD scaled;
};

struct ValidationRule {
  const LONG* singleRanges;
  const LONG* doubleRanges;
  const LONG* forbiddenSingle;
  const LONG* forbiddenDouble;
  LONG messageId;  // kNoString: no message
};

struct EditKindData {
  WORD flags;
  LONG maxLength;
  const ValidationRule* rule;
  NumberFormat* format;
  BYTE triggers;
};

struct EditState {
  LPWSTR valueText;  // text boxes: the last value given to or taken from the settings
  LPWSTR typedText;  // text boxes: the last accepted typed text
  LONG busy;
};

INT_PTR HandleEditKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);
INT_PTR HandleValueTextKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);

// Parses a typed fixed-point number with `decimals` decimals (flags: tolerant, half steps,
// unsigned): 1 with the value, 0 for an invalid text or one outside 32 bits.
int ParseFixedPointText(LPCSTR text, WORD decimals, DWORD flags, LONG* value);
// 0 valid (numbers in *value; texts as a new copy in *text), -1 error, -2 invalid.
int ReadEditValue(HandlerContext* context, const ControlRow* row, LONG* value, LPWSTR* text, const EditKindData* data,
                  BOOL check);
int ShowEditValue(HandlerContext* context, const ControlRow* row, const EditKindData* data);
int ApplyEditValue(HandlerContext* context, WPARAM wParam, const ControlRow* row, const EditKindData* data, BOOL check);
int GetEditLimits(HWND window, int direction, SettingItemId id, ValueTypeCode type, LONG value, LONG* out,
                  const EditKindData* data);
int ShowEditRangeMessage(HandlerContext* context, const ControlRow* row, const EditKindData* data, HWND window);
// A new EditState for the box (with the box's current text for text boxes): 1/0.
int AttachEditState(HandlerContext* context, const ControlRow* row, const EditKindData* data);
// The edit kind's data of a row of kind 4 (its kind data holds a pointer to it) and the box's
// EditState while its page runs; NULL when there is none.
const EditKindData* GetEditKindData(const ControlRow* row);
EditState* GetEditState(HandlerContext* context, const ControlRow* row);
int DetachEditState(HandlerContext* context, const ControlRow* row);
