#include "graphics/job/page_start.h"

#include <bit>
#include <cstring>
#include <utility>

#include "core/common/common_routines.h"
#include "core/database/dbrecords.h"
#include "core/database/model_features.h"
#include "core/store/item_store.h"
#include "graphics/device/paper_layout.h"
#include "graphics/device/pdev_item_store.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/drawing/drawing_session.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/drawing/library_calls.h"
#include "graphics/drawing/parameter_blocks.h"
#include "graphics/job/job_control.h"
#include "graphics/job/job_items.h"
#include "graphics/job/page_geometry.h"
#include "graphics/job/page_record.h"
#include "graphics/job/page_store.h"
#include "graphics/output/job_store_pages.h"
#include "graphics/output/output_channel.h"
#include "items/item_ids.h"
#include "platform/base/byte_order.h"

namespace {

constexpr DWORD kFeatureSourceFromPublicItem = 0x10;
constexpr SHORT kSourceAnyFromDriverItem = 15;   // item 13: take the driver's own source
constexpr SHORT kSourceAnyFromPublicItem = 258;  // item 265: take the public source
constexpr SHORT kSourceAuto = 7;
constexpr SHORT kSourceBypass = 4;
constexpr WORD kDefaultPatternResolution = 200;
constexpr DWORD kVersionNoSeparateShow = 0x1020000;
constexpr DWORD kVersionBlankBackBySetting = 0x1010903;
constexpr BYTE kInsertedSheetsFirst = 1;

constexpr float kIdentity[6] = {1, 0, 0, 1, 0, 0};

void CentreMargins(PagePaperBlock* b) {
  b->centredLeft = static_cast<SHORT>((b->width - b->printableWidth + 1) / 2);
  b->centredTop = static_cast<SHORT>((b->length - b->printableLength + 1) / 2);
  b->zero7 = b->zero8 = 0;
}

void MakeBorderless(Pdev* pdev, PagePaperBlock* b) {
  if (!pdev->render.borderless) return;
  b->centredLeft = b->centredTop = 0;
  b->printableWidth = b->width;
  b->printableLength = b->length;
}

// The type-5 record of a paper source: the source value is looked up among the choices of the
// item it came from (the public item's values are not the records' keys), then as a key.
WORD ReadSourceRecord(Pdev* pdev, SHORT source, DatabaseRecord** record) {
  const SettingItemId first =
      (pdev->modelFeatures[0] & kFeatureSourceFromPublicItem) != 0 ? kItemDefaultSource : kItemPaperSource;
  const SettingItemId items[2] = {first, first == kItemPaperSource ? kItemDefaultSource : kItemPaperSource};
  for (SettingItemId item : items) {
    WORD type = 0;
    DatabaseRecord* entry = nullptr;
    BYTE value[4] = {};
    std::memcpy(value, &source, sizeof source);
    if (ReadItemValueRecord(FALSE, pdev->database, pdev->linkedDatabase, item, value, &type, &entry) != kDbOk)
      continue;
    const WORD status = ReadReferencedRecord(TRUE, pdev->database, pdev->linkedDatabase, entry, &type, record);
    FreeRecord(&entry, kDbAnyType);
    if (status == kDbOk && *record != nullptr && (*record)->h.type == 5) return kDbOk;
    FreeRecord(record, kDbAnyType);
  }
  return ReadKeyedRecord(TRUE, pdev->database, pdev->linkedDatabase, 5, static_cast<WORD>(source), 0, record);
}

}  // namespace

SHORT LayoutUnitsToTenths(LONG units) {
  const float tenths = (static_cast<float>(units) * 254.0f + 9216.0f) / 18432.0f;
  return static_cast<SHORT>(static_cast<LONG>(tenths));
}

