// The levels, threshold and tone-curve controls (see level_controls.h).
#include "scanner/ui/level_controls.h"

#include <array>

#include "platform/comctl/trackbar.h"
#include "platform/kernel/memory.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "scanner/ui/number_text.h"
#include "scanner/ui/subclass.h"
#include "scanner/ui/window_ids.h"

namespace {

// The gamma marker's rows: gamma x 100 and entry. The rows between are filled by linear
// interpolation (rounded down), which keeps every row given here, the rise from 16 to 255 (first
// reached at 1000) and the one dip at 419 and 420.
struct MarkerRow {
  int Index;
  int Entry;
};
constexpr MarkerRow kMarkerRows[] = {
    {0, 16},    {10, 16},   {20, 31},   {25, 39},   {33, 51},   {50, 71},   {67, 94},   {75, 103},  {100, 127},
    {125, 147}, {150, 163}, {200, 190}, {250, 209}, {300, 222}, {400, 239}, {419, 241}, {420, 240}, {500, 247},
    {700, 253}, {1000, 255}};

constexpr std::array<BYTE, kGammaMarkerEntries> BuildMarkerTable() {
  std::array<BYTE, kGammaMarkerEntries> t{};
  for (size_t r = 0; r + 1 < std::size(kMarkerRows); ++r) {
    const MarkerRow a = kMarkerRows[r], b = kMarkerRows[r + 1];
    for (int i = a.Index; i <= b.Index; ++i) {
      const int span = b.Index - a.Index, rise = b.Entry - a.Entry, step = i - a.Index;
      const int offset = rise >= 0 ? rise * step / span : -(-rise * step / span);
      t[static_cast<size_t>(i)] = static_cast<BYTE>(a.Entry + offset);
    }
  }
  t[kGammaMarkerEntries - 1] = 0;
  return t;
}

constexpr std::array<BYTE, kGammaMarkerEntries> kGammaMarkerTable = BuildMarkerTable();
static_assert(kGammaMarkerTable[100] == 127 && kGammaMarkerTable[419] == 241 && kGammaMarkerTable[420] == 240);

constexpr SHORT kMinGamma = 10;
constexpr SHORT kMaxGamma = 1000;
constexpr SHORT kMinThreshold = 1;
constexpr SHORT kMaxThreshold = 255;
constexpr int kGammaDecimals = 2;

// Which value an edit holds, its bounds (from the partner's value) and its length.
struct LevelEdit {
  int Id;
  UINT Length;
  BOOL Fixed;  // gamma: fixed point with two decimals
};
constexpr LevelEdit kLevelEdits[] = {
    {kIdInputHigh, 3, FALSE}, {kIdInputLow, 3, FALSE}, {kIdGamma, 5, TRUE},
    {kIdOutputLow, 3, FALSE}, {kIdOutputHigh, 3, FALSE}, {kIdThreshold, 3, FALSE},
};

const LevelEdit* FindEdit(int id) {
  for (const LevelEdit& e : kLevelEdits)
    if (e.Id == id) return &e;
  return nullptr;
}

// The value an edit stands for, and its bounds given the partner's current value.
SHORT& ValueOf(ScanSettings& s, int id) {
  LevelSlot& slot = s.LevelSlots[0];
  switch (id) {
    case kIdInputHigh: return slot.InputHigh;
    case kIdInputLow: return slot.InputLow;
    case kIdGamma: return slot.Gamma;
    case kIdOutputLow: return slot.OutputLow;
    case kIdOutputHigh: return slot.OutputHigh;
    default: return s.Threshold;
  }
}

void Bounds(const ScanSettings& s, int id, LONG& low, LONG& high) {
  const LevelSlot& slot = s.LevelSlots[0];
  switch (id) {
    case kIdInputHigh: low = slot.InputLow + 1, high = 255; break;
    case kIdInputLow: low = 0, high = slot.InputHigh - 1; break;
    case kIdGamma: low = kMinGamma, high = kMaxGamma; break;
    case kIdOutputLow: low = 0, high = slot.OutputHigh - 1; break;
    case kIdOutputHigh: low = slot.OutputLow + 1, high = 255; break;
    default: low = kMinThreshold, high = kMaxThreshold; break;
  }
}


// The per-edit record of the subclass, kept in the edit's user data.
struct NumberEdit {
  HWND Dialog;
  int Id;
  BOOL Changed;
  WNDPROC Previous;
};

// Set while the data source itself writes the edits: those texts are no user's change.
BOOL g_Filling = FALSE;

NumberEdit* EditRecord(HWND edit) { return SubclassRecord<NumberEdit>(edit); }

// Commits an edit's text: read, clamp with the partner, write back when clamped, store.
void CommitEdit(HWND dialog, ScanSettings& s, const LevelEdit& e, WORD code) {
  SHORT& stored = ValueOf(s, e.Id);
  g_Filling = TRUE;  // reading the gamma rewrites its text
  LONG value = e.Fixed ? ReadEditFixed(dialog, e.Id, stored, kGammaDecimals) : ReadEditInteger(dialog, e.Id, stored);
  g_Filling = FALSE;
  LONG low = 0, high = 0;
  Bounds(s, e.Id, low, high);
  const LONG clamped = value < low ? low : (value > high ? high : value);
  if (clamped != value) ShowLevelValue(dialog, e.Id, clamped);
  stored = static_cast<SHORT>(clamped);
  if (e.Id == kIdThreshold) {
    SendDlgItemMessageW(dialog, kIdThresholdBar, TBM_SETPOS, TRUE, clamped);
  } else {
    InvalidateRect(dialog, nullptr, TRUE);
  }
  if (code == NEN_ENTER) SendDlgItemMessageW(dialog, e.Id, EM_SETSEL, 0, -1);
  if (IsWindowEnabled(GetDlgItem(dialog, e.Id)) && s.PreviewWindow != nullptr) {
    if (e.Id == kIdThreshold)
      PostMessageW(s.PreviewWindow, PVM_RERENDER, 0, 0);
    else
      SendMessageW(s.PreviewWindow, PVM_RERENDER, 0, 0);
  }
}

}  // namespace

