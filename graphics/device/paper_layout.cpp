#include "graphics/device/paper_layout.h"

#include <cstring>
#include <utility>

#include "core/store/effective_values.h"
#include "core/store/form_status.h"
#include "core/store/item_store.h"
#include "core/store/printer_forms.h"
#include "graphics/device/pdev.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/device/spooler_forms.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/kernel/memory.h"

LONG MicronsToLayoutUnits(LONG microns) {
  return static_cast<LONG>(static_cast<float>(microns) * static_cast<float>(kLayoutUnitsPerInch) /
                           static_cast<float>(kMicronsPerInch));
}

LONG LayoutUnitsToMicrons(LONG units) {
  return static_cast<LONG>(static_cast<float>(units) * static_cast<float>(kMicronsPerInch) /
                           static_cast<float>(kLayoutUnitsPerInch));
}

LONG LayoutUnitsToPixels(LONG units, LONG resolution) {
  return static_cast<LONG>(static_cast<float>(units) * static_cast<float>(resolution) /
                           static_cast<float>(kLayoutUnitsPerInch));
}

LONG TenthMmToLayoutUnits(LONG tenths) { return MicronsToLayoutUnits(tenths * 100); }
LONG LayoutUnitsToTenthMm(LONG units) { return LayoutUnitsToMicrons(units) / 100; }

