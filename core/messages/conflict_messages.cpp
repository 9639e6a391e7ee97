#include "core/messages/conflict_messages.h"

#include "core/constraints/tile_count.h"
#include "core/messages/conflict_texts.h"
#include "core/messages/formatted_strings.h"
#include "core/messages/sheet_services.h"
#include "core/runtime/resource_module.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/msgbox.h"

namespace {

constexpr int kCaptionChars = 128;
constexpr UINT kWarningStyle = MB_ICONWARNING;
constexpr UINT kQuestionStyle = MB_OKCANCEL | MB_ICONINFORMATION;
constexpr UINT kNoticeStyle = MB_ICONINFORMATION;
// Tile-count flags: the box only informs.
constexpr WORD kTileInformOnly = 0x10;

// Answers of the box routines.
constexpr WORD kBoxAccepted = 0;
constexpr WORD kBoxDeclined = 1;

// Builds a message's text with the sheet's measurement flags (a new block, or NULL).
using TextBuilder = LPWSTR (*)(HMODULE module, const MeasurementFlags* flags, const void* data);

enum class BoxOutcome { kNoSheet, kNoText, kShown };

// Shows a box on the page: its sheet and measurement flags, the text, caption 265; the answer
// when it was shown.
BoxOutcome ShowBox(HWND window, UINT style, TextBuilder build, const void* data, int* answer) {
  *answer = 0;
  SheetState* sheet = GetSheetState(window);
  MeasurementFlags flags{};
  if (sheet == nullptr || !GetMeasurementFlags(sheet, &flags)) return BoxOutcome::kNoSheet;
  HMODULE module = GetResourceModule();
  LPWSTR text = build(module, &flags, data);
  if (text == nullptr) return BoxOutcome::kNoText;
  WCHAR caption[kCaptionChars] = {};
  LoadStringW(module, kStringCaption, caption, kCaptionChars);
  *answer = ShowMessageBox(window, text, caption, style);
  GlobalFree(text);
  return BoxOutcome::kShown;
}

// A question accepted only by OK.
WORD Ask(HWND window, TextBuilder build, const void* data) {
  int answer = 0;
  return ShowBox(window, kQuestionStyle, build, data, &answer) == BoxOutcome::kShown && answer == IDOK
             ? kBoxAccepted
             : kBoxDeclined;
}

void Warn(HWND window, TextBuilder build, const void* data) {
  int answer = 0;
  ShowBox(window, kWarningStyle, build, data, &answer);
}

struct ChangeMessage {
  const SettingsContext* context;
  const ItemChange* change;
  LPCWSTR extraConditions;
  LPCWSTR extraForced;
  const ConstraintState* state;
};

LPWSTR WarningText(HMODULE module, const MeasurementFlags* flags, const void* data) {
  const auto* m = static_cast<const ChangeMessage*>(data);
  return BuildConflictText(ConflictForm::kWarning, module, m->context, m->change, m->extraConditions,
                           m->extraForced, nullptr, nullptr, m->state, flags);
}
LPWSTR QuestionText(HMODULE module, const MeasurementFlags* flags, const void* data) {
  const auto* m = static_cast<const ChangeMessage*>(data);
  return BuildConflictText(ConflictForm::kQuestion, module, m->context, m->change, m->extraConditions,
                           m->extraForced, nullptr, nullptr, m->state, flags);
}
LPWSTR RequirementText(HMODULE module, const MeasurementFlags* flags, const void* data) {
  const auto* m = static_cast<const ChangeMessage*>(data);
  return BuildRequirementText(module, m->context, m->change, m->state, flags);
}
LPWSTR Type7Text(HMODULE module, const MeasurementFlags* flags, const void* data) {
  const auto* m = static_cast<const ChangeMessage*>(data);
  return BuildType7Text(module, m->context, m->change, m->state, flags);
}
LPWSTR ValueChangeText(HMODULE module, const MeasurementFlags* flags, const void* data) {
  const auto* m = static_cast<const ChangeMessage*>(data);
  return BuildValueChangeText(module, m->context, m->change, m->state->messageType, flags);
}
LPWSTR NoticeText(HMODULE module, const MeasurementFlags* flags, const void* data) {
  const auto* m = static_cast<const ChangeMessage*>(data);
  return BuildNoticeText(module, m->context, m->state, flags);
}

struct RangeMessage {
  const SettingsContext* context;
  WORD scale;
  LONG integerFlag;
  SettingItemId id;
  LPCWSTR name;
  ValueTypeCode type;
  LONG minimum;
  LONG maximum;
};
LPWSTR RangeText(HMODULE module, const MeasurementFlags* flags, const void* data) {
  const auto* m = static_cast<const RangeMessage*>(data);
  return BuildRangeWarningText(module, m->context, m->id, m->name, m->type, m->minimum, m->maximum, m->scale,
                               m->integerFlag, flags);
}

struct TileMessage {
  const SettingsContext* context;
  const ItemChange* change;
  WORD flags;
  const WORD* items;
};
LPWSTR TileText(HMODULE module, const MeasurementFlags* flags, const void* data) {
  const auto* m = static_cast<const TileMessage*>(data);
  return BuildTileCountText(m->flags, module, m->context, m->change, nullptr, nullptr, m->items, flags);
}

struct ListMessage {
  const SettingsContext* context;
  const WORD* ids;
  WORD count;
};
LPWSTR ChangeListText(HMODULE module, const MeasurementFlags* flags, const void* data) {
  const auto* m = static_cast<const ListMessage*>(data);
  LPWSTR text = nullptr;
  return BuildChangeListMessage(&text, module, m->context, m->ids, m->count, kStringChangeList, flags) ? text
                                                                                                       : nullptr;
}

}  // namespace