void ShowLevelValue(HWND dialog, int id, LONG value) {
  g_Filling = TRUE;
  SetEditNumber(dialog, id, value, TRUE, id == kIdGamma ? kGammaDecimals : 0);
  g_Filling = FALSE;
}

BYTE GammaMarkerEntry(int index) {
  return index >= 0 && index < kGammaMarkerEntries ? kGammaMarkerTable[static_cast<size_t>(index)] : 0;
}

SHORT GammaFromMarker(int value) {
  int i = 0;
  while (i < kGammaMarkerEntries && kGammaMarkerTable[static_cast<size_t>(i)] < 255 - value) ++i;
  return static_cast<SHORT>(i < kMinGamma ? kMinGamma : (i > kMaxGamma ? kMaxGamma : i));
}

BOOL InstallNumberEdit(HWND dialog, HWND edit, int id) {
  return InstallSubclass(edit, new NumberEdit{dialog, id, FALSE, nullptr}, NumberEditProc);
}

void RemoveNumberEdit(HWND edit) { RemoveSubclass<NumberEdit>(edit); }

LRESULT NumberEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
  NumberEdit* record = EditRecord(edit);
  if (record == nullptr) return DefWindowProcW(edit, msg, wParam, lParam);
  switch (msg) {
    case NEM_CHANGED:
      record->Changed = TRUE;
      return 0;
    case WM_KEYUP:
      if (wParam != VK_RETURN) break;
      if (record->Changed) {
        record->Changed = FALSE;
        SendMessageW(record->Dialog, WM_COMMAND, MAKEWPARAM(record->Id, NEN_ENTER), reinterpret_cast<LPARAM>(edit));
      }
      return 0;
    case WM_KILLFOCUS: {
      const LRESULT result = CallWindowProcW(record->Previous, edit, msg, wParam, lParam);
      if (record->Changed) {
        record->Changed = FALSE;
        SendMessageW(record->Dialog, WM_COMMAND, MAKEWPARAM(record->Id, NEN_KILLFOCUS), reinterpret_cast<LPARAM>(edit));
      }
      return result;
    }
  }
  return CallWindowProcW(record->Previous, edit, msg, wParam, lParam);
}