namespace {

constexpr DWORD kDmOrientation = 0x1;
constexpr DWORD kDmPaperSize = 0x2;
constexpr DWORD kDmPaperLength = 0x4;
constexpr DWORD kDmPaperWidth = 0x8;
constexpr DWORD kDmFormName = 0x10000;
constexpr SHORT kLandscape = 2;

// Sizes match when they differ by at most this many tenths in each direction.
constexpr LONG kSizeTolerance = 10;
constexpr WORD kPaperRecordType = 10;

BOOL IsBorderless(Pdev* pdev) { return GetEffectiveItemNumber(&pdev->settings, pdev->config, kItemWholePaper) == 1; }

void FreeRecordIfAny(DatabaseRecord** record) {
  if (*record != nullptr) FreeRecord(record, kDbAnyType);
  *record = nullptr;
}

void SetLayoutName(PaperLayout* layout, LPCWSTR name) {
  std::memset(layout->formName, 0, sizeof layout->formName);
  if (name != nullptr) lstrcpynW(layout->formName, name, kFormNameChars);
}

void SetPaperSize(PaperLayout* layout, LONG width, LONG length) {
  layout->paperWidth = TenthMmToLayoutUnits(width);
  layout->paperHeight = TenthMmToLayoutUnits(length);
}

// The record's margin pairs, zero when borderless.
BOOL GetPaperMargins(const DatabaseRecord* record, BOOL borderless, SizePairElement* first, SizePairElement* second) {
  if (GetPaperRecordMargins(record, first, second) != kDbOk) return FALSE;
  if (borderless) {
    first->width = first->length = 0;
    second->width = second->length = 0;
  }
  return TRUE;
}

void SetRectangle(PaperLayout* layout, const SizePairElement& first, const SizePairElement& second, LONG width,
                  LONG length) {
  layout->left = TenthMmToLayoutUnits(first.width);
  layout->top = TenthMmToLayoutUnits(first.length);
  layout->right = TenthMmToLayoutUnits(width - second.width);
  layout->bottom = TenthMmToLayoutUnits(length - second.length);
}

// A record whose size and alternative size differ in width describes a range of sizes.
bool HasSingleWidth(const DatabaseRecord* record) {
  SizePairElement size{}, alt{};
  if (GetPaperRecordSize(record, &size) != kDbOk || GetPaperRecordAltSize(record, &alt) != kDbOk) return false;
  return size.width == alt.width;
}

bool HasSingleSize(const DatabaseRecord* record) {
  SizePairElement size{}, alt{};
  if (GetPaperRecordSize(record, &size) != kDbOk || GetPaperRecordAltSize(record, &alt) != kDbOk) return false;
  return size.width == alt.width && size.length == alt.length;
}

WORD RecordId(const DatabaseRecord* record) { return record->h.key; }

// The rectangle of a custom size: the margins of the custom-size paper record, the right and
// bottom margins grown to the model's alignment.
BOOL CustomPaperLayout(Pdev* pdev, LONG width, LONG length, PaperLayout* layout) {
  DatabaseRecord* custom = nullptr;
  if (ReadKeyedRecord(TRUE, pdev->database, pdev->linkedDatabase, kPaperRecordType, kCustomPaperRecordId, 0,
                      &custom) != kDbOk)
    return FALSE;
  SizePairElement first{}, second{};
  const BOOL margins = GetPaperMargins(custom, IsBorderless(pdev), &first, &second);
  FreeRecord(&custom, kDbAnyType);
  WORD alignment = 0;
  if (!margins || ReadSectionElement(pdev->database, 10, sizeof alignment, 2, &alignment) != kDbOk) return FALSE;
  SizePairElement grown = second;
  if (alignment > 1) {
    grown.width = static_cast<WORD>(grown.width + width % alignment);
    grown.length = static_cast<WORD>(grown.length + length % alignment);
  }
  SetRectangle(layout, first, grown, width, length);
  return TRUE;
}

// The default paper's size and rectangle; the layout keeps no record and no name.
BOOL DefaultPaperLayout(Pdev* pdev, PaperLayout* layout) {
  DatabaseRecord* record = nullptr;
  if (FindDefaultPaperRecord(pdev->database, pdev->linkedDatabase, &record) != kDbOk) return FALSE;
  SizePairElement size{}, first{}, second{};
  BOOL ok = GetPaperRecordSize(record, &size) == kDbOk && GetPaperMargins(record, IsBorderless(pdev), &first, &second);
  if (ok) {
    SetPaperSize(layout, size.width, size.length);
    SetRectangle(layout, first, second, size.width, size.length);
    SetLayoutName(layout, nullptr);
    layout->record = nullptr;
  }
  FreeRecord(&record, kDbAnyType);
  return ok;
}

// A layout whose record is a built-in spooler form takes that form's name.
void FixFormName(Pdev* pdev, PaperLayout* layout) {
  if (layout->record == nullptr || !IsBuiltinForm(pdev->printer, RecordId(layout->record))) return;
  LPWSTR name = GetFormNameByIndex(pdev->printer, RecordId(layout->record));
  if (name == nullptr) return;
  SetLayoutName(layout, name);
  GlobalFree(name);
}

// The page's record for a named form: by built-in index first, then by name.
WORD FindRecordOfForm(Pdev* pdev, LPCWSTR formName, DatabaseRecord** record) {
  const DWORD index = FindBuiltinFormIndex(pdev->printer, formName);
  if (index != 0 && FindPaperRecordById(pdev, static_cast<WORD>(index), record) == kDbOk) return kDbOk;
  return FindPaperRecordByName(pdev, formName, record);
}

enum class Rule { Done, Failed, Next };

Rule PageFromFormName(Pdev* pdev, PaperLayout* layout) {
  LPCWSTR formName = GetPdevSettingString(pdev, kItemFormName);
  WORD form[6] = {};
  const int status = GetFormSize(pdev->printer, formName, 0, form);
  if (status == kFormNotFound) return Rule::Next;
  if (status != kFormDone) return Rule::Failed;
  SetLayoutName(layout, formName);
  SetPaperSize(layout, form[0], form[1]);
  DatabaseRecord* record = nullptr;
  const WORD found = FindRecordOfForm(pdev, layout->formName, &record);
  if (found == kDbAbsent) return CustomPaperLayout(pdev, form[0], form[1], layout) ? Rule::Done : Rule::Failed;
  if (found != kDbOk) return Rule::Failed;
  const BOOL ok = HasSingleWidth(record)
                      ? ApplyPaperRecordMargins(layout, record, form[0], form[1], IsBorderless(pdev))
                      : CustomPaperLayout(pdev, form[0], form[1], layout);
  if (!ok) {
    FreeRecord(&record, kDbAnyType);
    return Rule::Failed;
  }
  layout->record = record;
  return Rule::Done;
}

Rule PageFromPaperFields(Pdev* pdev, PaperLayout* layout) {
  const LONG width = static_cast<SHORT>(GetPdevSettingWord(pdev, kItemPaperWidth));
  const LONG length = static_cast<SHORT>(GetPdevSettingWord(pdev, kItemPaperLength));
  // Both fields must name a size: one alone would make a page of no width or length.
  if (width <= 0 || length <= 0) return Rule::Next;
  SetPaperSize(layout, width, length);
  DatabaseRecord* record = nullptr;
  const WORD found = FindPaperRecordBySize(pdev, LayoutUnitsToTenthMm(layout->paperWidth),
                                           LayoutUnitsToTenthMm(layout->paperHeight), &record);
  if (found == kDbAbsent) {
    SetLayoutName(layout, nullptr);
    return CustomPaperLayout(pdev, width, length, layout) ? Rule::Done : Rule::Failed;
  }
  if (found != kDbOk) return Rule::Failed;
  if (HasSingleWidth(record)) {
    if (!ApplyPaperRecord(record, layout, IsBorderless(pdev))) {
      FreeRecord(&record, kDbAnyType);
      return Rule::Failed;
    }
    FixFormName(pdev, layout);
    return Rule::Done;
  }
  if (!CustomPaperLayout(pdev, width, length, layout)) {
    FreeRecord(&record, kDbAnyType);
    return Rule::Failed;
  }
  layout->record = record;
  return Rule::Done;
}

Rule PageFromPaperSize(Pdev* pdev, PaperLayout* layout) {
  const WORD paperSize = GetPdevSettingWord(pdev, kItemPaperSize);
  DatabaseRecord* record = nullptr;
  const WORD found = FindPaperRecordById(pdev, paperSize, &record);
  if (found == kDbOk && HasSingleWidth(record)) {
    if (!ApplyPaperRecord(record, layout, IsBorderless(pdev))) {
      FreeRecord(&record, kDbAnyType);
      return Rule::Failed;
    }
    FixFormName(pdev, layout);
    return Rule::Done;
  }
  if (found != kDbOk && found != kDbAbsent && paperSize != 0) return Rule::Failed;
  WORD form[6] = {};
  const int status = paperSize == 0 ? kFormNotFound : GetFormSize(pdev->printer, nullptr, paperSize, form);
  if (status == kFormDone) {
    SetLayoutName(layout, nullptr);
    SetPaperSize(layout, form[0], form[1]);
    if (!CustomPaperLayout(pdev, form[0], form[1], layout)) {
      FreeRecordIfAny(&record);
      return Rule::Failed;
    }
    layout->record = record;
    return Rule::Done;
  }
  FreeRecordIfAny(&record);
  return status == kFormNotFound ? Rule::Next : Rule::Failed;
}

BOOL SelectPagePaper(Pdev* pdev, PaperLayout* layout) {
  const DWORD fields = GetPdevSettingDword(pdev, kItemFields);
  using Step = Rule (*)(Pdev*, PaperLayout*);
  const struct {
    DWORD fields;
    Step step;
  } kRules[] = {
      {kDmFormName, PageFromFormName},
      {kDmPaperLength | kDmPaperWidth, PageFromPaperFields},
      {kDmPaperSize, PageFromPaperSize},
  };
  for (const auto& rule : kRules) {
    if ((fields & rule.fields) == 0) continue;
    const Rule result = rule.step(pdev, layout);
    if (result == Rule::Done) return TRUE;
    if (result == Rule::Failed) return FALSE;
  }
  return DefaultPaperLayout(pdev, layout);
}

// Whether the page is wider or longer than the paper of the record.
bool ExceedsPaperSize(const PaperLayout& page, const DatabaseRecord* record) {
  SizePairElement size{};
  if (GetPaperRecordSize(record, &size) != kDbOk) return true;
  return page.paperWidth > TenthMmToLayoutUnits(size.width) || page.paperHeight > TenthMmToLayoutUnits(size.length);
}

// Whether the page's size lies in the record's range of sizes.
bool FitsPaperRange(const PaperLayout& page, const DatabaseRecord* record) {
  SizePairElement size{}, alt{};
  if (GetPaperRecordSize(record, &size) != kDbOk || GetPaperRecordAltSize(record, &alt) != kDbOk) return false;
  const LONG w = LayoutUnitsToTenthMm(page.paperWidth);
  const LONG h = LayoutUnitsToTenthMm(page.paperHeight);
  return w >= size.width && w <= alt.width && h >= size.length && h <= alt.length;
}

BOOL SheetFromDefaultPaper(Pdev* pdev, PaperLayout* sheet) {
  DatabaseRecord* record = nullptr;
  if (FindDefaultPaperRecord(pdev->database, pdev->linkedDatabase, &record) != kDbOk) return FALSE;
  if (!ApplyPaperRecord(record, sheet, IsBorderless(pdev))) {
    FreeRecord(&record, kDbAnyType);
    return FALSE;
  }
  FixFormName(pdev, sheet);
  sheet->defaultPaper = 1;
  return TRUE;
}

void CopyPageToSheet(const PaperLayout& page, PaperLayout* sheet, DatabaseRecord* record) {
  *sheet = page;
  sheet->landscape = 0;
  sheet->defaultPaper = 0;
  sheet->record = record;
}

// Step 1 of the sheet: the output paper item names a paper of its own.
Rule SheetFromOutputPaper(Pdev* pdev, PaperLayout* sheet) {
  const WORD id = GetPdevSettingWord(pdev, kItemOutputPaper);
  if (id == kSameAsPagePaper) return Rule::Next;
  DatabaseRecord* record = nullptr;
  const WORD found = FindPaperRecordById(pdev, id, &record);
  if (found == kDbAbsent || id == 0) return Rule::Next;
  if (found != kDbOk) return Rule::Failed;
  WORD form[6] = {};
  const int status = IsBuiltinForm(pdev->printer, id) ? GetFormSize(pdev->printer, nullptr, id, form)
                                                       : GetFormSize(pdev->printer, GetRecordName(record), 0, form);
  if (status == kFormDone) {
    SetPaperSize(sheet, form[0], form[1]);
    if (!ApplyPaperRecordMargins(sheet, record, form[0], form[1], IsBorderless(pdev))) {
      FreeRecord(&record, kDbAnyType);
      return Rule::Failed;
    }
    SetLayoutName(sheet, GetRecordName(record));
    sheet->record = record;
    sheet->defaultPaper = 0;
    FixFormName(pdev, sheet);
    return Rule::Done;
  }
  if (status == kFormNotFound && HasSingleSize(record)) {
    if (!ApplyPaperRecord(record, sheet, IsBorderless(pdev))) {
      FreeRecord(&record, kDbAnyType);
      return Rule::Failed;
    }
    FixFormName(pdev, sheet);
    return Rule::Done;
  }
  FreeRecord(&record, kDbAnyType);
  return status == kFormNotFound ? Rule::Next : Rule::Failed;
}

// Step 2 of the sheet: the page's own paper, when the device can feed it.
Rule SheetFromPagePaper(Pdev* pdev, const PaperLayout& page, PaperLayout* sheet) {
  DatabaseRecord* record = nullptr;
  const WORD found = FindRecordOfForm(pdev, page.formName, &record);
  if (found == kDbAbsent) return Rule::Next;
  if (found != kDbOk) return Rule::Failed;
  if (GetPaperDeviceCode(record) == -1) {
    DatabaseRecord* fallback = nullptr;
    if (FindDefaultPaperRecord(pdev->database, pdev->linkedDatabase, &fallback) != kDbOk) {
      FreeRecord(&record, kDbAnyType);
      return Rule::Failed;
    }
    const bool exceeds = ExceedsPaperSize(page, fallback);
    FreeRecord(&record, kDbAnyType);
    if (!exceeds) {
      sheet->record = fallback;
      sheet->defaultPaper = 1;
      return Rule::Done;
    }
    if (!ApplyPaperRecord(fallback, sheet, IsBorderless(pdev))) {
      FreeRecord(&fallback, kDbAnyType);
      return Rule::Failed;
    }
    FixFormName(pdev, sheet);
    return Rule::Done;
  }
  if (HasSingleSize(record) || FitsPaperRange(page, record)) {
    CopyPageToSheet(page, sheet, record);
    return Rule::Done;
  }
  FreeRecord(&record, kDbAnyType);
  return Rule::Next;
}

BOOL SelectSheetPaper(Pdev* pdev, const PaperLayout& page, PaperLayout* sheet) {
  Rule rule = SheetFromOutputPaper(pdev, sheet);
  if (rule == Rule::Next) rule = SheetFromPagePaper(pdev, page, sheet);
  if (rule != Rule::Next) return rule == Rule::Done;
  DatabaseRecord* custom = nullptr;
  if (GetPdevSettingWord(pdev, kItemPaperSize) == kCustomSizePaperId &&
      FindPaperRecordById(pdev, kCustomPaperRecordId, &custom) == kDbOk) {
    CopyPageToSheet(page, sheet, custom);
    return TRUE;
  }
  return SheetFromDefaultPaper(pdev, sheet);
}

// The quarter turn of a landscape page.
void TurnLayout(PaperLayout* layout) {
  const PaperLayout old = *layout;
  layout->left = old.top;
  layout->top = old.paperWidth - old.right;
  layout->right = old.bottom;
  layout->bottom = old.paperWidth - old.left;
  layout->paperWidth = old.paperHeight;
  layout->paperHeight = old.paperWidth;
  layout->landscape = 1;
}

}  // namespace

