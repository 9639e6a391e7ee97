#include "graphics/job/job_control.h"

#include <algorithm>
#include <cstring>

#include "core/database/model_features.h"
#include "core/runtime/resource_module.h"
#include "core/store/effective_values.h"
#include "core/store/settings_record.h"
#include "graphics/ddi/color_class_word.h"  // up: the document's colour class word
#include "graphics/ddi/escape_blocks.h"  // up: the job's end frees the escapes' blocks
#include "graphics/device/overlay_state.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/device/render_settings.h"
#include "graphics/drawing/drawing_session.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/drawing/library_calls.h"
#include "graphics/imaging/color_converter.h"
#include "graphics/imaging/image_queue.h"
#include "graphics/job/booklet_output.h"
#include "graphics/job/channel_output.h"
#include "graphics/job/direct_image_drawing.h"
#include "graphics/job/fax_header_sheet.h"
#include "graphics/job/fax_passes.h"
#include "graphics/job/imposition_marks.h"
#include "graphics/job/job_framing.h"
#include "graphics/job/job_items.h"
#include "graphics/job/layout_settings.h"
#include "graphics/job/output_copies.h"
#include "graphics/job/page_recording.h"
#include "graphics/job/page_start.h"
#include "graphics/job/page_store.h"
#include "graphics/job/saved_job_output.h"
#include "graphics/job/setting_overrides.h"
#include "graphics/job/tile_output.h"
#include "graphics/output/output_channel.h"
#include "items/item_ids.h"

namespace {

constexpr DWORD kEmitterSection = 6;
constexpr WORD kStoredPageRoom = 80;
constexpr DWORD kNoBlankBackForInsertedSheet = 0x1010903;
constexpr LONG kInsertBeforeDocument = 2;
constexpr int kRenderNameLimit = 260;

bool IsAborted(const Pdev* pdev) { return (pdev->job.flags & kJobAborted) != 0; }
bool IsStarted(const Pdev* pdev) { return (pdev->job.flags & kJobStarted) != 0; }
bool IsPageOpen(const Pdev* pdev) { return (pdev->job.flags & kJobPageOpen) != 0; }
bool IsSideOpen(const Pdev* pdev) { return (pdev->job.flags & kJobSideOpen) != 0; }

// The emitter is readable: the job's objects exist.
bool IsChannelValid(const Pdev* pdev) { return pdev->emitter != nullptr && pdev->channel != nullptr; }

// A fax job that sends only its header sheet: the application's pages draw nothing.
bool IsFaxHeaderOnly(Pdev* pdev) { return pdev->faxModel && ReadJobItem(pdev, kItemFaxHeaderOnly) != 0; }

// Copies a name of at most 260 characters into a record field; empty for none.
void CopyRenderName(WCHAR* field, LPCWSTR name) {
  int n = 0;
  if (name != nullptr)
    for (; n < kRenderNameLimit && name[n] != 0; ++n) field[n] = name[n];
  field[n] = 0;
}

// Pages on side + 1; the side ends when it holds the N-up count.
int CountPage(Pdev* pdev) {
  ++pdev->job.pages;
  ++pdev->job.pagesOnSide;
  // The layout's N-up count: 1 for tiles and booklets, whose pages each take a side first.
  if (pdev->job.pagesOnSide >= std::max<WORD>(pdev->pageState.nup, 1)) return EmitPageEnd(pdev);
  return 0;
}

void CountSheetSide(Pdev* pdev) {
  JobState& job = pdev->job;
  job.pagesOnSide = 0;
  ++job.sides;
  ++job.sidesOnSheet;
  if (job.sidesOnSheet >= std::max<SHORT>(pdev->render.duplexCount, 1)) {
    ++job.sheets;
    job.sidesOnSheet = 0;
  }
  job.overlayDrawn = 0;
}

// Inserted sheets of the insert list whose number is the next sheet: each gets a sheet of its
// own (and a blank back on a duplex job when one is due).
int InsertListedSheets(Pdev* pdev) {
  RenderSettings& r = pdev->render;
  if (!r.insertList) return 0;
  int result = 0;
  for (WORD& number : r.insertListSheets) {
    if (number == 0 || number != pdev->job.sheets + 1) continue;
    result |= ResetGraphicsStateChecked(pdev, FALSE);
    result |= SetUpPage(pdev, r.insertListPaper);
    if (!IsFeatureEnabled(pdev, kNoBlankBackForInsertedSheet) && IsBackSideDue(pdev, kBackSideForInsertedSheet))
      result |= SetUpPage(pdev, r.insertListPaper);
    number = 0;
  }
  return result;
}

// Which pages are recorded on the new side, by the job's needs.
int BeginSideRecording(Pdev* pdev) {
  const RenderSettings& r = pdev->render;
  if (r.tiles) return BeginTilePageRecord(pdev);
  if (r.booklet) {
    if ((pdev->job.pageStoreState & kPageStoreOpen) == 0 && BeginBookletStore(pdev) != 0) return -1;
    return BeginBookletPageRecord(pdev);
  }
  if (r.colorMode == kColorAutomatic || r.specialColor) return BeginColorPageRecord(pdev);
  if (r.storePages) return BeginCopyPageRecord(pdev);
  return 0;
}

}  // namespace

