#include "core/constraints/hard_rules.h"

#include "core/constraints/change_values.h"
#include "core/constraints/rule_compare.h"
#include "core/stamps/stamp_store.h"
#include "core/system/os_generation.h"
#include "items/item_ids.h"
#include "platform/base/types.h"

namespace {

// The colour-management method that the platform generations before 5 cannot carry out.
constexpr WORD kSystemColorMethod = 3;

// Message types the rules set.
constexpr WORD kMessageAccepted = 0;
constexpr WORD kMessageRefused = 1;
constexpr WORD kMessageConfirm = 3;
constexpr WORD kMessageHidden = 6;
constexpr WORD kMessageStampsFull = 8;

// What a rule decided: the message type and up to two ids for the changed-item list (0-ended).
struct Verdict {
  WORD messageType;
  SettingItemId ids[2];
};

struct HardRule;

struct RuleInput {
  HANDLE printer;
  const SettingsContext* context;
  const ItemChange* change;
  const HardRule* rule;
};

// kCheckDone with the verdict, kCheckFailed when a read failed, kCheckNoRule for an item that only
// reads its companions.
using RuleFunction = WORD (*)(const RuleInput&, Verdict*);

struct HardRule {
  SettingItemId id;
  RuleFunction decide;
  SettingItemId companions[2];  // items read before deciding that there is no rule (0-ended)
};

// The stamp rules' view of the settings: whether the page is tiled and the stamp's name.
struct StampFacts {
  bool tiled;
  LPCWSTR name;  // NULL or empty: no stamp is named
};

bool HasName(const StampFacts& facts) { return facts.name != nullptr && facts.name[0] != 0; }

bool ReadStampName(const RuleInput& in, LPCWSTR* name) {
  return ReadChangeOrItemValue(in.context, in.change, kItemStampName, sizeof *name, name) != FALSE;
}

bool ReadStampFacts(const RuleInput& in, StampFacts* facts) {
  LONGLONG layout = 0;
  if (!ReadChangeOrItemNumber(in.context, in.change, kItemPageLayout, &layout)) return false;
  facts->tiled = layout == 1;
  return ReadStampName(in, &facts->name);
}

WORD Decide(Verdict* verdict, WORD messageType, SettingItemId first = 0, SettingItemId second = 0) {
  *verdict = Verdict{messageType, {first, second}};
  return kCheckDone;
}

// Item 293: the system's colour management (value 3) is refused before generation 5.
WORD DecideColorMethod(const RuleInput& in, Verdict* verdict) {
  if (in.change->value == nullptr) return Decide(verdict, kMessageAccepted);
  const WORD method = kSystemColorMethod;
  const WORD equal = CompareRuleValue(kOpEqual, kTypeUInt16, &method, in.change->type, in.change->value);
  if (equal == kRuleFails) return Decide(verdict, kMessageAccepted);
  if (equal != kRuleHolds) return kCheckFailed;
  WORD generation = 0;
  const int newer = CheckOsGeneration(&generation);
  if (newer < 0) return kCheckFailed;
  return Decide(verdict, newer == 0 ? kMessageRefused : kMessageAccepted);
}

// Item 321: tiling the page while a stamp is named asks for confirmation (the stamp goes).
WORD DecideTiledLayout(const RuleInput& in, Verdict* verdict) {
  if (in.change->value == nullptr) return Decide(verdict, kMessageAccepted);
  LONGLONG layout = 0;
  if (!NumberOfTypedValue(in.change->type, in.change->value, &layout)) return kCheckFailed;
  if (layout != 1) return Decide(verdict, kMessageAccepted);
  LPCWSTR name = nullptr;
  if (!ReadStampName(in, &name)) return kCheckFailed;
  if (name == nullptr || name[0] == 0) return Decide(verdict, kMessageAccepted);
  return Decide(verdict, kMessageConfirm, kItemStampName);
}

WORD DecideAlwaysHidden(const RuleInput&, Verdict* verdict) { return Decide(verdict, kMessageHidden); }

WORD DecideAlwaysAccepted(const RuleInput&, Verdict* verdict) { return Decide(verdict, kMessageAccepted); }

// Items 1286 and 0x9002: editing the named stamp needs a name and an untiled page.
WORD DecideStampEdit(const RuleInput& in, Verdict* verdict) {
  StampFacts facts{};
  if (!ReadStampFacts(in, &facts)) return kCheckFailed;
  if (in.change->value == nullptr && (facts.tiled || !HasName(facts)))
    return Decide(verdict, kMessageRefused, kItemTileCount, kItemStampName);
  return Decide(verdict, kMessageAccepted);
}

// Item 0x9001: adding a stamp needs an untiled page and room in the store. The count is read
// whatever the name, since the store accepts any new stamp until it is full.
WORD DecideStampAdd(const RuleInput& in, Verdict* verdict) {
  DWORD stamps = 0;
  if (CountUserStamps(in.printer, &stamps) != kStampDone) return kCheckFailed;
  StampFacts facts{};
  if (!ReadStampFacts(in, &facts)) return kCheckFailed;
  if (in.change->value == nullptr && facts.tiled) return Decide(verdict, kMessageRefused, kItemTileCount);
  if (stamps >= kMaxStoredStamps) return Decide(verdict, kMessageStampsFull, kItemStampName);
  return Decide(verdict, kMessageAccepted);
}

// Item 0x9003: acting on a stored stamp needs an untiled page and a name the store holds.
WORD DecideStoredStamp(const RuleInput& in, Verdict* verdict) {
  StampFacts facts{};
  if (!ReadStampFacts(in, &facts)) return kCheckFailed;
  if (in.change->value == nullptr &&
      (facts.tiled || !HasName(facts) || FindUserStamp(in.printer, facts.name) != kStampDone))
    return Decide(verdict, kMessageRefused, kItemTileCount, kItemStampName);
  return Decide(verdict, kMessageAccepted);
}

// Items whose companions are read (a failed read ends the check) but that have no rule.
WORD ReadCompanionsOnly(const RuleInput& in, Verdict*) {
  for (SettingItemId companion : in.rule->companions) {
    if (companion == 0) break;
    LONGLONG value = 0;  // a number, or a string's address
    if (!ReadChangeOrItemValue(in.context, in.change, companion, sizeof value, &value)) return kCheckFailed;
  }
  return kCheckNoRule;
}

constexpr HardRule kHardRules[] = {
    {kItemIcmChoice, DecideColorMethod, {}},
    {kItemPageLayout, DecideTiledLayout, {}},
    {1284, DecideAlwaysHidden, {}},
    {1286, DecideStampEdit, {}},
    {kItemStampEditRequest, DecideStampEdit, {}},
    {kItemStampAddRequest, DecideStampAdd, {}},
    {kItemStampDeleteRequest, DecideStoredStamp, {}},
    {1333, DecideAlwaysAccepted, {}},
    {5138, DecideAlwaysAccepted, {}},
    {298, ReadCompanionsOnly, {kItemPageLayout, kItemStampName}},
    {301, ReadCompanionsOnly, {300, 0}},
    {303, ReadCompanionsOnly, {1288, 0}},
    {5121, ReadCompanionsOnly, {5127, 0}},
};

// Dependents of the items whose rules can take effect. Other items have none.
struct DependentItems {
  SettingItemId id;
  SettingItemId dependents[2];
};

constexpr DependentItems kDependentItems[] = {
    {1286, {kItemTileCount, kItemStampName}},
    {kItemStampAddRequest, {kItemTileCount, kItemStampName}},
    {kItemStampEditRequest, {kItemTileCount, kItemStampName}},
    {kItemStampDeleteRequest, {kItemTileCount, kItemStampName}},
};

}  // namespace