BOOL ReapplyDefaultSheetPaper(Pdev* pdev) {
  PaperLayout sheet = pdev->sheetLayout;
  sheet.record = nullptr;
  if (!SheetFromDefaultPaper(pdev, &sheet)) return FALSE;
  FreePaperLayoutRecord(&pdev->sheetLayout);
  pdev->sheetLayout = sheet;
  return TRUE;
}

LONG GetPaperDeviceCode(const DatabaseRecord* record) {
  if (record == nullptr || record->h.type != kPaperRecordType) return -1;
  const BYTE code = reinterpret_cast<const PaperRecord*>(record)->code;
  return code == 0 ? -1 : code;
}

WORD FindPaperRecordById(Pdev* pdev, WORD id, DatabaseRecord** record) {
  *record = nullptr;
  if (id == 0) return kDbFailed;
  return ReadKeyedRecord(TRUE, pdev->database, pdev->linkedDatabase, kPaperRecordType, id, 0, record);
}

namespace {

// Walks the type-10 records in order and keeps the first that `matches`.
template <typename Match>
WORD FindPaperRecordWhere(Pdev* pdev, DatabaseRecord** record, Match matches) {
  *record = nullptr;
  const WORD count = CountRecords(pdev->database, kPaperRecordType);
  for (WORD position = 1; position <= count; ++position) {
    DatabaseRecord* candidate = nullptr;
    const WORD status = ReadRecord(TRUE, pdev->database, pdev->linkedDatabase, kPaperRecordType, position, &candidate);
    if (status != kDbOk) return status;
    if (matches(candidate)) {
      *record = candidate;
      return kDbOk;
    }
    FreeRecord(&candidate, kDbAnyType);
  }
  return kDbAbsent;
}

}  // namespace