DWORD GetStreamVersion(Pdev* pdev) {
  const DWORD version = GetEffectiveItemNumber(&pdev->settings, pdev->config, kItemStreamVersion);
  return std::clamp<DWORD>(version, kStreamVersionFirst, kStreamVersionLast);
}

int InitJobState(Pdev* pdev, HANDLE printer) {
  if (pdev == nullptr) return -1;
  if (ClearRenderSettings(&pdev->render) != 0) return -1;
  GetModelFeatureFlags(pdev->database, pdev->modelFeatures);
  if (ReadRenderSettings(&pdev->render, GetStreamVersion(pdev), &pdev->settings, pdev->config,
                         pdev->modelFeatures) != 0)
    return -1;
  pdev->pageState = PageState{};
  pdev->job = JobState{};
  pdev->pageColor.PageColor = kPageColorUndecided;
  pdev->render.printer = printer;
  pdev->render.reserved10 = 0;
  int result = 0;
  if (pdev->faxModel && FreeFaxList(pdev) != 0) result = -1;
  if (OpenOutputChannel(pdev) != 0) result = -1;
  return result;
}

int StartJob(Pdev* pdev, LPCWSTR documentName, LPCWSTR outputName) {
  if (pdev == nullptr || IsAborted(pdev)) return -1;
  int result = 0;
  // Every job takes the model's emitter value, a job saved as a file too: the emitter refuses a
  // value of 0, which would fail every save-to-file document at its start.
  const DWORD emitterValue = ReadSectionValue(pdev->database, kEmitterSection, sizeof(DWORD), 0);
  pdev->emitter = CreateGraphicsEmitter(pdev, emitterValue);
  if (pdev->emitter == nullptr) result = -1;
  if (CreateColorConverter(&pdev->colorConverter, &pdev->settings, pdev->config, GetResourceModule(),
                           pdev->render.printer) != 0)
    result = -1;
  if (AllocColorClassWord(&pdev->colorClassWord) != 0) result = -1;
  if (OpenImageQueue(&pdev->imageQueue) != 0) result = -1;
  pdev->job.flags = kJobStarted;
  pdev->job.pageStoreState = 0;
  CopyRenderName(pdev->render.documentName, documentName);
  CopyRenderName(pdev->render.outputName, outputName);
  if (result != 0) return -1;
  return StartChannelOutput(pdev, pdev->render.printer, pdev->render.outputName, pdev->render.documentName,
                            nullptr);
}

int StoreJobId(Pdev* pdev, DWORD jobId) {
  if (pdev == nullptr) return -1;
  pdev->jobId = jobId;
  pdev->jobIdCompanion = 0;
  return 0;
}

BOOL IsJobBegun(const Pdev* pdev) {
  return pdev != nullptr && (pdev->job.flags & (kJobStarted | kJobOutputBegun)) == (kJobStarted | kJobOutputBegun);
}

