// AddDriverForms: one spooler user form per paper of the model that the printer lacks.
#include <cstring>

#include "core/database/dbrecords.h"
#include "core/descriptors/user_paper_name.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "core/store/printer_forms.h"
#include "platform/kernel/lasterror.h"
#include "platform/spooler/spooler.h"
#include "ui/module/printer_data.h"

namespace {

constexpr WORD kPaperRecordType = 10;
// Thousandths of a millimetre in a tenth.
constexpr LONG kFormUnitsPerTenth = 100;
// The form of every user-defined paper: A4.
constexpr LONG kUserFormWidth = 210000;
constexpr LONG kUserFormHeight = 297000;
// Characters of a user paper's default name.
constexpr int kUserPaperNameChars = 33;

// Whether the printer has the paper's form: one of that name, or a built-in form for the paper.
bool HasForm(HANDLE printer, LPCWSTR name, WORD paperId) {
  DWORD needed = 0;
  GetFormW(printer, name, 1, nullptr, 0, &needed);
  return needed > 0 || IsBuiltinForm(printer, PaperSizeToFormIndex(paperId));
}

}  // namespace

BOOL AddDriverForm(LPCWSTR formName, const DatabaseRecord* paper, HANDLE printer) {
  SizePairElement size{}, leftTop{}, rightBottom{};
  if (GetPaperRecordSize(paper, &size) != 0 || GetPaperRecordMargins(paper, &leftTop, &rightBottom) != 0) return FALSE;
  FORM_INFO_1W form{};
  form.Flags = 0;  // a user form
  form.pName = const_cast<LPWSTR>(formName);
  if (IsUserPaperId(paper->h.key)) {
    form.Size = {kUserFormWidth, kUserFormHeight};
  } else {
    form.Size = {LONG(size.width) * kFormUnitsPerTenth, LONG(size.length) * kFormUnitsPerTenth};
  }
  // The first margin block holds the left and top margins, the second the right and bottom.
  form.ImageableArea.left = LONG(leftTop.width) * kFormUnitsPerTenth;
  form.ImageableArea.top = LONG(leftTop.length) * kFormUnitsPerTenth;
  form.ImageableArea.right = form.Size.cx - LONG(rightBottom.width) * kFormUnitsPerTenth;
  form.ImageableArea.bottom = form.Size.cy - LONG(rightBottom.length) * kFormUnitsPerTenth;
  return AddFormW(printer, 1, reinterpret_cast<const BYTE*>(&form));
}

int AddDriverForms(HANDLE printer, ItemStore* store) {
  if (printer == nullptr || store == nullptr) return 0;
  int result = 1;
  for (WORD position = 1;; ++position) {
    ScopedRecord paper;
    if (ReadRecord(TRUE, store->main, store->linked, kPaperRecordType, position, &paper.record) != 0) break;
    const WORD paperId = paper.record->h.key;
    WCHAR userName[kUserPaperNameChars] = {};
    LPCWSTR name = reinterpret_cast<const PaperRecord*>(paper.record)->name;
    if (IsUserPaperId(paperId)) {
      if (!FormatUserPaperName(UserPaperIdToIndex(paperId), userName, kUserPaperNameChars)) continue;
      name = userName;
    }
    if (name == nullptr || name[0] == 0 || HasForm(printer, name, paperId)) continue;
    if (!AddDriverForm(name, paper.record, printer)) result = 0;
  }
  return result;
}