int ReadPagePaper(Pdev* pdev, SettingsRecord*, PagePaperBlock* page, DWORD* orientation, DWORD* paperChanged) {
  if (pdev == nullptr || page == nullptr || orientation == nullptr || paperChanged == nullptr) return -1;
  const PaperLayout& layout = pdev->pageLayout;
  PagePaperBlock b{};
  b.paperId = static_cast<SHORT>(pdev->pageState.escapePaperId);
  b.width = LayoutUnitsToTenths(layout.paperWidth);
  b.length = LayoutUnitsToTenths(layout.paperHeight);
  b.printableWidth = LayoutUnitsToTenths(layout.right - layout.left);
  b.printableLength = LayoutUnitsToTenths(layout.bottom - layout.top);
  *orientation = 0;
  if (layout.landscape) {
    std::swap(b.width, b.length);
    std::swap(b.printableWidth, b.printableLength);
    *orientation = 1;
  }
  CentreMargins(&b);
  b.fits = 1;
  *paperChanged = layout.record != nullptr && GetPaperDeviceCode(layout.record) < 0 ? 1 : 0;
  const LONG dmOrientation = ReadJobItem(pdev, kItemOrientation);
  int result = 0;
  if (dmOrientation != 1 && dmOrientation != 2) result = -1;
  *orientation = dmOrientation != 1 ? 1 : 0;
  MakeBorderless(pdev, &b);
  b.leftMargin = b.centredLeft;
  b.rightMargin = static_cast<SHORT>(b.width - b.printableWidth - b.leftMargin);
  b.topMargin = b.centredTop;
  b.bottomMargin = static_cast<SHORT>(b.length - b.printableLength - b.topMargin);
  if (pdev->render.marginBlock) {
    const WORD* m = pdev->pageState.escapeMargins;
    if (m[0] + m[1] < b.width && m[2] + m[3] < b.length) {
      b.leftMargin = static_cast<SHORT>(m[0]);
      b.rightMargin = static_cast<SHORT>(m[1]);
      b.topMargin = static_cast<SHORT>(m[2]);
      b.bottomMargin = static_cast<SHORT>(m[3]);
    }
  }
  *page = b;
  return result;
}

int ReadSheetPaper(Pdev* pdev, SettingsRecord*, PagePaperBlock* sheet) {
  if (pdev == nullptr || sheet == nullptr) return -1;
  const PaperLayout& layout = pdev->sheetLayout;
  PagePaperBlock b{};
  const LONG output = ReadJobItem(pdev, kItemOutputPaper);
  b.paperId = static_cast<SHORT>(output);
  if (output == kSameAsPagePaper && layout.record != nullptr) b.paperId = static_cast<SHORT>(layout.record->h.key);
  b.width = LayoutUnitsToTenths(layout.paperWidth);
  b.length = LayoutUnitsToTenths(layout.paperHeight);
  b.printableWidth = LayoutUnitsToTenths(layout.right - layout.left);
  b.printableLength = LayoutUnitsToTenths(layout.bottom - layout.top);
  CentreMargins(&b);
  // The sheet fits its paper unless the paper has a size range the sheet lies outside of.
  b.fits = 1;
  SizePairElement low{}, high{};
  if (layout.record != nullptr && GetPaperRecordMinSize(layout.record, &low) == kDbOk &&
      GetPaperRecordMaxSize(layout.record, &high) == kDbOk && (high.width != 0 || high.length != 0))
    b.fits = b.width >= low.width && b.width <= high.width && b.length >= low.length && b.length <= high.length;
  MakeBorderless(pdev, &b);
  b.leftMargin = b.rightMargin = b.centredLeft;
  b.topMargin = b.bottomMargin = b.centredTop;
  *sheet = b;
  return 0;
}

int ReadPaperSource(Pdev* pdev, SettingsRecord*, SHORT* out) {
  RenderSettings& r = pdev->render;
  SHORT source;
  if (pdev->modelFeatures[0] & kFeatureSourceFromPublicItem) {
    source = static_cast<SHORT>(ReadJobItem(pdev, kItemDefaultSource));
    if (source == kSourceAnyFromDriverItem)
      source = static_cast<SHORT>(ReadJobItem(pdev, kItemPaperSource));
    else if (r.insertedSheetMode == kInsertedSheetsFirst)
      r.insertedSheetMode = 0;
  } else {
    source = static_cast<SHORT>(ReadJobItem(pdev, kItemPaperSource));
    if (source == kSourceAnyFromPublicItem) {
      source = static_cast<SHORT>(ReadJobItem(pdev, kItemDefaultSource));
      if (r.insertedSheetMode == kInsertedSheetsFirst) r.insertedSheetMode = 0;
    }
  }
  JobState& job = pdev->job;
  if (job.sides == 0) {
    pdev->job.firstSideSource = source;
    if (r.insertedSheetMode == kInsertedSheetsFirst &&
        !IsBackSideAllowed(pdev, &pdev->pageState.sheet, r.insertedSheetPaper))
      r.bookletCover = 1;
  }
  if (r.booklet || r.nUp > 1) source = pdev->job.firstSideSource;
  if (r.insertedSheetMode == kInsertedSheetsFirst) {
    const bool duplex = r.duplexCount == 2;
    if (job.sides == 0 || (duplex && job.sides == 1 && !r.bookletCover))
      source = r.insertedSheetPaper;
    else
      r.insertedSheetMode = 0;
  }
  *out = source;
  return 0;
}