int BeginJob(Pdev* pdev) {
  if (pdev == nullptr || IsAborted(pdev) || !IsStarted(pdev) ||
      (pdev->job.pageStoreState & kPageStoreRecording) == kPageStoreRecording)
    return -1;
  pdev->job.flags |= kJobOutputBegun;
  int result = ReadJobSettings(pdev, &pdev->settings, pdev->config);
  CopySettingsRecord(&pdev->pageSettings, &pdev->settings, 0);
  if (result == 0) {
    result = ResetGraphicsState(pdev, TRUE);
    RenderSettings& r = pdev->render;
    // The passes follow the settings in force when the output begins.
    if (pdev->faxModel) LoadFaxPassSettings(pdev);
    if (r.saveToFile == 1) {
      r.storePages = 1;
    } else if (pdev->faxModel && GetFaxPassCount(pdev) > 1) {
      result |= ReadFaxSheetPaper(pdev);
      r.storePages = 1;
    } else {
      if (!r.deferredHeader) result |= BeginJobOutput(pdev, 0);
      if (result == 0 && pdev->faxModel && ReadJobItem(pdev, kItemFaxHeaderSheet) != 0) {
        result |= MakeFaxHeaderSheet(pdev);
        if (IsFaxHeaderOnly(pdev)) ++pdev->job.pages;
      }
      if (result == 0 && r.insertedSheetMode == kInsertBeforeDocument && !r.storePages) {
        result |= SetUpPage(pdev, r.insertedSheetPaper);
        if (IsBackSideDue(pdev, kBackSideForInsertedSheet)) result |= SetUpPage(pdev, r.insertedSheetPaper);
      }
    }
  }
  if (result != 0) {
    AbortJob(pdev);
    return -1;
  }
  return 0;
}

int StartPageInJob(Pdev* pdev) {
  if (pdev == nullptr || IsAborted(pdev) || !IsChannelValid(pdev)) return -1;
  if (!IsStarted(pdev) || IsPageOpen(pdev)) return -1;
  if ((pdev->job.flags & kJobOutputBegun) == 0) {
    BeginJob(pdev);
    if (IsAborted(pdev)) return -1;
  }
  if (IsFaxHeaderOnly(pdev)) return 0;
  int result = ReloadPageSettings(pdev);
  if (result == 0 && !IsSideOpen(pdev)) result = StartPageOutput(pdev);
  if (result == 0) result = BeginPage(pdev);
  if (result != 0) {
    AbortJob(pdev);
    return -1;
  }
  return 0;
}

int DispatchPageEnd(Pdev* pdev) {
  if (pdev == nullptr || IsAborted(pdev) || !IsStarted(pdev)) return -1;
  if (IsStampDrawingActive(pdev)) return 0;
  if (!IsPageOpen(pdev)) {
    const int result = StartPageInJob(pdev);
    if (result != 0) return result;
    return IsPageOpen(pdev) ? 0 : -1;
  }
  return CheckHeldPageColor(pdev);
}

int EndPageInJob(Pdev* pdev) {
  if (pdev == nullptr || IsAborted(pdev) || !IsChannelValid(pdev)) return -1;
  if (IsFaxHeaderOnly(pdev)) {
    if (pdev->job.pages == 0 && (pdev->job.flags & kJobOutputBegun) == 0) return BeginJob(pdev);
    return 0;
  }
  if (FinishPage(pdev) != 0) {
    AbortJob(pdev);
    return -1;
  }
  return 0;
}

int FinishPage(Pdev* pdev) {
  // An image whose chunks did not all come before the page's end is not drawn.
  DropHeldDirectImage(pdev);
  if (!IsPageOpen(pdev)) {
    // A page without drawing: skipped when empty pages are, else begun so that it prints.
    if (pdev->render.skipEmptyPages) return 0;
    if (DispatchPageEnd(pdev) != 0) return -1;
  }
  pdev->job.flags &= ~(kJobPageOpen | kJobReset);
  // A side that cannot be ended would take more pages than it has cells: the job fails.
  return CountPage(pdev);
}