WORD AddDependentItems(ConstraintState* state, SettingItemId id) {
  if (state == nullptr) return kCheckFailed;
  for (const DependentItems& row : kDependentItems) {
    if (row.id != id) continue;
    for (SettingItemId dependent : row.dependents) {
      const WORD status = AppendUniqueItemId(dependent, kRelatedListInline, &state->related, &state->relatedCount);
      if (status != kCheckDone) return status;
    }
  }
  return kCheckDone;
}

WORD ApplyHardRules(HANDLE printer, const SettingsContext* context, const ItemChange* change,
                    const ConstraintState* entryState, ConstraintState* state, WORD** changedItems, WORD* count) {
  if (context == nullptr || change == nullptr || entryState == nullptr || state == nullptr ||
      (changedItems != nullptr && count == nullptr))
    return kCheckFailed;
  const HardRule* rule = nullptr;
  for (const HardRule& row : kHardRules)
    if (row.id == change->id) rule = &row;
  if (rule == nullptr) return kCheckNoRule;

  Verdict verdict{};
  const WORD decided = rule->decide(RuleInput{printer, context, change, rule}, &verdict);
  if (decided != kCheckDone) return decided;

  // The engine reset the state before the rules run: the rule's type is the state's type.
  state->messageType = verdict.messageType;
  if (changedItems != nullptr)
    for (SettingItemId id : verdict.ids) {
      if (id == 0) break;
      const WORD status = AppendUniqueItemId(id, kChangedListInline, changedItems, count);
      if (status != kCheckDone) return status;
    }
  return AddDependentItems(state, change->id);
}