int PaperBlocksDiffer(const PagePaperBlock* block, const PagePaperBlock* other) {
  return block->paperId != other->paperId || block->width != other->width || block->length != other->length;
}

int IsSamePaper(const PagePaperBlock* block, const PagePaperBlock* other) {
  return PaperBlocksDiffer(block, other) ? 0 : 1;
}

int DetectPaperChange(Pdev* pdev, DWORD* changed) {
  if (pdev == nullptr || changed == nullptr || pdev->job.pagesOnSide != 0) return -1;
  *changed = 0;
  int result = 0;
  const RenderSettings& r = pdev->render;
  if (r.paperChecks || r.insertedSheetMode == kInsertedSheetsFirst) {
    SHORT source = 0;
    if (ReadPaperSource(pdev, &pdev->settings, &source) != 0) result = 7;
    if (source != pdev->pageState.paperSource) *changed = 1;
    pdev->pageState.paperSource = source;
  }
  if (r.customPaper && !IsSamePaper(&pdev->pageState.page, &pdev->pageState.sheet)) {
    *changed = 1;
    if (pdev->job.paperChanged == 0) pdev->pageState.page = pdev->pageState.sheet;
  }
  return result;
}

int IsSourceCapable(Pdev* pdev, WORD value, WORD kind) {
  DatabaseRecord* record = nullptr;
  WORD status;
  if (kind == kSourceRecordKind)
    status = ReadSourceRecord(pdev, static_cast<SHORT>(value), &record);
  else
    status = ReadKeyedRecord(TRUE, pdev->database, pdev->linkedDatabase, 6, value, 0, &record);
  if (status != kDbOk || record == nullptr) return 1;
  const BYTE flags = reinterpret_cast<const PaperSourceRecord*>(record)->flags;
  FreeRecord(&record, kDbAnyType);
  return flags != 0 ? 1 : 0;
}

int IsBackSideAllowed(Pdev* pdev, const PagePaperBlock* sheet, SHORT source) {
  if (source == kSourceAuto) {
    if (sheet->fits == 0) return 0;
  } else {
    if (source != 0 && !IsSourceCapable(pdev, static_cast<WORD>(source), kSourceRecordKind)) return 0;
    if (source == kSourceBypass) {
      if (sheet->fits == 0) return 0;
      DatabaseRecord* record = nullptr;
      const WORD media = static_cast<WORD>(ReadJobItem(pdev, kItemMediaType));
      if (ReadKeyedRecord(TRUE, pdev->database, pdev->linkedDatabase, 19, media, 0, &record) == kDbOk) {
        BYTE value = 0;
        const WORD status = GetType19Value(record, &value);
        FreeRecord(&record, kDbAnyType);
        if (status != kDbOk || value == 0) return 0;
      }
    }
  }
  const LONG paperType = ReadJobItem(pdev, kItemPaperType);
  if (!IsSourceCapable(pdev, static_cast<WORD>(paperType), kPaperTypeRecordKind)) return 0;
  return 1;
}

int IsBackSideDue(Pdev* pdev, int kind) {
  const RenderSettings& r = pdev->render;
  if (r.duplexCount != 2) return 0;
  if (kind == kBackSideForInsertedSheet) return IsBackSideAllowed(pdev, &pdev->pageState.sheet, r.insertedSheetPaper);
  if (pdev->job.sidesOnSheet != 1 || r.booklet ||
      !IsBackSideAllowed(pdev, &pdev->pageState.sheet, pdev->pageState.paperSource))
    return 0;
  if (r.reverseOrder) return 1;
  if (kind == kBackSideAtDocumentEnd && r.driverCollation) return IsFeatureEnabled(pdev, kVersionBlankBackBySetting) ? 0 : 1;
  return 0;
}

