#include "core/rules/apply_validation.h"

#include <algorithm>
#include <cstring>

#include "core/constraints/constraint_records.h"
#include "core/constraints/constraint_state.h"
#include "core/constraints/tile_count.h"
#include "core/database/dbrecords.h"
#include "core/messages/conflict_texts.h"
#include "core/rules/position_rules.h"
#include "core/rules/record_numbers.h"
#include "core/store/item_access.h"
#include "core/store/printer_forms.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

// The items whose rules are evaluated again, in this order.
struct IdRange {
  SettingItemId first;
  SettingItemId last;
};
constexpr IdRange kRevalidatedRanges[] = {{0x1001, 0x110A}, {0x1401, 0x144E}};
constexpr SettingItemId kRevalidatedItems[] = {kItemPaperSize,   kItemDuplex,         kItemDefaultSource,
                                               kItemOrientation, kItemCopies,         kItemOutputPaper,
                                               kItemPaperSource, kItemResolutionPair, kItemCollate};

// A changed-item list with its inline room, freed when it goes.
struct ChangedItems {
  WORD room[kChangedListInline] = {};
  WORD* list = room;
  WORD count = 0;
  ChangedItems() = default;
  ChangedItems(const ChangedItems&) = delete;
  ChangedItems& operator=(const ChangedItems&) = delete;
  ~ChangedItems() { ReleaseIdList(&list, &count, room); }
};

WORD Append(WORD id, WORD** list, WORD* count) { return AppendUniqueItemId(id, kChangedListInline, list, count); }

// Writes a number in the item's own type through the conflict writer.
WORD WriteNumber(const SettingsContext* context, SettingItemId id, LONG value) {
  return WriteItemLong(context->settings, context->config, id, value) ? kCheckDone : kCheckFailed;
}

// The rules of one item with its current value; 0, 1 on failure.
WORD RevalidateItem(HANDLE printer, const SettingsContext* context, SettingItemId id, WORD** list, WORD* count) {
  ItemValueCell value{};
  ValueTypeCode type = 0;
  if (ReadCurrentValue(context, id, &type, &value) != kItemDone) return kCheckDone;  // not an item here
  // The orientation's rules are evaluated with the other orientation in the settings, which
  // is put back whatever happens.
  const bool turned = id == kItemOrientation;
  if (turned && WriteNumber(context, id, value.word == 2 ? 1 : 2) != kCheckDone) return kCheckFailed;
  WORD result = kCheckDone;
  WORD recordType = 0;
  ScopedRecord record;
  const WORD read = ReadItemValueRecord(TRUE, context->store->main, context->store->linked, id,
                                        id == kItemCopies ? nullptr : &value, &recordType, &record.record);
  if (read != kDbOk && read != kDbAbsent) result = kCheckFailed;
  if (read == kDbOk) {
    const ItemChange change{id, type, &value};
    const ItemChange plain{id, 0, nullptr};
    if (EvaluateConstraintList(kCheckModeApply, FALSE, kListRules, printer, context, &change, nullptr, record.record,
                               list, count, nullptr, nullptr) != kCheckDone ||
        EvaluateConstraintList(kCheckModeApply, FALSE, kListRequirements, printer, context, &plain, nullptr,
                               record.record, list, count, nullptr, nullptr) != kCheckDone)
      result = kCheckFailed;
  }
  if (turned && WriteNumber(context, id, value.word) != kCheckDone) result = kCheckFailed;
  return result;
}

// One derived position item: written and listed when it differs from what the rule gives.
WORD DerivePosition(const SettingsContext* context, SettingItemId target, SettingItemId source, WORD** list,
                    WORD* count) {
  LONG pages = 0, orientation = 0, from = 0, current = 0;
  if (!ReadItemLong(context->settings, context->config, kItemPagesPerSheet, &pages) ||
      !ReadItemLong(context->settings, context->config, kItemOrientation, &orientation) ||
      !ReadItemLong(context->settings, context->config, source, &from) ||
      !ReadItemLong(context->settings, context->config, target, &current))
    return kCheckFailed;
  const PositionRuleInput input{static_cast<WORD>(orientation), static_cast<WORD>(pages), 0,
                                static_cast<WORD>(from)};
  WORD derived = 0;
  const int rule = target == kItemBindingEdge ? ResolvePositionRule(&input, &derived)
                                              : ResolvePositionItems(target, &input, &derived);
  if (rule != 0) return kCheckFailed;
  if (derived == static_cast<WORD>(current)) return kCheckDone;
  if (WriteNumber(context, target, derived) != kCheckDone) return kCheckFailed;
  return Append(target, list, count);
}

}  // namespace

