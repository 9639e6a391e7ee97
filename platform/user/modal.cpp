// The modal record and the modal dialog loop (see modal.h and dialog.h).
#include "platform/user/modal.h"

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/user/controls.h"
#include "platform/user/dialog_internal.h"
#include "platform/user/msgbox.h"

namespace {

struct OpenModal {
  HWND ownerRoot = nullptr;
  bool ownerWasDisabled = false;
};

struct Modals {
  std::recursive_mutex lock;
  std::vector<SimModal> log;
  std::vector<OpenModal> open;  // indexed like the log
  int depth = 0;
  std::deque<std::pair<WORD, SimDialogDriver>> drivers;  // template 0: any template
};

Modals& State() {
  static Modals* m = new Modals;
  return *m;
}

void Reset() {
  Modals& m = State();
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  m.log.clear();
  m.open.clear();
  m.depth = 0;
  m.drivers.clear();
}

const bool registeredReset = (SimAddResetHook(&Reset), true);

}  // namespace

// The driver for a template: the first queued for this template, else the first for any.
SimDialogDriver UserTakeDialogDriver(WORD templateId) {
  Modals& m = State();
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  for (int pass = 0; pass < 2; ++pass) {
    WORD wanted = pass == 0 ? templateId : 0;
    if (pass == 0 && templateId == 0) continue;
    for (auto it = m.drivers.begin(); it != m.drivers.end(); ++it) {
      if (it->first != wanted) continue;
      SimDialogDriver d = std::move(it->second);
      m.drivers.erase(it);
      return d;
    }
  }
  return nullptr;
}

size_t UserBeginModal(SimModal::Kind kind, HWND owner, WORD templateId, const std::u16string& text) {
  Modals& m = State();
  OpenModal open;
  if (kind != SimModal::PopupMenu && owner != nullptr && IsWindow(owner)) {
    open.ownerRoot = GetAncestor(owner, GA_ROOT);
    open.ownerWasDisabled = EnableWindow(open.ownerRoot, FALSE) != 0;
  }
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  SimModal entry;
  entry.kind = kind;
  entry.owner = owner;
  entry.templateId = templateId;
  entry.text = text;
  entry.depth = ++m.depth;
  m.log.push_back(entry);
  m.open.push_back(open);
  return m.log.size() - 1;
}

void UserEndModal(size_t index, INT_PTR result, bool scripted, bool forced, bool refused) {
  Modals& m = State();
  OpenModal open;
  {
    std::lock_guard<std::recursive_mutex> guard(m.lock);
    if (index >= m.log.size()) return;
    m.log[index].result = result;
    m.log[index].scripted = scripted;
    m.log[index].forced = forced;
    m.log[index].refused = refused;
    m.log[index].ended = true;
    m.depth--;
    open = m.open[index];
  }
  if (open.ownerRoot != nullptr && IsWindow(open.ownerRoot) && !open.ownerWasDisabled)
    EnableWindow(open.ownerRoot, TRUE);
}

void SimOnDialog(SimDialogDriver driver) { SimOnDialog(0, std::move(driver)); }

void SimOnDialog(WORD templateId, SimDialogDriver driver) {
  Modals& m = State();
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  m.drivers.emplace_back(templateId, std::move(driver));
}

void SimForgetDialogDrivers() {
  Modals& m = State();
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  m.drivers.clear();
}

std::vector<SimModal> SimModalLog() {
  Modals& m = State();
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  return m.log;
}

int SimModalDepth() {
  Modals& m = State();
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  return m.depth;
}

// The modal loop without a person: the dialog is shown and the queued messages delivered,
// then the test's driver acts and what it posted is delivered. A dialog still running then is
// sent IDCANCEL (as Escape does) and, if even that does not end it, ended as IDCANCEL; either
// way the log says it was not ended by a script.
INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param) {
  WORD templateId = IS_INTRESOURCE(templateName) ? WORD(reinterpret_cast<ULONG_PTR>(templateName)) : 0;
  size_t entry = UserBeginModal(SimModal::Dialog, owner, templateId,
                                IS_INTRESOURCE(templateName) ? std::u16string() : std::u16string(templateName));
  HWND dialog = UserCreateDialog(instance, templateName, owner, proc, param, true);
  if (dialog == nullptr) {
    DWORD error = GetLastError();
    UserEndModal(entry, -1, false, false, false);
    SetLastError(error);
    return -1;
  }
  std::shared_ptr<Window> w = UserPeekWindow(dialog);
  std::shared_ptr<DialogState> state = w->dialog;
  HWND previousActive = GetActiveWindow();
  if (!state->ended) SetActiveWindow(dialog);
  bool scripted = false, forced = false;
  if (!state->ended) {
    SimPaint(dialog);  // shown once before anyone acts, as a screen would show it
    SimPumpMessages();
    if (SimDialogDriver driver = UserTakeDialogDriver(templateId)) {
      scripted = true;
      if (IsWindow(dialog) && !state->ended) driver(dialog);
      SimPumpMessages();
    }
  }
  if (!state->ended) {
    scripted = false;
    if (IsWindow(dialog)) {
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      SimPumpMessages();
    }
    if (!state->ended) {
      forced = true;
      state->ended = true;
      state->result = IDCANCEL;
    }
  }
  INT_PTR result = state->result;
  if (IsWindow(dialog)) DestroyWindow(dialog);
  UserEndModal(entry, result, scripted, forced, false);
  if (previousActive != nullptr && IsWindow(previousActive)) SetActiveWindow(previousActive);
  return result;
}
