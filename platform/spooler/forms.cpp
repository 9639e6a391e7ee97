// Forms of the print server: EnumFormsW, GetFormW, AddFormW.
#include <cstring>

#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/spooler/spooler_state.h"

using namespace spooler;

namespace {

struct BuiltinForm {
  const char16_t* name;
  LONG width;  // thousandths of a millimetre
  LONG length;
};

// The built-in forms in form-number order: entry n - 1 is form n, which is also the device
// mode's paper size value n. Numbers 48 and 49 are reserved and hold placeholder forms so
// that the numbering stays unbroken.
constexpr BuiltinForm kBuiltinForms[] = {
    {u"Letter", 215900, 279400},
    {u"Letter Small", 215900, 279400},
    {u"Tabloid", 279400, 431800},
    {u"Ledger", 431800, 279400},
    {u"Legal", 215900, 355600},
    {u"Statement", 139700, 215900},
    {u"Executive", 184150, 266700},
    {u"A3", 297000, 420000},
    {u"A4", 210000, 297000},
    {u"A4 Small", 210000, 297000},
    {u"A5", 148000, 210000},
    {u"B4 (JIS)", 257000, 364000},
    {u"B5 (JIS)", 182000, 257000},
    {u"Folio", 215900, 330200},
    {u"Quarto", 215000, 275000},
    {u"10x14", 254000, 355600},
    {u"11x17", 279400, 431800},
    {u"Note", 215900, 279400},
    {u"Envelope #9", 98425, 225425},
    {u"Envelope #10", 104775, 241300},
    {u"Envelope #11", 114300, 263525},
    {u"Envelope #12", 120650, 279400},
    {u"Envelope #14", 127000, 292100},
    {u"C size sheet", 431800, 558800},
    {u"D size sheet", 558800, 863600},
    {u"E size sheet", 863600, 1117600},
    {u"Envelope DL", 110000, 220000},
    {u"Envelope C5", 162000, 229000},
    {u"Envelope C3", 324000, 458000},
    {u"Envelope C4", 229000, 324000},
    {u"Envelope C6", 114000, 162000},
    {u"Envelope C65", 114000, 229000},
    {u"Envelope B4", 250000, 353000},
    {u"Envelope B5", 176000, 250000},
    {u"Envelope B6", 176000, 125000},
    {u"Envelope", 110000, 230000},
    {u"Envelope Monarch", 98425, 190500},
    {u"6 3/4 Envelope", 92075, 165100},
    {u"US Std Fanfold", 377825, 279400},
    {u"German Std Fanfold", 215900, 304800},
    {u"German Legal Fanfold", 215900, 330200},
    {u"B4 (ISO)", 250000, 353000},
    {u"Japanese Postcard", 100000, 148000},
    {u"9x11", 228600, 279400},
    {u"10x11", 254000, 279400},
    {u"15x11", 381000, 279400},
    {u"Envelope Invite", 220000, 220000},
    {u"Reserved48", 1000, 1000},
    {u"Reserved49", 1000, 1000},
    {u"Letter Extra", 241300, 304800},
    {u"Legal Extra", 241300, 381000},
    {u"Tabloid Extra", 296926, 457200},
    {u"A4 Extra", 235458, 322326},
    {u"Letter Transverse", 215900, 279400},
    {u"A4 Transverse", 210000, 297000},
    {u"Letter Extra Transverse", 241300, 304800},
    {u"Super A", 227000, 356000},
    {u"Super B", 305000, 487000},
    {u"Letter Plus", 215900, 322326},
    {u"A4 Plus", 210000, 330000},
    {u"A5 Transverse", 148000, 210000},
    {u"B5 (JIS) Transverse", 182000, 257000},
    {u"A3 Extra", 322000, 445000},
    {u"A5 Extra", 174000, 235000},
    {u"B5 (ISO) Extra", 201000, 276000},
    {u"A2", 420000, 594000},
    {u"A3 Transverse", 297000, 420000},
    {u"A3 Extra Transverse", 322000, 445000},
    {u"Japanese Double Postcard", 200000, 148000},
    {u"A6", 105000, 148000},
    {u"Japanese Envelope Kaku #2", 240000, 332000},
    {u"Japanese Envelope Kaku #3", 216000, 277000},
    {u"Japanese Envelope Chou #3", 120000, 235000},
    {u"Japanese Envelope Chou #4", 90000, 205000},
    {u"Letter Rotated", 279400, 215900},
    {u"A3 Rotated", 420000, 297000},
    {u"A4 Rotated", 297000, 210000},
    {u"A5 Rotated", 210000, 148000},
    {u"B4 (JIS) Rotated", 364000, 257000},
    {u"B5 (JIS) Rotated", 257000, 182000},
    {u"Japanese Postcard Rotated", 148000, 100000},
    {u"Double Japan Postcard Rotated", 148000, 200000},
    {u"A6 Rotated", 148000, 105000},
    {u"Japan Envelope Kaku #2 Rotated", 332000, 240000},
    {u"Japan Envelope Kaku #3 Rotated", 277000, 216000},
    {u"Japan Envelope Chou #3 Rotated", 235000, 120000},
    {u"Japan Envelope Chou #4 Rotated", 205000, 90000},
    {u"B6 (JIS)", 128000, 182000},
    {u"B6 (JIS) Rotated", 182000, 128000},
    {u"12x11", 304800, 279400},
    {u"Japan Envelope You #4", 105000, 235000},
    {u"Japan Envelope You #4 Rotated", 235000, 105000},
    {u"PRC 16K", 146000, 215000},
    {u"PRC 32K", 97000, 151000},
    {u"PRC 32K(Big)", 97000, 151000},
    {u"PRC Envelope #1", 102000, 165000},
    {u"PRC Envelope #2", 102000, 176000},
    {u"PRC Envelope #3", 125000, 176000},
    {u"PRC Envelope #4", 110000, 208000},
    {u"PRC Envelope #5", 110000, 220000},
    {u"PRC Envelope #6", 120000, 230000},
    {u"PRC Envelope #7", 160000, 230000},
    {u"PRC Envelope #8", 120000, 309000},
    {u"PRC Envelope #9", 229000, 324000},
    {u"PRC Envelope #10", 324000, 458000},
    {u"PRC 16K Rotated", 215000, 146000},
    {u"PRC 32K Rotated", 151000, 97000},
    {u"PRC 32K(Big) Rotated", 151000, 97000},
    {u"PRC Envelope #1 Rotated", 165000, 102000},
    {u"PRC Envelope #2 Rotated", 176000, 102000},
    {u"PRC Envelope #3 Rotated", 176000, 125000},
    {u"PRC Envelope #4 Rotated", 208000, 110000},
    {u"PRC Envelope #5 Rotated", 220000, 110000},
    {u"PRC Envelope #6 Rotated", 230000, 120000},
    {u"PRC Envelope #7 Rotated", 230000, 160000},
    {u"PRC Envelope #8 Rotated", 309000, 120000},
    {u"PRC Envelope #9 Rotated", 324000, 229000},
    {u"PRC Envelope #10 Rotated", 458000, 324000},
};
static_assert(std::size(kBuiltinForms) == 118);

// The built-in forms as the server lists them, made once: every enumeration and look-up reads
// this list and the state's own forms in place instead of copying them.
const std::vector<Form>& BuiltinFormList() {
  static const std::vector<Form> forms = [] {
    std::vector<Form> list;
    list.reserve(std::size(kBuiltinForms));
    for (const BuiltinForm& b : kBuiltinForms)
      list.push_back({FORM_BUILTIN, b.name, {b.width, b.length}, {0, 0, b.width, b.length}});
    return list;
  }();
  return forms;
}

const Form* FindForm(const std::vector<Form>& forms, std::u16string_view name) {
  for (const Form& form : forms)
    if (EqualNoCase(form.name, name)) return &form;
  return nullptr;
}

// The server's form of that name (built-in forms first), or none.
const Form* FindServerForm(const State& state, std::u16string_view name) {
  const Form* form = FindForm(BuiltinFormList(), name);
  return form != nullptr ? form : FindForm(state.userForms, name);
}

// The server's form at a position of the listing: the built-in forms, then the state's own.
const Form& FormAt(const State& state, size_t i) {
  const std::vector<Form>& builtin = BuiltinFormList();
  return i < builtin.size() ? builtin[i] : state.userForms[i - builtin.size()];
}

// Writes one FORM_INFO_1W at record and its name through the packer.
void PackForm(const Form& form, LPBYTE record, InfoPacker& packer) {
  FORM_INFO_1W info{};
  info.Flags = form.flags;
  info.pName = packer.AddString(form.name);
  info.Size = form.size;
  info.ImageableArea = form.imageable;
  if (record) std::memcpy(record, &info, sizeof info);
}

}  // namespace