WORD SelectPaperByFormName(HANDLE printer, const SettingsContext* context) {
  LONG paper = 0;
  if (context == nullptr || context->store == nullptr ||
      !ReadItemLong(context->settings, context->config, kItemPaperSize, &paper))
    return kCheckFailed;
  const DWORD form = static_cast<WORD>(paper);
  if (IsBuiltinForm(printer, form) == 1 && IsDatabasePaperSize(printer, form) == 1) {
    const DWORD index = PaperSizeToFormIndex(form);
    return index == form ? kCheckDone : WriteNumber(context, kItemPaperSize, static_cast<LONG>(index));
  }
  LPWSTR formName = GetFormNameByIndex(printer, form);
  if (formName == nullptr) return kFormWithoutName;
  WORD result = kCheckDone;
  for (WORD n = 1;; ++n) {
    ScopedRecord choice, paperRecord;
    WORD type = 0, paperType = 0;
    const WORD read =
        ReadChoiceRecord(TRUE, context->store->main, context->store->linked, kItemPaperSize, n, &type, &choice.record);
    if (read != kDbOk) {
      result = read;
      break;
    }
    if (ReadReferencedRecord(FALSE, context->store->main, context->store->linked, choice.record, &paperType,
                             &paperRecord.record) != kDbOk)
      continue;
    LPCWSTR name = GetRecordName(paperRecord.record);
    if (name == nullptr || lstrcmpW(name, formName) != 0) continue;
    const StoredValue& stored = reinterpret_cast<const ChoiceEntryRecord*>(choice.record)->value;
    SHORT value = 0;
    if (!stored.present || stored.value == nullptr) {
      result = kCheckFailed;
      break;
    }
    std::memcpy(&value, stored.value, std::min<size_t>(stored.length, sizeof value));
    result = WriteNumber(context, kItemPaperSize, value);
    break;
  }
  GlobalFree(formName);
  return result;
}

WORD ValidatePaperItem(BOOL checkForms, HANDLE printer, const SettingsContext* context, WORD** list, WORD* count) {
  if (context == nullptr || context->store == nullptr) return kCheckFailed;
  if (!checkForms || SelectPaperByFormName(printer, context) == kCheckDone) {
    ItemValueCell value{};
    ValueTypeCode type = 0;
    if (ReadCurrentValue(context, kItemPaperSize, &type, &value) == kItemDone) {
      WORD recordType = 0;
      ScopedRecord record;
      if (ReadItemValueRecord(FALSE, context->store->main, context->store->linked, kItemPaperSize, &value, &recordType,
                              &record.record) == kDbOk)
        return kCheckDone;
    }
  }
  // Not one of the model's papers: the model's default paper.
  void* paper = nullptr;
  ValueTypeCode type = 0;
  if (ReadItemDefault(context->store->main, context->store->linked, kItemPaperSize, &paper, &type) != kDbOk) {
    GlobalFree(paper);
    return kCheckFailed;
  }
  const ItemChange change{kItemPaperSize, type, paper};
  const WORD written = ApplyConflictItem(context, &change);
  GlobalFree(paper);
  if (written != kCheckDone || Append(kItemPaperSize, list, count) != kCheckDone) return kCheckFailed;
  return kCheckDone;
}