int StartPageOutput(Pdev* pdev) {
  if (IsSideOpen(pdev) || IsPageOpen(pdev)) return -1;
  int result = InsertListedSheets(pdev);
  pdev->job.flags |= kJobSideOpen;
  result |= SetPageColorFromMode(pdev);
  DWORD changed = 0;
  if (pdev->job.pagesOnSide == 0 && DetectPaperChange(pdev, &changed) != 0) result = -1;
  if (changed && pdev->job.sidesOnSheet != 0) {
    pdev->job.flags &= ~kJobSideOpen;
    result |= EndSheetSide(pdev, IsBackSideDue(pdev, kBackSideForPaperChange));
    pdev->job.flags |= kJobSideOpen;
  }
  if (result != 0) return -1;
  if (BeginSideRecording(pdev) != 0) return -1;
  if (RecordingKindBits(pdev) != 0 &&
      UpdatePageRecord(pdev, &pdev->pageState.page, pdev->pageState.orientation, pdev->job.sides) != 0)
    return -1;
  return StartPageParameters(pdev);
}

int BeginPage(Pdev* pdev) {
  if (IsPageOpen(pdev)) return -1;
  pdev->job.flags |= kJobPageOpen;
  if (IsOverlayDrawingActive(pdev)) pdev->job.overlayDrawn = 1;
  int result = SetPageAxisForPage(pdev);
  const RenderSettings& r = pdev->render;
  if (r.graphicsModeA != 0xFFFFFFFF && r.graphicsModeB != 0xFFFFFFFF) {
    result |= EmitGraphicsMode(pdev->emitter, static_cast<LONG>(r.graphicsModeA), static_cast<LONG>(r.graphicsModeB));
    result |= EmitAdjustStroke(pdev->emitter, 0);
  }
  return result != 0 ? -1 : 0;
}

int EmitPageEnd(Pdev* pdev) {
  if (IsPageOpen(pdev)) return -1;
  const RenderSettings& r = pdev->render;
  int result = 0;
  if (r.tiles && r.tileMarks) result |= DrawCropMarks(pdev);
  if (ReadJobItem(pdev, kItemNupBorders) != 0)
    result |= DrawNupBorders(pdev, static_cast<WORD>(pdev->job.pagesOnSide - (pdev->job.overlayDrawn ? 1 : 0)));
  // The side ends, then it is shown (a saved job's sides are not shown).
  result |= EndPageStep(pdev);
  if (r.saveToFile != 1) result |= ShowPageStep(pdev);
  if ((pdev->job.pageStoreState & kPageStoreRecording) == kPageStoreRecording) {
    if (r.storePages)
      result |= EndCopyPageRecord(pdev);
    else if (r.booklet)
      result |= EndBookletPageRecord(pdev);
    else if (r.tiles)
      result |= EndTilePage(pdev);
    else
      result |= EndColorRecording(pdev);
  }
  CountSheetSide(pdev);
  pdev->job.flags &= ~kJobSideOpen;
  return result != 0 ? -1 : 0;
}

int EndSheetSide(Pdev* pdev, BOOL force) {
  if (pdev->job.sidesOnSheet == 0) return 0;
  int result = 0;
  const RenderSettings& r = pdev->render;
  if (r.storePages && BeginCopyPageRecord(pdev) != 0) return -1;
  if (r.reverseOrder || force) result |= SetUpPage(pdev, pdev->pageState.paperSource);
  if (r.storePages) result |= EndCopyPageRecord(pdev);
  CountSheetSide(pdev);
  return result != 0 ? -1 : 0;
}