WORD FindPaperRecordByName(Pdev* pdev, LPCWSTR name, DatabaseRecord** record) {
  if (name == nullptr || name[0] == 0) {
    *record = nullptr;
    return kDbAbsent;
  }
  return FindPaperRecordWhere(pdev, record, [name](const DatabaseRecord* candidate) {
    LPCWSTR own = GetRecordName(candidate);
    return own != nullptr && lstrcmpW(own, name) == 0;
  });
}

WORD FindPaperRecordBySize(Pdev* pdev, LONG width, LONG length, DatabaseRecord** record) {
  return FindPaperRecordWhere(pdev, record, [width, length](const DatabaseRecord* candidate) {
    SizePairElement size{};
    if (GetPaperRecordSize(candidate, &size) != kDbOk) return false;
    const LONG dw = size.width - width;
    const LONG dl = size.length - length;
    return dw >= -kSizeTolerance && dw <= kSizeTolerance && dl >= -kSizeTolerance && dl <= kSizeTolerance;
  });
}

WORD FindDefaultPaperRecord(DatabaseStream* main, DatabaseStream* linked, DatabaseRecord** record) {
  *record = nullptr;
  void* block = nullptr;
  WORD type = 0;
  const WORD status = ReadItemDefault(main, linked, kItemPaperSize, &block, &type);
  if (status != kDbOk) return status;
  WORD id = 0;
  std::memcpy(&id, block, sizeof id);
  GlobalFree(block);
  if (id == 0) return kDbAbsent;
  return ReadKeyedRecord(TRUE, main, linked, kPaperRecordType, id, 0, record);
}

