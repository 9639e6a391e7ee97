#include "ui/framework/sheet/margin_checks.h"

#include <memory>
#include <string>

#include "core/constraints/paper_sizes.h"
#include "core/database/database.h"
#include "core/database/dbrecords.h"
#include "core/database/machine_base_text.h"
#include "core/messages/formatted_strings.h"
#include "core/rules/record_numbers.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/format.h"
#include "ui/framework/text/number_text.h"

namespace {

constexpr WORD kPaperRecordType = 10;
// Strings of the margin warning.
constexpr UINT kUnitMillimetres = 460;
constexpr UINT kLineTemplate = 706;
constexpr UINT kTooSmallText = 729;
constexpr UINT kSizeSeparator = 736;
constexpr int kStringChars = 256;
constexpr int kLineChars = 512;
constexpr WCHAR kLineBreak[] = u"\r\n";

// Frees a global block when the holder goes.
struct GlobalText {
  LPWSTR text = nullptr;
  ~GlobalText() { GlobalFree(text); }
};

WORD ReadOrientation(const SettingsContext* context) {
  LONG orientation = 0;
  if (!ReadItemLong(context->settings, context->config, kItemOrientation, &orientation)) return 0;
  return static_cast<WORD>(orientation);
}

// The two margins along a dimension. The working order is the orientation's order turned to
// (fourth, first, third, second): portrait takes working positions 0 and 2 for the width and
// 1 and 3 for the length, any other orientation the other way round.
DWORD MarginsAlong(const PaperMargins& m, WORD orientation, WORD dimension) {
  const DWORD working[4] = {m.margin[3], m.margin[0], m.margin[2], m.margin[1]};
  const bool evenPositions = (orientation == kPortrait) == (dimension == kMarginWidth);
  return evenPositions ? working[0] + working[2] : working[1] + working[3];
}

std::u16string LoadText(HMODULE module, UINT id) {
  WCHAR text[kStringChars] = {};
  LoadStringW(module, id, text, kStringChars);
  return text;
}

// The name and size of a listed paper: a user paper's from its slot items, another's from its
// paper record.
bool ReadPaperNameAndSize(const SettingsContext* context, WORD paperId, std::u16string* name, WORD* width,
                          WORD* length) {
  if (GetPaperSizeById(context, paperId, width, length) != 0) return false;
  if (IsUserPaperId(paperId)) {
    const WORD slot = UserPaperIdToIndex(paperId);
    union {
      ULONG_PTR address;
      DWORD number;
    } cell{};
    ValueTypeCode type = 0;
    DWORD size = 0;
    if (GetItemValue(static_cast<SettingItemId>(kItemUserPaperName + slot), context->settings, context->config, &type,
                     &size, &cell) != kItemDone)
      return false;
    *name = reinterpret_cast<LPCWSTR>(cell.address);
    return true;
  }
  ScopedRecord paper;
  if (FindRecord(TRUE, context->store->main, context->store->linked, kPaperRecordType, paperId, 0, &paper.record) != 0)
    return false;
  const LPCWSTR recordName = reinterpret_cast<const PaperRecord*>(paper.record)->name;
  *name = recordName != nullptr ? recordName : u"";
  return true;
}

}  // namespace

int CheckMarginFit(const SettingsContext* context, HANDLE printer, WORD paperId, WORD dimension,
                   const PaperMargins* margins, const WORD* newSize, const PaperMarginTable* table, BOOL perUser,
                   BOOL useStored) {
  if (context == nullptr || dimension > kMarginLength) return kMarginCheckFailed;
  const WORD orientation = ReadOrientation(context);
  if (orientation == 0) return kMarginCheckFailed;
  PaperMargins working{};
  DWORD size = 0;
  if (useStored) {
    if (newSize == nullptr) return kMarginCheckFailed;
    GlobalText base;
    base.text = ReadMachineBaseText(printer);
    if (GetPaperMargin(printer, paperId, &working, base.text, table, perUser, orientation) != 1)
      return kMarginCheckFailed;
    size = *newSize;
  } else {
    if (margins == nullptr) return kMarginCheckFailed;
    working = *margins;
    WORD width = 0, length = 0;
    if (GetPaperSizeById(context, paperId, &width, &length) != 0) return kMarginCheckFailed;
    size = dimension == kMarginWidth ? width : length;
  }
  return MarginsAlong(working, orientation, dimension) < size ? kMarginsFit : kMarginsDoNotFit;
}

