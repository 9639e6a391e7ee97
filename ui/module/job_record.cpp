// The list of per-device-context job records (job_record.h). The list is shared by every device
// context of the process and is only walked and changed under the job-list lock.
#include "ui/module/job_record.h"

#include <cstring>

#include "core/runtime/lock_slots.h"
#include "core/runtime/module_state.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"

namespace {

DcJobRecord* jobRecords = nullptr;

// The module pins itself while a record exists, so that it is not unloaded between events.
HMODULE PinModule() {
  WCHAR path[MAX_PATH + 1] = {};
  if (GetModuleFileNameW(GetModuleInstance(), path, MAX_PATH + 1) == 0) return nullptr;
  return LoadLibraryW(path);
}

}  // namespace

void FreeJobRecordData(DcJobRecord* record) {
  if (record->jobHeaders != nullptr) GlobalFree(record->jobHeaders);
  if (record->monitorJobs != nullptr) GlobalFree(record->monitorJobs);
  if (record->faxRecord != nullptr) GlobalFree(record->faxRecord);
  record->jobHeaders = nullptr;
  record->jobHeadersSize = 0;
  record->monitorJobs = nullptr;
  record->faxRecord = nullptr;
  record->faxRecordSize = 0;
}

void ResetJobRecord(DcJobRecord* record) {
  record->started = 0;
  record->directFax = 0;
  record->startAnswer = 0;
  record->confirmed = 0;
  record->documentName[0] = 0;
  record->userName[0] = 0;
  record->jobInfo.used = 0;
  record->jobHeaders = nullptr;
  record->jobHeadersSize = 0;
  record->faxRecord = nullptr;
  record->faxRecordSize = 0;
  record->directMode = DirectModeState{};
}

DcJobRecord* CreateJobRecord(HANDLE printer) {
  LockSlotGuard guard(kLockJobList);
  auto* record = static_cast<DcJobRecord*>(GlobalAlloc(GPTR, sizeof(DcJobRecord)));
  if (record == nullptr) return nullptr;
  record->printer = printer;
  record->next = jobRecords;
  jobRecords = record;
  ResetJobRecord(record);
  record->store = OpenItemStore(printer);
  record->pinnedModule = PinModule();
  return record;
}

DcJobRecord* FindJobRecord(HANDLE printer) {
  LockSlotGuard guard(kLockJobList);
  for (DcJobRecord* record = jobRecords; record != nullptr; record = record->next) {
    if (record->printer != printer) continue;
    if (record->store == nullptr) record->store = OpenItemStore(printer);
    return record;
  }
  return nullptr;
}

int DeleteJobRecord(HANDLE printer) {
  DcJobRecord* found = nullptr;
  {
    LockSlotGuard guard(kLockJobList);
    for (DcJobRecord** link = &jobRecords; *link != nullptr; link = &(*link)->next)
      if ((*link)->printer == printer) {
        found = *link;
        *link = found->next;
        break;
      }
  }
  if (found == nullptr) return 1;
  FreeJobRecordData(found);
  if (found->store != nullptr) CloseItemStore(found->store);
  const HMODULE pinned = found->pinnedModule;
  GlobalFree(found);
  // Last: this may be the module's final reference.
  if (pinned != nullptr) FreeLibrary(pinned);
  return 1;
}
