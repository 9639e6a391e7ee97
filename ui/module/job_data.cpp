// The job data a document hands the graphics module after its start (document_events.h): the
// job headers, the document monitor's job ids and the escape batch that carries them with the
// settings, the configuration and the job information.
#include <cstring>

#include "core/database/model_features.h"
#include "core/job/fax_job_lines.h"
#include "core/job/fax_list.h"
#include "core/job/job_header.h"
#include "core/job/monitor_client.h"
#include "core/job/monitor_job.h"
#include "core/runtime/resource_module.h"
#include "core/system/user_locale.h"
#include "items/item_ids.h"
#include "platform/kernel/memory.h"
#include "ui/module/document_events.h"
#include "ui/module/driver_escapes.h"
#include "ui/module/job_items.h"

namespace {

constexpr SettingItemId kMonitorItems[] = {kItemJournal, kItemMonitorJob, kItemMonitorOn};
// The measurement system follows the locale only on models with this feature.
constexpr DWORD kFeatureLocaleMeasure = 0x400000;
// The job-header block: count, entry length, and two words the receiver does not use.
constexpr DWORD kJobHeaderPrefix = 16;
constexpr DWORD kMonitorBlockPrefix = 2;

// The fax destination record of a direct-fax job, checked whole; NULL without one.
struct FaxList {
  BYTE* blob = nullptr;
  DWORD count = 0;
  DWORD size = 0;

  // The record's list for a direct-fax job; nothing for other jobs.
  FaxList(const DcJobRecord* record, bool fax) {
    if (fax) blob = LoadFaxDestinationList(record->printer, record->faxRecordSize, record->faxRecord, &count, &size);
  }
  ~FaxList() {
    if (blob != nullptr) GlobalFree(blob);
  }
  FaxList(const FaxList&) = delete;
  FaxList& operator=(const FaxList&) = delete;
};

bool FlagOn(DcJobRecord* record, SettingItemId id) {
  return JobNumber(&record->settings, &record->configuration, id) != 0;
}

// The destination chosen by item 380 (1-based) or the count of destinations it asks for, which
// must lie inside the record; 0 when it does not.
DWORD CheckedDestinationCount(DcJobRecord* record, const FaxList& list) {
  const LONG wanted = JobNumber(&record->settings, &record->configuration, kItemFaxDestinations);
  if (list.blob == nullptr || wanted < 1 || static_cast<DWORD>(wanted) > list.count) return 0;
  return static_cast<DWORD>(wanted);
}

}  // namespace

int SubmitDocumentMonitorJobs(HANDLE printer) {
  DcJobRecord* record = FindJobRecord(printer);
  if (record == nullptr) return kEventDone;
  for (SettingItemId id : kMonitorItems)
    if (!FlagOn(record, id)) return kEventDone;
  if (!IsPirvexAvailable() || record->store == nullptr) return kEventDone;
  DWORD count = 1, destination = 1;
  const bool fax = record->directFax != 0;
  FaxList list(record, fax);
  if (fax) {
    const DWORD chosen = CheckedDestinationCount(record, list);
    if (chosen == 0) return kEventFailed;
    if (JobNumber(&record->settings, &record->configuration, kItemFaxOneJob) == 0)
      count = chosen;
    else
      destination = chosen;
  }
  auto* block = static_cast<BYTE*>(GlobalAlloc(GPTR, kMonitorBlockPrefix + kMonitorJobIdBytes * count));
  if (block == nullptr) return kEventFailed;
  const WORD stored = static_cast<WORD>(count);
  std::memcpy(block, &stored, sizeof stored);
  MonitorJobContext context{};
  context.resourceModule = GetResourceModule();
  context.printer = printer;
  context.store = record->store;
  context.settings = &record->settings;
  context.config = &record->configuration;
  context.userName = record->userName;
  context.documentName = record->documentName;
  context.fax = fax ? TRUE : FALSE;
  context.faxBlob = fax ? list.blob : nullptr;
  context.faxBlobSize = fax ? list.size : 0;
  context.destinationCount = destination;
  int result = kEventDone;
  for (DWORD i = 0; i < count && result == kEventDone; ++i) {
    context.destinationIndex = i;
    const PirvexHandle handle = CollectJobOwnerData(&context, reinterpret_cast<LPSTR>(block + kMonitorBlockPrefix + kMonitorJobIdBytes * i));
    if (handle == 0 || SubmitPirvexJob(handle) != 1) result = kEventFailed;
  }
  if (result != kEventDone) {
    GlobalFree(block);
    return result;
  }
  if (record->monitorJobs != nullptr) GlobalFree(record->monitorJobs);
  record->monitorJobs = block;
  return kEventDone;
}