int GetSourceCode(Pdev* pdev, SHORT source, WORD* code) {
  if (pdev == nullptr || code == nullptr) return -1;
  DatabaseRecord* record = nullptr;
  // A source the model has no record of has no device code of its own: the device chooses.
  WORD deviceCode = 0;
  if (ReadSourceRecord(pdev, source, &record) == kDbOk && record != nullptr)
    deviceCode = reinterpret_cast<const PaperSourceRecord*>(record)->deviceCode & 0xFF;
  FreeRecord(&record, kDbAnyType);
  *code = deviceCode;
  pdev->job.mediaCode = deviceCode;
  return 0;
}

int GetPaperCodeAndSize(Pdev* pdev, const PagePaperBlock* sheet, BYTE* code, float size[2]) {
  const DatabaseRecord* record = pdev->sheetLayout.record;
  const LONG device = GetPaperDeviceCode(record);
  *code = device < 0 ? kCustomPaperCode : static_cast<BYTE>(device);
  size[0] = static_cast<float>(sheet->width) / 10.0f;
  size[1] = static_cast<float>(sheet->length) / 10.0f;
  if (record == nullptr) return *code == kCustomPaperCode ? 0 : -1;
  SizePairElement first{}, second{};
  if (GetPaperRecordSize(record, &first) != kDbOk) return -1;
  if (GetPaperRecordAltSize(record, &second) == kDbOk && (first.width != second.width || first.length != second.length) &&
      *code != kCustomPaperCode)
    return -1;
  return 0;
}

int GetPageColorCode(Pdev* pdev, BYTE* code) {
  int result = 0;
  switch (pdev->render.colorMode) {
    case kColorFull: *code = 2; break;
    case kColorMonochrome: *code = 1; break;
    default:
      switch (pdev->pageColor.PageColor) {
        case kPageColorUndecided:
        case kPageColorMonochrome: *code = 1; break;
        case kPageColorColor: *code = 2; break;
        default: result = -1;
      }
  }
  pdev->job.colorParameter = 2;
  return result;
}

int GetSetUpColorCode(Pdev* pdev, BYTE* code) {
  *code = pdev->render.colorMode != kColorAutomatic ? 3 : 1;
  pdev->job.colorParameter = IsFeatureEnabled(pdev, kVersionNoSeparateShow) ? 0 : 1;
  return 0;
}

int IsFeatureEnabled(Pdev* pdev, DWORD version) {
  return ReadEffectiveJobItem(pdev, kItemStreamVersion) >= version ? 1 : 0;
}

int SetPageColorFromMode(Pdev* pdev) {
  // An application's colour override in force decides the page; else the document's mode.
  const DirectModeState& direct = pdev->directMode;
  if (direct.overrideSwitch) {
    if (SetPageColorState(pdev, direct.colorOverride) != 0) return -1;
  } else {
    pdev->pageColor.PageColor = pdev->render.colorMode;
  }
  return ResetGraphicsStateChecked(pdev, 0);
}

