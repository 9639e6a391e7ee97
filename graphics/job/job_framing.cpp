#include "graphics/job/job_framing.h"

#include <cstdio>
#include <cstring>

#include "core/database/model_features.h"
#include "core/job/fax_job_lines.h"
#include "core/job/header_output.h"
#include "core/job/job_header.h"
#include "core/job/monitor_job.h"
#include "core/runtime/resource_module.h"
#include "graphics/device/pdev_item_store.h"
#include "graphics/drawing/drawing_session.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/job/booklet_layout.h"
#include "graphics/job/fax_passes.h"
#include "graphics/job/job_items.h"
#include "graphics/job/job_user_name.h"
#include "graphics/output/output_channel.h"
#include "items/item_ids.h"
#include "platform/base/byte_order.h"

namespace {

constexpr DWORD kBlockHeadBytes = 8;
constexpr int kSizeMargin = 5;
constexpr int kUelBytes = 9;  // ESC "%-12345X"
constexpr int kLineSeparatorBytes = 1;
constexpr int kStreamLineBytes = 64;

// The end-of-job text of the model: "@PJL EOJ" with the job-attribute lines, else "@EOJO".
const char* EndOfJobText(DatabaseStream* main) {
  DWORD words[2] = {};
  GetModelFeatureFlags(main, words);
  return (words[0] & kFeatureJobAttrMode) != 0 ? "@PJL EOJ" : "@EOJO";
}

// The sheet sides of the job's booklet, which a deferred header names.
WORD BookletSideCountOfJob(const Pdev* pdev) {
  return BookletSideCount(0, static_cast<WORD>(pdev->job.pages - 1), pdev->render.bookletCover != 0);
}

// A counted block with its head filled for a payload of `length` bytes.
BYTE* NewJobBlock(OutputChannel* channel, DWORD length) {
  auto* block = static_cast<BYTE*>(AllocCounted(channel, kBlockHeadBytes + length));
  if (block == nullptr) return nullptr;
  PutLE32(block, length + kBlockHeadBytes);
  PutLE32(block + 4, length);
  return block;
}

// Hangs the block in the session (replacing the one of an earlier pass) and sends it.
int SendJobBlock(Pdev* pdev, DrawingLibrarySession* session, BYTE* block, JobBlockKind kind) {
  BYTE** place = kind == JobBlockKind::kHeader ? &session->jobHeaderBlock : &session->jobTrailerBlock;
  FreeCounted(pdev->channel, *place);
  *place = block;
  return EmitJobHeaderBlock(pdev->emitter, GetLE32(block), block, kind) != 0 ? -1 : 0;
}

// The destinations the header of a fax job names: its pass's own when every destination gets a
// pass, else all of them. FALSE for a job that names none (not a fax model, the header sheet
// alone, no list).
bool SelectFaxDestinations(Pdev* pdev, WORD pass, FaxSelection* selection) {
  const FaxPassState& fax = pdev->fax;
  if (!pdev->faxModel || ReadEffectiveJobItem(pdev, kItemFaxHeaderOnly) == 1 || fax.list == nullptr ||
      fax.passes == 0)
    return false;
  const bool ownPass = GetFaxPassCount(pdev) > 1;
  selection->first = ownPass ? pass : 0;
  selection->last = ownPass ? pass : fax.passes - 1u;
  selection->blob = fax.list;
  selection->blobSize = fax.listSize;
  return true;
}

// The document monitor's collection of the job's owner data, when the settings ask for it;
// its answer is kept in the job id's companion word.
void CollectMonitorData(Pdev* pdev, WORD pass) {
  if (ReadEffectiveJobItem(pdev, kItemMonitorJob) == 0 || ReadEffectiveJobItem(pdev, kItemMonitorOn) == 0) return;
  ItemStore* store = ItemStoreFromStreams(pdev->database, pdev->linkedDatabase);
  if (store == nullptr) return;
  MonitorJobContext context{};
  context.resourceModule = GetResourceModule();
  context.printer = pdev->render.printer;
  context.store = store;
  context.settings = &pdev->pageSettings;
  context.config = pdev->config;
  context.documentName = pdev->render.documentName;
  context.fax = pdev->faxModel;
  context.faxBlob = pdev->fax.list;
  context.faxBlobSize = pdev->fax.listSize;
  context.destinationIndex = pass;
  context.destinationCount = pdev->fax.passes;
  char id[kPirvexIdBytes] = {};
  pdev->jobIdCompanion = static_cast<DWORD>(CollectJobOwnerData(&context, id));
  FreeItemStore(store);
}

// The header the user-interface module made for the pass (its text after the entry's length
// word), with the booklet's side count written into the place it keeps for it when the header
// is deferred, and the stream header line behind it. -1 for an entry whose text runs past its
// room or an attribute that does not fit the text.
int WriteTableHeader(Pdev* pdev, DrawingLibrarySession* session, WORD pass) {
  const JobHeaderTable& table = *pdev->jobHeaders;
  const BYTE* entry = table.entries + static_cast<size_t>(table.length) * pass;
  if (table.length < sizeof(DWORD)) return -1;
  const DWORD textLength = GetLE32(entry);
  if (textLength > table.length - sizeof(DWORD)) return -1;
  char line[kStreamLineBytes] = {};
  const int lineLength = FormatStreamHeaderLine(pdev, line);
  BYTE* block = NewJobBlock(pdev->channel, textLength + static_cast<DWORD>(lineLength));
  if (block == nullptr) return -1;
  char* text = reinterpret_cast<char*>(block + kBlockHeadBytes);
  std::memcpy(text, entry + sizeof(DWORD), textLength);
  if (pdev->render.deferredHeader &&
      InsertBookletAttribute(pdev->database, pdev->linkedDatabase, BookletSideCountOfJob(pdev), table.values[pass],
                             text, textLength) == 0) {
    FreeCounted(pdev->channel, block);
    return -1;
  }
  std::memcpy(text + textLength, line, static_cast<size_t>(lineLength));
  return SendJobBlock(pdev, session, block, JobBlockKind::kHeader);
}

int WriteHeader(Pdev* pdev, DrawingLibrarySession* session, WORD pass) {
  // A pass the user-interface module sent a header for uses it; any other builds its own.
  if (pdev->jobHeaders != nullptr && pass < pdev->jobHeaders->count) return WriteTableHeader(pdev, session, pass);
  const int estimate = EstimateJobHeaderSize(pdev->database, pdev->linkedDatabase);
  if (estimate < 0) return -1;
  char line[kStreamLineBytes] = {};
  const int lineLength = FormatStreamHeaderLine(pdev, line);
  const DWORD capacity = static_cast<DWORD>(estimate) + static_cast<DWORD>(lineLength);
  BYTE* block = NewJobBlock(pdev->channel, capacity);
  if (block == nullptr) return -1;
  JobHeaderContext context{};
  context.settings = &pdev->pageSettings;
  context.config = pdev->config;
  context.documentName = pdev->render.documentName;
  context.useAttributeLibrary = 1;
  context.printer = pdev->render.printer;
  if (pdev->render.deferredHeader) context.bktpValue = BookletSideCountOfJob(pdev);
  FaxSelection selection{};
  if (SelectFaxDestinations(pdev, pass, &selection)) context.faxSelection = &selection;
  WCHAR user[kJobUserNameChars] = {};
  if (GetJobUserName(nullptr, nullptr, user) != 0) {
    FreeCounted(pdev->channel, block);
    return -1;
  }
  CollectMonitorData(pdev, pass);
  char* text = reinterpret_cast<char*>(block + kBlockHeadBytes);
  const int length = BuildJobHeader(pdev->database, pdev->linkedDatabase, &context, text, capacity);
  if (length < 0 || static_cast<DWORD>(length) + static_cast<DWORD>(lineLength) > capacity) {
    FreeCounted(pdev->channel, block);
    return -1;
  }
  std::memcpy(text + length, line, static_cast<size_t>(lineLength));
  const DWORD payload = static_cast<DWORD>(length + lineLength);
  PutLE32(block, payload + kBlockHeadBytes);
  PutLE32(block + 4, payload);
  return SendJobBlock(pdev, session, block, JobBlockKind::kHeader);
}

int WriteJobTrailer(Pdev* pdev, DrawingLibrarySession* session) {
  const int size = pdev->render.trailerVariant ? GetUelSize() + GetEndOfJobLineSize(pdev->database, pdev->linkedDatabase)
                                               : GetTrailerSize(pdev->database, pdev->linkedDatabase);
  if (size <= 0) return -1;
  BYTE* block = NewJobBlock(pdev->channel, static_cast<DWORD>(size));
  if (block == nullptr) return -1;
  char* text = reinterpret_cast<char*>(block + kBlockHeadBytes);
  int length;
  if (pdev->render.trailerVariant) {
    const int uel = WriteUelOnly(text, static_cast<DWORD>(size));
    const int line = uel < 0 ? uel
                             : WriteEndOfJobLine(pdev->database, pdev->linkedDatabase, text + uel,
                                                 static_cast<DWORD>(size - uel));
    length = uel < 0 || line < 0 ? -1 : uel + line;
  } else {
    length = WriteTrailer(pdev->database, pdev->linkedDatabase, text, static_cast<DWORD>(size));
  }
  if (length < 0) {
    FreeCounted(pdev->channel, block);
    return -1;
  }
  PutLE32(block, static_cast<DWORD>(length) + kBlockHeadBytes);
  PutLE32(block + 4, static_cast<DWORD>(length));
  return SendJobBlock(pdev, session, block, JobBlockKind::kTrailer);
}

}  // namespace