int BuildJobHeaders(HANDLE printer, HDC dc) {
  DcJobRecord* record = FindJobRecord(printer);
  DWORD faxJob = 0;
  if (record == nullptr || !FlagOn(record, kItemJournal) ||
      !SendDriverEscape(dc, DRVESC_QUERYFAXJOB, nullptr, 0, &faxJob, sizeof faxJob))
    return kEventDone;
  if (record->store == nullptr) return kEventFailed;
  FaxList list(record, faxJob != 0);
  FaxSelection selection{0, 0, nullptr, 0};
  DWORD count = 1;
  if (faxJob != 0) {
    const DWORD chosen = CheckedDestinationCount(record, list);
    if (chosen == 0) return kEventFailed;
    // One header for destinations 0 .. chosen - 1, or one header per destination.
    if (JobNumber(&record->settings, &record->configuration, kItemFaxOneJob) != 0)
      selection.last = chosen - 1;
    else
      count = chosen;
    selection.blob = list.blob;
    selection.blobSize = list.size;
  }
  const int slot = EstimateJobHeaderSize(record->store->main, record->store->linked);
  if (slot < 0) return kEventDone;
  // Each entry is its length word and a slot of text; the values follow the entries.
  const DWORD entry = static_cast<DWORD>(slot) + sizeof(DWORD);
  const DWORD size = kJobHeaderPrefix + (entry + sizeof(DWORD)) * count;
  auto* block = static_cast<BYTE*>(GlobalAlloc(GPTR, size));
  if (block == nullptr) return kEventFailed;
  const DWORD prefix[4] = {count, entry, 0, 0};
  std::memcpy(block, prefix, sizeof prefix);
  JobHeaderContext context{};
  context.settings = &record->settings;
  context.config = &record->configuration;
  context.documentName = record->documentName;
  context.useAttributeLibrary = 1;
  context.faxSelection = faxJob != 0 ? &selection : nullptr;
  context.printer = printer;
  for (DWORD i = 0; i < count; ++i) {
    if (faxJob != 0 && count > 1) selection.first = selection.last = i;
    context.monitorFlag = 0;
    std::memset(context.monitorJobId, 0, sizeof context.monitorJobId);
    if (record->monitorJobs != nullptr) {
      WORD ids = 0;
      std::memcpy(&ids, record->monitorJobs, sizeof ids);
      if (i < ids) {
        context.monitorFlag = IsPirvexAvailable() ? 1 : 0;
        std::memcpy(context.monitorJobId, record->monitorJobs + kMonitorBlockPrefix + kMonitorJobIdBytes * i,
                    kMonitorJobIdBytes);
      }
    }
    context.bktpValue = 0;
    context.bktpOffset = 0;
    BYTE* at = block + kJobHeaderPrefix + entry * i;
    const int length = BuildJobHeader(record->store->main, record->store->linked, &context,
                                      reinterpret_cast<LPSTR>(at + sizeof(DWORD)), static_cast<DWORD>(slot));
    if (length < 0) {
      GlobalFree(block);
      if (record->jobHeaders != nullptr) GlobalFree(record->jobHeaders);
      record->jobHeaders = nullptr;
      record->jobHeadersSize = 0;
      return kEventFailed;
    }
    const DWORD stored = static_cast<DWORD>(length);
    std::memcpy(at, &stored, sizeof stored);
    std::memcpy(block + kJobHeaderPrefix + entry * count + sizeof(DWORD) * i, &context.bktpOffset, sizeof(DWORD));
  }
  if (record->jobHeaders != nullptr) GlobalFree(record->jobHeaders);
  record->jobHeaders = block;
  record->jobHeadersSize = size;
  return kEventDone;
}

int SendJobDataEscapes(HANDLE printer, HDC dc) {
  DcJobRecord* record = FindJobRecord(printer);
  if (record == nullptr) return kEventFailed;
  if (record->started == 0) return kEventDone;
  SendDriverEscape(dc, DRVESC_GETSETTINGS, nullptr, 0, &record->settings, sizeof record->settings);
  int result = BuildJobHeaders(printer, dc);
  auto send = [&](int escape, const void* in, DWORD size) {
    if (!SendDriverEscape(dc, escape, in, size)) result = kEventFailed;
  };
  send(DRVESC_BATCH, &kBatchBegin, sizeof kBatchBegin);
  if (record->store != nullptr) {
    const WORD measure =
        static_cast<WORD>(GetLocaleMeasureSystem(HasModelFeature(record->store->main, kFeatureLocaleMeasure)));
    send(DRVESC_SETMEASURESYSTEM, &measure, sizeof measure);
  } else {
    result = kEventFailed;
  }
  send(DRVESC_SETDOCNAME, record->documentName, sizeof record->documentName);
  send(DRVESC_SETSETTINGS, &record->settings, sizeof record->settings);
  send(DRVESC_SETPRINTERCONFIG, &record->configuration, sizeof record->configuration);
  send(DRVESC_SETJOBINFO, &record->jobInfo, sizeof record->jobInfo);
  send(DRVESC_SETDIRECTMODE, &record->directMode, sizeof record->directMode);
  if (record->confirmed != 0) send(DRVESC_SETCONFIRMED, &record->confirmed, sizeof record->confirmed);
  if (record->directFax != 0) send(DRVESC_SETFAXLIST, record->faxRecord, record->faxRecordSize);
  if (record->jobHeaders != nullptr) send(DRVESC_SETJOBHEADERS, record->jobHeaders, record->jobHeadersSize);
  send(DRVESC_BATCH, &kBatchEnd, sizeof kBatchEnd);
  return result;
}