int BuildPageParameterBlocks(Pdev* pdev, BYTE colorCode, WORD mediaCode, BYTE paperCode, const float size[2],
                             LONG colorParameter) {
  DrawingLibrarySession* session = pdev->channel != nullptr ? pdev->channel->session : nullptr;
  if (session == nullptr) return -1;
  BYTE* page = session->pageBlock;
  BYTE* sizeBlock = session->pageSizeBlock;
  std::memset(page, 0, kPageParameterBlockBytes);
  std::memset(sizeBlock, 0, kPageSizeBlockBytes);
  PutLE32(page, kPageParameterBlockBytes);
  PutLE32(sizeBlock, kPageSizeBlockBytes);
  const RenderSettings& r = pdev->render;
  const PageState& state = pdev->pageState;
  const bool duplex = r.duplexCount == 2;
  if (pdev->copies > 1 && duplex) PutLE16(page + 44, pdev->channel->pageCount);

  // Whether the source feeds this paper as it lies: from the source's entry for the paper.
  const bool custom = state.page.paperId == kPageCustomPaperId;
  const PagePaperBlock& paper = custom ? state.page : state.sheet;
  WORD entryFlag = 0;
  if (ItemStore* store = ItemStoreFromStreams(pdev->database, pdev->linkedDatabase)) {
    const WORD entry = LookUpPaperSourceEntry(static_cast<WORD>(state.paperSource), store,
                                              static_cast<WORD>(paper.paperId));
    FreeItemStore(store);
    if (entry == 0 || entry == 3)
      entryFlag = state.paperSource == kSourceBypass ? ReadJobItem(pdev, kItemBypassFeedEdge) == 1
                                                     : ReadJobItem(pdev, kItemEntryOverride) != 1;
    else
      entryFlag = entry == 2;
  }
  PutLE16(page + 4, entryFlag);
  PutLE16(sizeBlock + 10, 1);

  // Colour: the colour block's mode word is written for every page, so that a colour page
  // after a monochrome one is not announced as monochrome.
  WORD colorMode = 2;
  WORD blockMode = 3;
  if (ReadJobItem(pdev, kItemColorMode) == 1 || colorCode == 1) colorMode = 1, blockMode = 4;
  PutLE16(sizeBlock + 4, colorMode);
  if (session->colorBlock != nullptr) PutLE16(session->colorBlock + kColorBlockColorModeOffset, blockMode);

  const LONG resolution = state.resolution[0] > 0 ? state.resolution[0] : kFallbackResolution;
  const PagePaperBlock& extent = custom ? state.page : state.sheet;
  WORD whole = 0;
  float exact = 0;
  ScaleToResolution(extent.width, resolution, 254, &whole, &exact);
  PutLE16(sizeBlock + 6, whole);
  PutLE32(sizeBlock + 12, std::bit_cast<DWORD>(exact));
  ScaleToResolution(extent.length, resolution, 254, &whole, &exact);
  PutLE16(sizeBlock + 8, whole);
  PutLE32(sizeBlock + 16, std::bit_cast<DWORD>(exact));
  float printable[2];
  if (custom) {
    printable[0] = static_cast<float>(extent.printableWidth) * static_cast<float>(resolution) / 254.0f;
    printable[1] = static_cast<float>(extent.printableLength) * static_cast<float>(resolution) / 254.0f;
  } else {
    printable[0] = std::bit_cast<float>(GetLE32(sizeBlock + 12));
    printable[1] = std::bit_cast<float>(GetLE32(sizeBlock + 16));
  }
  PutLE32(page + 36, std::bit_cast<DWORD>(printable[0]));
  PutLE32(page + 40, std::bit_cast<DWORD>(printable[1]));

  if (paperCode == kCustomPaperCode) {
    PutLE16(page + 6, kCustomPaperCode);
    PutLE16(page + 24, 2);
    PutLE32(page + 16, static_cast<DWORD>(static_cast<LONG>(size[0] * 10.0f + 0.5f)));
    PutLE32(page + 20, static_cast<DWORD>(static_cast<LONG>(size[1] * 10.0f + 0.5f)));
  } else {
    PutLE16(page + 6, paperCode);
  }
  PutLE16(page + 26, mediaCode);
  PutLE16(page + 28, static_cast<WORD>(ReadJobItem(pdev, kItemPaperType)));
  PutLE16(page + 30, colorParameter == 0 ? 1 : 0);
  if (duplex || r.booklet) PutLE16(page + 34, pdev->job.sidesOnSheet % 2 == 1 ? 2 : 1);
  return 0;
}

int SendLibraryPageStart(Pdev* pdev) {
  // A library page that a failed replay left open ends before the next one begins.
  if (EndOpenLibraryPage(pdev->channel) != 0) return -1;
  return EmitStartPage(pdev->emitter) != 0 ? -1 : 0;
}

int SendPageStart(Pdev* pdev, BYTE colorCode, WORD mediaCode, BYTE paperCode, const float size[2]) {
  if (pdev == nullptr || (pdev->job.flags & kJobOutputBegun) == 0) return -1;
  if (BuildPageParameterBlocks(pdev, colorCode, mediaCode, paperCode, size, pdev->job.colorParameter) != 0) return -1;
  if ((RecordingKindBits(pdev) & kPageKindStart) == 0) return SendLibraryPageStart(pdev);
  // The record keeps the device's media code in one byte: a wider one cannot be replayed.
  if (mediaCode > 0xFF) return -1;
  StoredPageStart start{};
  start.colorCode = colorCode;
  start.mediaSource = static_cast<BYTE>(mediaCode);
  start.paperCode = paperCode;
  start.paperSize[0] = size[0];
  start.paperSize[1] = size[1];
  start.sheet = pdev->pageState.sheet;
  start.paperSource = pdev->job.mediaCode;
  start.colorParameter = pdev->job.colorParameter;
  start.side = pdev->job.sidesOnSheet;
  BYTE record[kStoredPageStartBytes];
  EncodeStoredPageStart(start, record);
  return WriteStoredRecord(pdev->channel, kStoredPageStart, sizeof record, record) < 0 ? -1 : 0;
}