BOOL ApplyPaperRecord(DatabaseRecord* record, PaperLayout* layout, BOOL borderless) {
  SizePairElement size{};
  if (GetPaperRecordSize(record, &size) != kDbOk) return FALSE;
  if (!ApplyPaperRecordMargins(layout, record, size.width, size.length, borderless)) return FALSE;
  SetLayoutName(layout, GetRecordName(record));
  SetPaperSize(layout, size.width, size.length);
  layout->landscape = 0;
  layout->record = record;
  return TRUE;
}

BOOL ApplyPaperRecordMargins(PaperLayout* layout, const DatabaseRecord* record, LONG width, LONG length,
                             BOOL borderless) {
  SizePairElement first{}, second{};
  if (!GetPaperMargins(record, borderless, &first, &second)) return FALSE;
  SetRectangle(layout, first, second, width, length);
  return TRUE;
}

BOOL SelectPaperLayouts(Pdev* pdev) {
  if (!SelectPagePaper(pdev, &pdev->pageLayout)) return FALSE;
  if (!SelectSheetPaper(pdev, pdev->pageLayout, &pdev->sheetLayout)) return FALSE;
  if ((GetPdevSettingDword(pdev, kItemFields) & kDmOrientation) != 0 &&
      static_cast<SHORT>(GetPdevSettingWord(pdev, kItemOrientation)) == kLandscape)
    TurnLayout(&pdev->pageLayout);
  return TRUE;
}

void FreePaperLayoutRecord(PaperLayout* layout) { FreeRecordIfAny(&layout->record); }
