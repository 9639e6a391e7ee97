#include "graphics/job/fax_header_sheet.h"


#include "core/database/dbrecords.h"
#include "graphics/device/paper_layout.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/job/channel_output.h"
#include "graphics/job/cover_records.h"
#include "graphics/job/fax_passes.h"
#include "graphics/job/job_control.h"
#include "graphics/job/page_start.h"
#include "graphics/output/overlay_records.h"
#include "platform/kernel/files.h"
#include "platform/kernel/memory.h"

namespace {

constexpr WORD kStandardSheetPaperKey = 9;
constexpr WORD kHeaderSheetResolution = 600;
constexpr int kDriverFilePiece = 16384;
// The header sheet's page start: monochrome, the device's own paper source.
constexpr BYTE kHeaderSheetColorCode = 1;
constexpr WORD kHeaderSheetMediaCode = 0;

// A zero-filled global block that is given back when the holder leaves.
struct GlobalBuffer {
  BYTE* bytes;
  explicit GlobalBuffer(SIZE_T size) : bytes(static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size))) {}
  GlobalBuffer(const GlobalBuffer&) = delete;
  GlobalBuffer& operator=(const GlobalBuffer&) = delete;
  ~GlobalBuffer() {
    if (bytes != nullptr) GlobalFree(bytes);
  }
};

// The sheet's paper: the standard sheet for a header sheet alone or an overlay sheet, else the
// paper read for the passes, else the job's sheet paper.
int ChooseSheetPaper(Pdev* pdev, const PagePaperBlock& standard, BYTE standardCode, const float standardSize[2],
                     PagePaperBlock* paper, BYTE* code, float size[2]) {
  const FaxPassState& fax = pdev->fax;
  if (fax.headerOnly || fax.sheetKind == kFaxSheetOverlay) {
    *paper = standard;
    *code = standardCode;
    size[0] = standardSize[0];
    size[1] = standardSize[1];
    return 0;
  }
  if (fax.passPerDestination) {
    *paper = fax.sheetPaper;
    *code = fax.sheetPaperCode;
    size[0] = fax.sheetPaperSize[0];
    size[1] = fax.sheetPaperSize[1];
    return 0;
  }
  if (ReadSheetPaper(pdev, &pdev->settings, paper) != 0) return -1;
  return GetPaperCodeAndSize(pdev, paper, code, size);
}

// The sheet's page: its start, its overlay, the driver file and the cover texts, its end.
int DrawHeaderSheet(Pdev* pdev, const ExtendedFaxDestination* record, const PageState& saved) {
  PagePaperBlock standard{};
  BYTE standardCode = 0;
  float standardSize[2] = {};
  if (ReadStandardSheetPaper(pdev, &standard, &standardCode, standardSize) != 0) return -1;
  PageState& state = pdev->pageState;
  state.resolution[0] = state.resolution[1] = kHeaderSheetResolution;
  PagePaperBlock paper{};
  BYTE code = 0;
  float size[2] = {};
  if (ChooseSheetPaper(pdev, standard, standardCode, standardSize, &paper, &code, size) != 0) return -1;
  state.page = state.sheet = paper;
  if (SendPageStart(pdev, kHeaderSheetColorCode, kHeaderSheetMediaCode, code, size) != 0) return -1;
  const RenderSettings& r = pdev->render;
  if (r.graphicsModeA != 0xFFFFFFFF && r.graphicsModeB != 0xFFFFFFFF &&
      (EmitGraphicsMode(pdev->emitter, static_cast<LONG>(r.graphicsModeA), static_cast<LONG>(r.graphicsModeB)) != 0 ||
       EmitAdjustStroke(pdev->emitter, 0) != 0))
    return -1;
  pdev->job.flags |= kJobPageOpen;
  if (pdev->fax.sheetKind == kFaxSheetOverlay && WriteOverlayNameData(pdev) != 0) return -1;
  // The overlay and the driver file are laid out on the standard sheet at 600 dpi; the cover
  // texts at the job's resolution.
  state.page = state.sheet = standard;
  if (SetPageAxisForPage(pdev) != 0) return -1;
  if (pdev->fax.sheetKind == kFaxSheetDriverFile && CopyDriverFileToStream(pdev) != 0) return -1;
  state.resolution[0] = saved.resolution[0];
  state.resolution[1] = saved.resolution[1];
  if (SetPageAxisForPage(pdev) != 0 || WriteStampTextRecords(pdev, record) != 0) return -1;
  pdev->job.flags &= ~(kJobPageOpen | kJobReset);
  if (EndPageStep(pdev) != 0 || ShowPageStep(pdev) != 0) return -1;
  return 0;
}

}  // namespace