WORD ShowConstraintMessage(HWND window, const SettingsContext* context, const ItemChange* change,
                           LPCWSTR extraConditions, LPCWSTR extraForced, const ConstraintState* state) {
  if (context == nullptr || change == nullptr || state == nullptr) return kCheckFailed;
  const ChangeMessage message{context, change, extraConditions, extraForced, state};
  switch (state->messageType) {
    case 0:
    case 4:
    case 9: return kConflictGoAhead;
    case 2: Warn(window, WarningText, &message); return kCheckRefused;
    case 3: return Ask(window, QuestionText, &message) == kBoxAccepted ? kConflictGoAhead : kCheckRefused;
    case 5: return Ask(window, RequirementText, &message) == kBoxAccepted ? kConflictGoAhead : kCheckRefused;
    case 7: Warn(window, Type7Text, &message); return kConflictRefusedRecord;
    case 8: return Ask(window, QuestionText, &message) == kBoxAccepted ? kConflictGoAhead : kConflictRefusedRecord;
    case 10:
    case 11:
    case 12:
    case 13: Warn(window, ValueChangeText, &message); return kCheckRefused;
    default: return kCheckFailed;
  }
}

WORD ShowConflictNotice(HWND window, const SettingsContext* context, const ConstraintState* state) {
  if (context != nullptr && state != nullptr) {
    const ChangeMessage message{context, nullptr, nullptr, nullptr, state};
    int answer = 0;
    ShowBox(window, kNoticeStyle, NoticeText, &message, &answer);
  }
  return kConflictNoticeShown;
}

WORD ShowConflictWarning(HWND window, const SettingsContext* context, WORD scale, LONG integerFlag, SettingItemId id,
                         LPCWSTR name, ValueTypeCode type, LONG minimum, LONG maximum) {
  const RangeMessage message{context, scale, integerFlag, id, name, type, minimum, maximum};
  int answer = 0;
  return ShowBox(window, kWarningStyle, RangeText, &message, &answer) == BoxOutcome::kShown ? 0 : 1;
}

WORD ResolveItemConflict(HWND window, const SettingsContext* context, const ItemChange* change) {
  if (context == nullptr || change == nullptr) return kCheckFailed;
  WORD* items = nullptr;
  const WORD check = CheckTileCount(context, change, &items);
  WORD result = kCheckFailed;
  if (check == kCheckDone) {
    result = kConflictGoAhead;
  } else if (check == kTilesTooFew || check == kTilesTooMany) {
    // An information box while editing: too many tiles 0, too few 1.
    const TileMessage message{context, change, static_cast<WORD>(kTileInformOnly | (check == kTilesTooFew ? 1 : 0)),
                              items};
    const UINT style = (message.flags & kTileInformOnly) != 0 ? kNoticeStyle : kQuestionStyle;
    int answer = 0;
    result = ShowBox(window, style, TileText, &message, &answer) == BoxOutcome::kShown && answer == IDOK
                 ? kConflictGoAhead
                 : kCheckRefused;
  }
  GlobalFree(items);
  return result;
}

WORD ConfirmConflictChanges(HWND window, ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config,
                            const WORD* ids, WORD count) {
  if (store == nullptr || settings == nullptr || config == nullptr || ids == nullptr) return kCheckFailed;
  const SettingsContext context{store, settings, config};
  const ListMessage message{&context, ids, count};
  int answer = 0;
  switch (ShowBox(window, kQuestionStyle, ChangeListText, &message, &answer)) {
    case BoxOutcome::kNoSheet: return kCheckFailed;
    case BoxOutcome::kNoText: return kCheckDone;
    default: return answer == IDOK ? kCheckDone : kConflictCancelled;
  }
}