BOOL EnumFormsW(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  if (!StartHandleCall(state, "EnumFormsW", hPrinter, pcbNeeded && pcReturned)) return FALSE;
  *pcReturned = 0;
  if (Level != 1) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  const size_t count = BuiltinFormList().size() + state.userForms.size();
  DWORD fixed = static_cast<DWORD>(count * sizeof(FORM_INFO_1W));
  InfoPacker sizer(nullptr, fixed);
  for (size_t i = 0; i < count; ++i) PackForm(FormAt(state, i), nullptr, sizer);
  if (!CheckInfoBuffer(pForm, cbBuf, sizer.Size(), pcbNeeded)) return FALSE;
  InfoPacker packer(pForm, fixed);
  for (size_t i = 0; i < count; ++i) PackForm(FormAt(state, i), pForm + i * sizeof(FORM_INFO_1W), packer);
  *pcReturned = static_cast<DWORD>(count);
  return TRUE;
}

BOOL GetFormW(HANDLE hPrinter, LPCWSTR pFormName, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  if (!StartHandleCall(state, "GetFormW", hPrinter, pcbNeeded && pFormName)) return FALSE;
  *pcbNeeded = 0;
  if (Level != 1) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  const Form* form = FindServerForm(state, pFormName);
  if (!form) {
    SetLastError(ERROR_INVALID_FORM_NAME);
    return FALSE;
  }
  InfoPacker sizer(nullptr, sizeof(FORM_INFO_1W));
  PackForm(*form, nullptr, sizer);
  if (!CheckInfoBuffer(pForm, cbBuf, sizer.Size(), pcbNeeded)) return FALSE;
  InfoPacker packer(pForm, sizeof(FORM_INFO_1W));
  PackForm(*form, pForm, packer);
  return TRUE;
}

BOOL AddFormW(HANDLE hPrinter, DWORD Level, const BYTE* pForm) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  const auto* info = reinterpret_cast<const FORM_INFO_1W*>(pForm);
  Handle* handle = StartHandleCall(state, "AddFormW", hPrinter);
  if (!handle) return FALSE;
  if (Level != 1) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  if (!info || !info->pName || !*info->pName || info->Size.cx <= 0 || info->Size.cy <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!(handle->access & PRINTER_ACCESS_ADMINISTER)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (FindServerForm(state, info->pName)) {
    SetLastError(ERROR_FILE_EXISTS);
    return FALSE;
  }
  state.userForms.push_back({FORM_USER, info->pName, info->Size, info->ImageableArea});
  return TRUE;
}