int StartPageParameters(Pdev* pdev) {
  if (pdev == nullptr || (pdev->job.flags & kJobOutputBegun) == 0) return -1;
  BYTE colorCode = 0, paperCode = 0;
  WORD mediaCode = 0;
  float size[2] = {};
  int result = GetPageColorCode(pdev, &colorCode);
  result |= GetSourceCode(pdev, pdev->pageState.paperSource, &mediaCode);
  result |= GetPaperCodeAndSize(pdev, &pdev->pageState.sheet, &paperCode, size);
  if (result != 0) return -1;
  return SendPageStart(pdev, colorCode, mediaCode, paperCode, size);
}

int SetUpPage(Pdev* pdev, SHORT source) {
  if (pdev == nullptr) return -1;
  pdev->job.flags |= kJobSideOpen;
  BYTE colorCode = 0, paperCode = 0;
  WORD mediaCode = 0;
  float size[2] = {};
  int result = GetSetUpColorCode(pdev, &colorCode);
  result |= GetSourceCode(pdev, source, &mediaCode);
  result |= GetPaperCodeAndSize(pdev, &pdev->pageState.sheet, &paperCode, size);
  if (result == 0) result = SendPageStart(pdev, colorCode, mediaCode, paperCode, size);
  if (result == 0) result = SetPageAxis(pdev, kIdentity);
  if (result == 0) result = EndPageStep(pdev);
  if (result == 0 && !IsFeatureEnabled(pdev, kVersionNoSeparateShow)) result = ShowPageStep(pdev);
  pdev->job.flags &= ~kJobSideOpen;
  return result;
}

int SetPageAxis(Pdev* pdev, const float matrix[6]) {
  constexpr DWORD kSideFlags = kJobStarted | kJobOutputBegun | kJobSideOpen;
  if (pdev == nullptr || (pdev->job.flags & kSideFlags) != kSideFlags) return 0;
  if ((RecordingKindBits(pdev) & kPageKindAxis) == 0) return EmitSetAxis(pdev->emitter, matrix);
  BYTE record[24];
  for (int i = 0; i < 6; ++i) PutLE32(record + 4 * i, std::bit_cast<DWORD>(matrix[i]));
  if (WriteStoredRecord(pdev->channel, kStoredPageAxis, sizeof record, record) < 0) return -1;
  SetCachedAxis(pdev->emitter, matrix);
  return 0;
}

int SetPageAxisForPage(Pdev* pdev) {
  float matrix[6] = {1, 0, 0, 1, 0, 0};
  if ((RecordingKindBits(pdev) & kPageKindAxis) == 0 &&
      GetLogicalPageTransform(matrix, &pdev->pageState, pdev->job.pagesOnSide, pdev->job.sidesOnSheet % 2) != 0)
    return -1;
  return SetPageAxis(pdev, matrix);
}

int SendAxis(Pdev* pdev, const float matrix[6]) { return EmitSetAxis(pdev->emitter, matrix); }

namespace {

int PageStep(Pdev* pdev, DWORD kindBit, WORD recordKind, int (*emit)(GraphicsStateEmitter*)) {
  if (pdev == nullptr || (pdev->job.flags & kJobOutputBegun) == 0) return -1;
  if (RecordingKindBits(pdev) & kindBit)
    return WriteStoredRecord(pdev->channel, recordKind, 0, nullptr) < 0 ? -1 : 0;
  return emit(pdev->emitter) != 0 ? -1 : 0;
}

}  // namespace

int ShowPageStep(Pdev* pdev) { return PageStep(pdev, kPageKindShow, kStoredShowPage, EmitShowPage); }
int EndPageStep(Pdev* pdev) { return PageStep(pdev, kPageKindEnd, kStoredEndPage, EmitEndPage); }
int EndJobStep(Pdev* pdev) { return pdev == nullptr || EmitEndJob(pdev->emitter) != 0 ? -1 : 0; }

WORD GetPatternResolution(Pdev* pdev) {
  const LONG value = ReadJobItem(pdev, kItemPatternFromResolution) == 1 ? ReadJobItem(pdev, kItemResolutionPair)
                                                                        : ReadJobItem(pdev, kItemPatternResolution);
  return value != 0 ? static_cast<WORD>(value) : kDefaultPatternResolution;
}

int SendPatternResolution(Pdev* pdev, WORD value) {
  return EmitPatternResolution(pdev->emitter, 1, value) != 0 ? -1 : 0;
}
