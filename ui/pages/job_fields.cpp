// The job-type popups' shared fields (see job_fields.h).
#include "ui/pages/job_fields.h"

#include "items/item_ids.h"
#include "platform/comctl/propsheet.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/edit_kind.h"
#include "ui/framework/dialog/list_kinds.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/pages/page_routines.h"

namespace {

constexpr SettingItemId kJobTypeItem = kItemJobType, kJobOwnerItem = kItemDocumentNameMode, kJobTextItem = kItemDocumentName;
constexpr WORD kStoredJobType = 3;
constexpr DWORD kLongNamesFeature = 2;
constexpr BYTE kAllChecks = 0xFF;
constexpr BYTE kChecksAtKillActiveAndValidate = 0x11;

constexpr LONG kNameRanges[] = {9235, 9220, 9221, 0};
constexpr LONG kDoubleNameRanges[] = {9222, 0};
constexpr LONG kDoubleRanges[] = {9233, 0};
const ValidationRule kRequiredRule{kNameRanges, kDoubleNameRanges, nullptr, nullptr, 4723};
const ValidationRule kLongRule{kNameRanges, kDoubleNameRanges, nullptr, nullptr, 425};
const ValidationRule kShortRule{kNameRanges, kDoubleRanges, nullptr, nullptr, 445};
const EditKindData kRequiredText{WORD(kEditText | kEditNotBlank), 24, &kRequiredRule, nullptr,
                                 kChecksAtKillActiveAndValidate};
const EditKindData kLongText{WORD(kEditText | kEditTolerant), 24, &kLongRule, nullptr, kAllChecks};
const EditKindData kShortText{WORD(kEditText | kEditTolerant), 12, &kShortRule, nullptr, kAllChecks};
const EditKindData* const kLongTextSlot = &kLongText;

constexpr DWORD kBoth = kRefreshOnFull | kRefreshOnChange;
const DWORD kJobOwner[] = {BoundItem(kJobOwnerItem, kBoth)};
const DWORD kJobText[] = {BoundItem(kJobTextItem, kBoth)};
const ListKindData kComboData{kListChoices, kLinePartName, 0, 0, nullptr, nullptr, nullptr, nullptr};

// The variant of the job text: a stored job must name itself; a model with long names (or no
// sheet to ask) takes 24 characters, others 12.
const EditKindData* ChooseJobTextVariant(const HandlerContext* context) {
  ItemValueCell jobType{};
  if (ReadContextItem(context, kJobTypeItem, &jobType) && jobType.word == kStoredJobType) return &kRequiredText;
  SheetState* sheet = FindSheetState(context->window);
  if (sheet == nullptr || HasSheetFeature(sheet, kLongNamesFeature) == 1) return &kLongText;
  return &kShortText;
}

}  // namespace

const ControlRow kSharedJobRows[2] = {
    {kJobOwnerCombo, 1, kJobOwner, kKindComboBox, nullptr, &kComboData, 1547, 9210, nullptr},
    {kJobTextField, 1, kJobText, kKindEdit, HandleJobTextFieldRow, &kLongTextSlot, 1548, 9211, nullptr},
};

INT_PTR HandleJobTextFieldRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                              const ControlRow* row, const void*) {
  const EditKindData* variant = ChooseJobTextVariant(context);
  if (IsPageRefresh(message, lParam))
    SendDlgItemMessageW(context->window, row->controlId, EM_LIMITTEXT, WPARAM(variant->maxLength), 0);
  return HandleEditKind(context, message, wParam, lParam, row, &variant);
}