int FormatStreamHeaderLine(Pdev* pdev, char* destination) {
  if (pdev == nullptr || pdev->outputFormat != kOutputFormatStreamHeader) return 0;
  const DWORD v = pdev->render.streamVersion;
  char line[kStreamLineBytes];
  const int length = std::snprintf(line, sizeof line, ") HP-PCL XL;2;0;VQKPL2-%d.%d.%d%c",
                                   static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                                   static_cast<int>(v & 0xFF), 10);
  if (destination != nullptr) std::memcpy(destination, line, static_cast<size_t>(length) + 1);
  return length;
}

int InsertBookletAttribute(DatabaseStream* main, DatabaseStream*, WORD number, DWORD offset, char* text,
                           DWORD length) {
  if (offset == 0) return 1;
  DWORD words[2] = {};
  GetModelFeatureFlags(main, words);
  char attribute[48];
  const int size = (words[0] & kFeatureJobAttrMode) != 0
                       ? std::snprintf(attribute, sizeof attribute, "@PJL SET JOBATTR=\"@BKTP=%u\"", number)
                       : std::snprintf(attribute, sizeof attribute, "@BKTP=%u", number);
  if (text == nullptr || size <= 0 || offset > length || static_cast<DWORD>(size) > length - offset) return 0;
  std::memcpy(text + offset, attribute, static_cast<size_t>(size));
  return 1;
}