int CheckPaperSizeMargins(const SettingsContext* context, HANDLE printer, const PaperMargins* margins, WORD paperId,
                          WORD index, DWORD value, BOOL sizeChange) {
  if (context == nullptr) return kMarginCheckFailed;
  LONG perUser = 0;
  if (!ReadItemLong(context->settings, context->config, kItemPerUserMargins, &perUser)) return kMarginCheckFailed;
  if (sizeChange) {
    if (index > kMarginLength || value > 0xFFFF) return kMarginCheckFailed;
    PaperMarginTable* table = LoadPaperMarginTable(printer);
    if (table == nullptr) return kMarginCheckFailed;
    const WORD size = static_cast<WORD>(value);
    const int result = CheckMarginFit(context, printer, paperId, index, nullptr, &size, table, perUser != 0, TRUE);
    FreePaperMarginTable(table);
    return result;
  }
  if (margins == nullptr || index > 3) return kMarginCheckFailed;
  PaperMargins changed = *margins;
  changed.margin[index] = value;
  for (WORD dimension : {kMarginWidth, kMarginLength}) {
    const int result = CheckMarginFit(context, printer, paperId, dimension, &changed, nullptr, nullptr, FALSE, FALSE);
    if (result != kMarginsFit) return result;
  }
  return kMarginsFit;
}

int CheckAllPaperMargins(HANDLE printer, SettingsRecord* settings, PrinterConfiguration* config, ItemStore* store,
                         BOOL perUser, WORD ids[kMarginSweepPapers]) {
  if (store == nullptr || settings == nullptr || ids == nullptr) return kMarginCheckFailed;
  WORD ranged[kMarginSweepPapers] = {};
  int count = 0;
  for (WORD position = 1; count < kMarginSweepPapers; ++position) {
    ScopedRecord paper;
    if (ReadRecord(FALSE, store->main, store->linked, kPaperRecordType, position, &paper.record) != 0) break;
    // A paper with a size range: its two size blocks differ.
    SizePairElement first{}, second{};
    if (GetPaperRecordSize(paper.record, &first) != 0 || GetPaperRecordAltSize(paper.record, &second) != 0)
      return kMarginCheckFailed;
    if (first.width != second.width || first.length != second.length) ranged[count++] = paper.record->h.key;
  }
  const SettingsContext context{store, settings, config};
  PaperMarginTable* table = LoadPaperMarginTable(printer);
  if (table == nullptr) return kMarginCheckFailed;
  int result = kMarginsFit;
  int listed = 0;
  for (int i = 0; i < kMarginSweepPapers; ++i) ids[i] = 0;
  for (int i = 0; i < count && result != kMarginCheckFailed; ++i) {
    WORD width = 0, length = 0;
    if (GetPaperSizeById(&context, ranged[i], &width, &length) != 0) {
      result = kMarginCheckFailed;
      break;
    }
    bool fits = true;
    for (WORD dimension : {kMarginWidth, kMarginLength}) {
      const WORD size = dimension == kMarginWidth ? width : length;
      const int fit = CheckMarginFit(&context, printer, ranged[i], dimension, nullptr, &size, table, perUser, TRUE);
      if (fit == kMarginCheckFailed) {
        result = kMarginCheckFailed;
        break;
      }
      fits = fits && fit == kMarginsFit;
    }
    if (result != kMarginCheckFailed && !fits) {
      ids[listed++] = ranged[i];
      result = kMarginsDoNotFit;
    }
  }
  FreePaperMarginTable(table);
  return result;
}