int EndJob(Pdev* pdev) {
  if (pdev == nullptr || IsAborted(pdev) || !IsStarted(pdev)) return -1;
  if (IsPageOpen(pdev)) {
    FinishPage(pdev);
    if (IsPageOpen(pdev)) return -1;
  }
  if (IsSideOpen(pdev)) {
    EmitPageEnd(pdev);
    if (IsSideOpen(pdev)) return -1;
  }
  // Every later failure still ends the job (the channel is released, the objects freed) and
  // is reported as a failed job.
  int result = 0;
  if (IsBackSideDue(pdev, kBackSideAtDocumentEnd)) result |= EndSheetSide(pdev, TRUE);
  const RenderSettings& r = pdev->render;
  if (pdev->job.pages > 0) {
    if (pdev->job.pageStoreState & kPageStoreOpen) {
      if (r.saveToFile == 1) {
        result |= OutputSavedJob(pdev);
      } else if (pdev->faxModel && GetFaxPassCount(pdev) > 1) {
        result |= OutputStoredJobs(pdev);
      } else {
        if (!r.storePages && !r.booklet) return -1;
        if (r.deferredHeader) result |= BeginJobOutput(pdev, 0);
        result |= r.storePages ? OutputCopies(pdev) : OutputBookletSheets(pdev);
        result |= EndJobOutput(pdev);
      }
      result |= EndPageStore(pdev);
    } else {
      if (r.insertAtEnd) {
        result |= ResetGraphicsState(pdev, FALSE);
        result |= SetUpPage(pdev, r.insertAtEndPaper);
      }
      result |= EndJobOutput(pdev);
    }
    // A data file that cannot be deleted now is left for the user-interface module's purge.
    if (pdev->faxModel) DeleteFaxDataFile(pdev);
    result |= EndChannelOutput(pdev, result == 0 ? 1 : 0);
    pdev->jobIdCompanion = 0;
  } else {
    result |= EndChannelOutput(pdev, 1);
  }
  FreeJobResources(pdev);
  RestoreOverriddenSettings(pdev);
  pdev->job.flags &= ~(kJobStarted | kJobOutputBegun);
  return result != 0 ? -1 : 0;
}

int AbortJob(Pdev* pdev) {
  if (pdev == nullptr || !IsStarted(pdev) || IsAborted(pdev)) return -1;
  pdev->job.flags |= kJobAborted;
  EndChannelOutput(pdev, 0);
  FreeJobResources(pdev);
  pdev->job.flags &= ~(kJobStarted | kJobOutputBegun);
  return 0;
}

int CloseJob(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  pdev->render.printer = nullptr;
  pdev->job.flags = 0;
  pdev->job.pageStoreState = 0;
  CloseOutputChannel(pdev);
  FreeJobResources(pdev);
  return 0;
}

int BeginJobOutput(Pdev* pdev, WORD pass) {
  const BYTE control = ReadJobItem(pdev, kItemJobControlWord) != 0 ? 2 : 0;
  if (EmitStartJob(pdev->emitter, 2, 1, pdev->outputFormat, control, 0) != 0) return -1;
  if (WriteJobHeaderOrTrailer(pdev, TRUE, pass) != 0) return -1;
  if (pdev->render.saveToFile == 1) return 0;
  const WORD resolution = GetPatternResolution(pdev);
  return resolution != 0 ? SendPatternResolution(pdev, resolution) : -1;
}

int EndJobOutput(Pdev* pdev) {
  // The trailer never comes inside a library page (a failed replay may leave one open).
  int result = EndOpenLibraryPage(pdev->channel);
  result |= WriteJobHeaderOrTrailer(pdev, FALSE, 0);
  result |= EndJobStep(pdev);
  return result != 0 ? -1 : 0;
}

int ReadJobSettings(Pdev* pdev, SettingsRecord*, PrinterConfiguration*) {
  int result = ApplySettingOverrides(pdev);
  GetModelFeatureFlags(pdev->database, pdev->modelFeatures);
  if (ReadRenderSettings(&pdev->render, GetStreamVersion(pdev), &pdev->settings, pdev->config,
                         pdev->modelFeatures) != 0)
    result = -1;
  pdev->render.fontSubstitution = 0;
  const LONG resolution = static_cast<SHORT>(ReadJobItem(pdev, kItemResolution));
  const WORD pixels = static_cast<WORD>(resolution > 0 ? resolution : kFallbackResolution);
  pdev->pageState.resolution[0] = pdev->pageState.resolution[1] = pixels;
  result |= ReadPagePaper(pdev, &pdev->settings, &pdev->pageState.page, &pdev->pageState.orientation,
                          &pdev->job.paperChanged);
  result |= ReadSheetPaper(pdev, &pdev->settings, &pdev->pageState.sheet);
  result |= ReadPaperSource(pdev, &pdev->settings, &pdev->pageState.paperSource);
  result |= ReadLayoutSettings(pdev);
  JobState& job = pdev->job;
  job.sheets = job.sides = job.pages = job.pagesOnSide = job.sidesOnSheet = 0;
  job.firstStoredPage = job.storedPages = 0;
  job.stampDrawing = job.jobInfoDrawing = job.overlayDrawn = 0;
  return result != 0 ? -1 : 0;
}