WORD RevalidateItems(HANDLE printer, const SettingsContext* context, WORD** list, WORD* count) {
  if (context == nullptr || context->store == nullptr) return kCheckFailed;
  for (const IdRange& range : kRevalidatedRanges)
    for (DWORD id = range.first; id <= range.last; ++id)
      if (RevalidateItem(printer, context, static_cast<SettingItemId>(id), list, count) != kCheckDone)
        return kCheckFailed;
  for (SettingItemId id : kRevalidatedItems)
    if (RevalidateItem(printer, context, id, list, count) != kCheckDone) return kCheckFailed;
  if (DerivePosition(context, kItemBindingEdge, kItemBindingEdgeSource, list, count) != kCheckDone ||
      DerivePosition(context, kItemStaplePosition, kItemStapleSource, list, count) != kCheckDone ||
      DerivePosition(context, kItemPunchPosition, kItemPunchSource, list, count) != kCheckDone)
    return kCheckFailed;
  return kCheckDone;
}

WORD ValidateAllSettings(BOOL checkForms, HMODULE module, HANDLE printer, ItemStore* store, SettingsRecord* settings,
                         PrinterConfiguration* config, UINT reportString, const MeasurementFlags* flags,
                         LPWSTR* report) {
  if (report != nullptr) *report = nullptr;
  if (module == nullptr || printer == nullptr || store == nullptr || settings == nullptr || config == nullptr ||
      report == nullptr)
    return kCheckFailed;
  const SettingsContext context{store, settings, config};
  ChangedItems changed;
  if (ValidatePaperItem(checkForms, printer, &context, &changed.list, &changed.count) != kCheckDone ||
      RevalidateItems(printer, &context, &changed.list, &changed.count) != kCheckDone)
    return kCheckFailed;
  // A job without a user text cannot be held for it.
  ItemValueCell text{};
  ValueTypeCode type = 0;
  DWORD bytes = 0;
  if (GetItemValue(kItemAccountText, settings, config, &type, &bytes, &text) != kItemDone || type != kTypeString)
    return kCheckFailed;
  if (text.data == nullptr || bytes < sizeof(WCHAR) || *static_cast<const WCHAR*>(text.data) == 0) {
    LONG jobType = 0;
    if (!ReadItemLong(settings, config, kItemJobType, &jobType)) return kCheckFailed;
    if (jobType == 1 || jobType == 2) {
      if (WriteNumber(&context, kItemJobType, 0) != kCheckDone) return kCheckFailed;
      if (const WORD appended = Append(kItemJobType, &changed.list, &changed.count); appended != kCheckDone)
        return appended;
    }
  }
  if (changed.count == 0 || changed.list[0] == kItemPaperSource) return kValidationNothingToReport;
  LPWSTR message = nullptr;
  if (!BuildChangeListMessage(&message, module, &context, changed.list, changed.count, static_cast<int>(reportString),
                              flags))
    return kCheckFailed;
  if (message[0] == 0) {
    GlobalFree(message);
    return kValidationNothingToReport;
  }
  *report = message;
  return kValidationReport;
}

WORD ValidateItemOnApply(HMODULE module, BOOL check, ItemStore* store, SettingsRecord* settings,
                         PrinterConfiguration* config, const MeasurementFlags* flags, LPWSTR* text) {
  if (text != nullptr) *text = nullptr;
  if (settings == nullptr || module == nullptr || !check || config == nullptr || text == nullptr)
    return kCheckFailed;
  const SettingsContext context{store, settings, config};
  WORD* items = nullptr;
  const WORD tiles = CheckTileCount(&context, nullptr, &items);
  WORD result = kCheckFailed;
  if (tiles == kCheckDone) {
    result = kTilesFit;
  } else if (tiles == kTilesTooFew || tiles == kTilesTooMany) {
    // At apply time: too many tiles 2, too few 3.
    LPWSTR built = BuildTileCountText(tiles == kTilesTooFew ? 3 : 2, module, &context, nullptr, nullptr, nullptr,
                                      items, flags);
    if (built != nullptr) {
      constexpr SIZE_T kBlockBytes = 1024;
      auto* block = static_cast<LPWSTR>(GlobalAlloc(GPTR, kBlockBytes));
      if (block != nullptr) {
        lstrcpynW(block, built, kApplyTileTextChars + 1);
        *text = block;
        result = kTilesDoNotFit;
      }
      GlobalFree(built);
    }
  }
  GlobalFree(items);
  return result;
}