int ReadStandardSheetPaper(Pdev* pdev, PagePaperBlock* paper, BYTE* code, float size[2]) {
  ScopedRecord record;
  if (FindPaperRecordById(pdev, kStandardSheetPaperKey, &record.record) != kDbOk || record.record == nullptr) return -1;
  SizePairElement sheet{}, first{}, second{};
  if (GetPaperRecordSize(record.record, &sheet) != kDbOk ||
      GetPaperRecordMargins(record.record, &first, &second) != kDbOk)
    return -1;
  PagePaperBlock b{};
  b.paperId = static_cast<SHORT>(kStandardSheetPaperKey);
  b.width = static_cast<SHORT>(sheet.width);
  b.length = static_cast<SHORT>(sheet.length);
  b.printableWidth = static_cast<SHORT>(sheet.width - first.width - second.width);
  b.printableLength = static_cast<SHORT>(sheet.length - first.length - second.length);
  b.centredLeft = b.leftMargin = b.rightMargin = static_cast<SHORT>((b.width - b.printableWidth + 1) / 2);
  b.centredTop = b.topMargin = b.bottomMargin = static_cast<SHORT>((b.length - b.printableLength + 1) / 2);
  b.fits = 1;
  *paper = b;
  const LONG device = GetPaperDeviceCode(record.record);
  *code = device < 0 ? kCustomPaperCode : static_cast<BYTE>(device);
  size[0] = static_cast<float>(b.width) / 10.0f;
  size[1] = static_cast<float>(b.length) / 10.0f;
  return 0;
}

int StartSheet(Pdev* pdev, const ExtendedFaxDestination* record) {
  if (pdev == nullptr || record == nullptr || pdev->emitter == nullptr) return -1;
  const PageState saved = pdev->pageState;
  pdev->job.flags |= kJobSideOpen;
  const int result = DrawHeaderSheet(pdev, record, saved);
  pdev->job.flags &= ~(kJobPageOpen | kJobReset | kJobSideOpen);
  pdev->pageState = saved;
  if (result != 0) {
    AbortJob(pdev);
    return -1;
  }
  return 0;
}

int MakeFaxHeaderSheet(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  GlobalBuffer record(sizeof(ExtendedFaxDestination));
  if (record.bytes == nullptr) return -1;
  auto* destination = reinterpret_cast<ExtendedFaxDestination*>(record.bytes);
  if (GetFaxDestination(pdev, 0, destination) != 0) return -1;
  return StartSheet(pdev, destination);
}

int WriteOverlayNameData(Pdev* pdev) {
  const int size = EstimateOverlayRecordSize(pdev);
  if (size == 0) return 0;
  if (size < 0) return -1;
  GlobalBuffer block(static_cast<SIZE_T>(size));
  if (block.bytes == nullptr) return -1;
  const int written = WriteOverlayNameRecord(pdev, block.bytes, static_cast<DWORD>(size));
  if (written <= 0) return written == 0 ? 0 : -1;
  return WriteStreamData(pdev, static_cast<DWORD>(written), block.bytes);
}

int CopyDriverFileToStream(Pdev* pdev) {
  HANDLE file = OpenDriverDataFile(pdev);
  if (file == INVALID_HANDLE_VALUE) return -1;
  GlobalBuffer piece(kDriverFilePiece);
  if (piece.bytes == nullptr) {
    CloseHandle(file);
    return -1;
  }
  int result = 0;
  for (;;) {
    // The reader closes the file when it answers 0 (its end) or -1.
    const int n = ReadFileBytes(file, kDriverFilePiece, piece.bytes);
    if (n <= 0) {
      if (n < 0) result = -1;
      break;
    }
    if (result == 0 && WriteStreamData(pdev, static_cast<DWORD>(n), piece.bytes) != 0) result = -1;
  }
  return result;
}

int WriteStampTextRecords(Pdev* pdev, const ExtendedFaxDestination* record) {
  if (pdev == nullptr || record == nullptr) return -1;
  CoverInformation info{};
  CoverExtras extras{};
  ReadCoverInformation(pdev, &info, &extras);
  const int size = EstimateCoverRecordsSize(record, &info, &extras);
  if (size <= 0) return -1;
  GlobalBuffer block(static_cast<SIZE_T>(size));
  if (block.bytes == nullptr) return -1;
  const int written = WriteCoverRecords(record, &info, &extras, pdev, block.bytes, static_cast<DWORD>(size));
  if (written < 0) return -1;
  return WriteStreamData(pdev, static_cast<DWORD>(written), block.bytes);
}