int ResetPaperMargins(HANDLE printer, const SettingsContext* context, BOOL perUser,
                      const WORD ids[kMarginSweepPapers]) {
  if (context == nullptr || ids == nullptr) return 0;
  const WORD orientation = ReadOrientation(context);
  PaperMargins defaults{};
  if (orientation == 0 || GetDefaultMargins(&defaults, orientation) != 1) return 0;
  bool ok = true;
  if (perUser) {
    GlobalText base;
    base.text = ReadMachineBaseText(printer);
    for (int i = 0; i < kMarginSweepPapers && ids[i] != 0; ++i)
      ok = WriteUserPaperMarginOriented(printer, base.text, ids[i], &defaults, orientation) == 1 && ok;
  } else {
    PaperMarginTable* table = LoadPaperMarginTable(printer);
    if (table == nullptr) return 0;
    for (int i = 0; i < kMarginSweepPapers && ids[i] != 0; ++i)
      ok = SetPaperMarginOriented(ids[i], &defaults, table, orientation) == 1 && ok;
    ok = ok && StorePaperMarginTable(printer, table) == 1;
    FreePaperMarginTable(table);
  }
  ok = ok && WriteItemLong(context->settings, context->config, kItemPerUserMargins, perUser ? 1 : 0);
  return ok ? 1 : 0;
}

int BuildMarginWarningText(HMODULE module, const SettingsContext* context, LONG messageId,
                           const WORD ids[kMarginSweepPapers], LPWSTR* text, BOOL append) {
  if (context == nullptr || ids == nullptr || text == nullptr) return 0;
  if (ids[0] == 0) return 1;
  const std::u16string unit = LoadText(module, kUnitMillimetres);
  const std::u16string separator = LoadText(module, kSizeSeparator);
  const std::u16string tooSmall = LoadText(module, kTooSmallText);
  GlobalText number;
  const DWORD defaultMargin = kDefaultMargin;
  if (!FormatNumberText(&number.text, 1, FALSE, kTypeUInt32, &defaultMargin)) return 0;
  WCHAR defaultText[kStringChars] = {};
  wsprintfW(defaultText, u"%s %s", number.text, unit.c_str());

  std::u16string lines;
  for (int i = 0; i < kMarginSweepPapers && ids[i] != 0; ++i) {
    std::u16string name;
    WORD width = 0, length = 0;
    if (!ReadPaperNameAndSize(context, ids[i], &name, &width, &length)) return 0;
    WCHAR paper[kLineChars] = {};
    WCHAR line[kLineChars] = {};
    FormatText(paper, kLineChars, u"%s (%d%s%d%s)",
               {name.c_str(), static_cast<LONG>(width / 10), separator.c_str(), static_cast<LONG>(length / 10),
                unit.c_str()});
    FormatText(line, kLineChars, u"%s %s", {paper, tooSmall.c_str()});
    GlobalText formatted;
    if (!LoadFormattedString(module, &formatted.text, kLineChars, kLineTemplate, {line, defaultText})) return 0;
    if (!lines.empty()) lines += kLineBreak;
    lines += formatted.text;
  }

  LPWSTR result = nullptr;
  if (append && *text != nullptr) {
    const std::u16string joined = std::u16string(*text) + kLineBreak + lines;
    result = GlobalCopyText(joined.c_str());
  } else if (append || messageId == kMarginTextOnly) {
    result = GlobalCopyText(lines.c_str());
  } else if (!LoadFormattedString(module, &result, 0, static_cast<UINT>(messageId), {lines.c_str()})) {
    return 0;
  }
  if (result == nullptr) return 0;
  if (append) GlobalFree(*text);
  *text = result;
  return 1;
}