int GetUelSize() { return kUelBytes + kSizeMargin; }

int GetEndOfJobLineSize(DatabaseStream* main, DatabaseStream*) {
  return kLineSeparatorBytes + static_cast<int>(std::strlen(EndOfJobText(main))) + kSizeMargin;
}

int GetTrailerSize(DatabaseStream* main, DatabaseStream*) {
  return kLineSeparatorBytes + kUelBytes + static_cast<int>(std::strlen(EndOfJobText(main))) + kSizeMargin;
}

int WriteUelOnly(char* buffer, DWORD capacity) {
  HeaderOutput out{buffer, capacity, 0};
  const int result = WriteUel(&out);
  return result < 0 ? result : static_cast<int>(out.length);
}

int WriteEndOfJobLine(DatabaseStream* main, DatabaseStream*, char* buffer, DWORD capacity) {
  HeaderOutput out{buffer, capacity, 0};
  int result = AppendAnsi(EndOfJobText(main), &out);
  if (result >= 0) result = WriteLineSeparator(&out);
  return result < 0 ? result : static_cast<int>(out.length);
}

int WriteTrailer(DatabaseStream* main, DatabaseStream* linked, char* buffer, DWORD capacity) {
  const int uel = WriteUelOnly(buffer, capacity);
  if (uel < 0) return uel;
  const int line = WriteEndOfJobLine(main, linked, buffer + uel, capacity - static_cast<DWORD>(uel));
  return line < 0 ? line : uel + line;
}

int WriteJobHeaderOrTrailer(Pdev* pdev, BOOL header, WORD pass) {
  if (pdev == nullptr || pdev->emitter == nullptr) return -1;
  DrawingLibrarySession* session = pdev->channel != nullptr ? pdev->channel->session : nullptr;
  if (session == nullptr) return -1;
  return header ? WriteHeader(pdev, session, pass) : WriteJobTrailer(pdev, session);
}