void FillLevelControls(HWND dialog, const ScanSettings& s) {
  g_Filling = TRUE;
  SendDlgItemMessageW(dialog, kIdThresholdBar, TBM_SETRANGE, TRUE, MAKELPARAM(kMinThreshold, kMaxThreshold));
  SendDlgItemMessageW(dialog, kIdThresholdBar, TBM_SETPAGESIZE, 0, 1);
  SendDlgItemMessageW(dialog, kIdThresholdBar, TBM_SETSEL, TRUE, MAKELPARAM(kMinThreshold, kMaxThreshold));
  SendDlgItemMessageW(dialog, kIdThresholdBar, TBM_SETTICFREQ, 2, 0);
  SendDlgItemMessageW(dialog, kIdThresholdBar, TBM_SETPOS, TRUE, s.Threshold);
  const LevelSlot& slot = s.LevelSlots[0];
  SetDlgItemInt(dialog, kIdInputHigh, static_cast<UINT>(slot.InputHigh), FALSE);
  SetEditNumber(dialog, kIdGamma, slot.Gamma, TRUE, kGammaDecimals);
  SetDlgItemInt(dialog, kIdInputLow, static_cast<UINT>(slot.InputLow), FALSE);
  SetDlgItemInt(dialog, kIdOutputHigh, static_cast<UINT>(slot.OutputHigh), FALSE);
  SetDlgItemInt(dialog, kIdOutputLow, static_cast<UINT>(slot.OutputLow), FALSE);
  SetDlgItemInt(dialog, kIdThreshold, static_cast<UINT>(s.Threshold), FALSE);
  for (const LevelEdit& e : kLevelEdits) SendDlgItemMessageW(dialog, e.Id, EM_LIMITTEXT, e.Length, 0);
  g_Filling = FALSE;
}

BOOL HandleLevelCommand(HWND dialog, ScanSettings& s, int id, WORD code) {
  if (id == kIdLevelsReset) {
    for (LevelSlot& slot : s.LevelSlots) ResetLevelSlot(slot);
    for (CurveItem& item : s.CurveItems) ResetCurveItem(item);
    FillLevelControls(dialog, s);
    if (s.PreviewWindow != nullptr) SendMessageW(s.PreviewWindow, PVM_RERENDER, 0, 0);
    InvalidateRect(dialog, nullptr, FALSE);
    return TRUE;
  }
  const LevelEdit* e = FindEdit(id);
  if (e == nullptr) return FALSE;
  if (code == EN_CHANGE) {
    if (!g_Filling) SendDlgItemMessageW(dialog, id, NEM_CHANGED, 0, 0);
  } else if (code == NEN_ENTER || code == NEN_KILLFOCUS) {
    CommitEdit(dialog, s, *e, code);
  }
  return TRUE;
}

void HandleThresholdScroll(HWND dialog, ScanSettings& s, WORD code) {
  if (code != TB_LINEUP && code != TB_LINEDOWN && code != TB_PAGEUP && code != TB_PAGEDOWN && code != TB_THUMBTRACK &&
      code != TB_ENDTRACK)
    return;
  LONG position = static_cast<LONG>(SendDlgItemMessageW(dialog, kIdThresholdBar, TBM_GETPOS, 0, 0));
  position = position < kMinThreshold ? kMinThreshold : (position > kMaxThreshold ? kMaxThreshold : position);
  if (position != s.Threshold) {
    s.Threshold = static_cast<SHORT>(position);
    ShowLevelValue(dialog, kIdThreshold, position);
  }
  SendDlgItemMessageW(dialog, kIdThresholdBar, TBM_SETPOS, TRUE, position);
  if (code == TB_ENDTRACK && s.PreviewWindow != nullptr) PostMessageW(s.PreviewWindow, PVM_RERENDER, 0, 0);
}