void FreeJobResources(Pdev* pdev) {
  FreeJobEscapeBlocks(pdev);
  DropHeldDirectImage(pdev);
  FreeColorConverter(&pdev->colorConverter);
  FreeColorClassWord(&pdev->colorClassWord);
  CloseImageQueue(&pdev->imageQueue);
  pdev->jobIdCompanion = 0;
  FreeGraphicsEmitter(pdev->emitter);
  pdev->emitter = nullptr;
  if (pdev->faxModel) FreeFaxList(pdev);
}

int ResetGraphicsState(Pdev* pdev, BOOL force) {
  if (pdev->emitter == nullptr) return -1;
  const RenderSettings& r = pdev->render;
  if (force || r.bannerText) {
    ResetEmitterPageState(pdev->emitter);
    SetEmitterMode(pdev->emitter, 1, r.tiles || r.booklet || r.reverseOrder);
  }
  return InvalidateStateCache(pdev->emitter) != 0 ? -1 : 0;
}

int ResetGraphicsStateChecked(Pdev* pdev, BOOL force) { return pdev != nullptr ? ResetGraphicsState(pdev, force) : 0; }

int MarkJobReset(Pdev* newPdev, Pdev* oldPdev) {
  if (newPdev == nullptr || oldPdev == nullptr || IsAborted(oldPdev) || IsAborted(newPdev) || IsPageOpen(newPdev))
    return -1;
  newPdev->job.flags |= kJobReset;
  return 0;
}

int CarrySettings(SettingsRecord* newSettings, SettingsRecord* oldSettings, PrinterConfiguration* config) {
  static constexpr SettingItemId kNumbers[] = {kItemFaxHeaderSheet, kItemFaxHeaderOverlay, kItemFaxOneJob,
                                               kItemFaxDestinations, kItemFaxHeaderOnly};
  static constexpr SettingItemId kTexts[] = {kItemSideFile, kItemFaxDataFile};
  int result = 0;
  for (SettingItemId id : kNumbers) {
    const WORD value = static_cast<WORD>(GetEffectiveItemNumber(oldSettings, config, id));
    if (!WriteJobItem(newSettings, config, id, value)) result = -1;
  }
  for (SettingItemId id : kTexts)
    if (CopyItemText(newSettings, oldSettings, config, id) != 0) result = -1;
  return result;
}

int ReloadPageSettings(Pdev* pdev) {
  if (IsPageOpen(pdev)) return -1;
  if ((pdev->job.flags & kJobReset) == 0) return 0;
  int result = ReadPagePaper(pdev, &pdev->settings, &pdev->pageState.page, &pdev->pageState.orientation,
                             &pdev->job.paperChanged);
  if (pdev->job.paperChanged == 1 && pdev->render.customPaper)
    result |= ReadSheetPaper(pdev, &pdev->settings, &pdev->pageState.sheet);
  return result != 0 ? -1 : 0;
}

int SetOverlayMode(Pdev* pdev, BOOL stamp, BOOL jobInformation) {
  constexpr DWORD kSideFlags = kJobStarted | kJobOutputBegun | kJobSideOpen;
  if (pdev == nullptr || (pdev->job.flags & kSideFlags) != kSideFlags) return -1;
  JobState& job = pdev->job;
  if (stamp) {
    const bool wasOn = job.stampDrawing != 0;
    job.stampDrawing = 1;
    if (!wasOn && !pdev->render.perSheetStamp && !pdev->render.perPageStamp) return -1;
  } else {
    job.stampDrawing = 0;
  }
  job.jobInfoDrawing = jobInformation != 0;
  return 0;
}

int SetPageColorState(Pdev* pdev, LONG value) {
  if (value < 0 || value > 3) return -1;
  pdev->pageColor.PageColor = value;
  return 0;
}
