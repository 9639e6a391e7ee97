#include "graphics/job/fax_send_list.h"

#include "core/job/fax_list.h"
#include "graphics/ddi/pdev.h"
#include "platform/kernel/memory.h"

int SetFaxListEscape(Pdev* pdev, DWORD length, const BYTE* record) {
  if (pdev == nullptr || length == 0 || record == nullptr) return -1;
  if (!pdev->faxModel) return 0;
  DWORD count = 0, size = 0;
  // The new list is loaded before the old one goes, so a refused record changes nothing.
  BYTE* list = LoadFaxDestinationList(pdev->printer, length, record, &count, &size);
  if (list == nullptr) return -1;
  FreeFaxList(pdev);
  pdev->faxList = list;
  pdev->faxListSize = size;
  pdev->faxListCount = count;
  return 0;
}

void FreeFaxList(Pdev* pdev) {
  if (pdev->faxList != nullptr) GlobalFree(pdev->faxList);
  pdev->faxList = nullptr;
  pdev->faxListSize = 0;
  pdev->faxListCount = 0;
}
