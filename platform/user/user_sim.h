// Test control of the user-interface services: the scripts of everything modal (dialogs,
// message boxes, popup menus) and their log, the driver that uses controls as a person does,
// the message pump and timers, the keyboard state, and the counts of live windows, classes,
// menus and timers.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/gdi/png_images.h"
#include "platform/user/message.h"
#include "platform/user/msgbox.h"

// One box as shown. A NULL text or caption is recorded as empty.
struct SimMessageBox {
  HWND owner = nullptr;
  std::u16string text;
  std::u16string caption;
  UINT type = 0;
  int answer = 0;
  bool scripted = false;  // false: answered IDCANCEL for want of a scripted answer
  bool ansi = false;      // shown through MessageBoxA
  int depth = 0;          // 1 for a box of its own, 2 inside one modal interaction, ...
};

// Queues the answer of the next box (boxes take answers in the order queued).
PLATFORM_API void SimMessageBoxAnswer(int answer);
// Queues a driver for the next box instead: it runs while the box is up (the owner disabled)
// and answers the button.
using SimMessageBoxDriver = std::function<int(const SimMessageBox& box)>;
PLATFORM_API void SimOnMessageBox(SimMessageBoxDriver driver);
// Every box shown since the last reset, in the order shown.
PLATFORM_API std::vector<SimMessageBox> SimMessageBoxLog();
// Forgets the log and the answers not yet used (also done by SimReset).
PLATFORM_API void SimMessageBoxReset();

// Modal dialogs run the driver queued for their template (else the first queued for any
// template): it gets the dialog once it is shown and acts through the calls below; then the
// queue is pumped. A dialog the driver leaves running, or one without a driver, is sent
// IDCANCEL and, should that not end it, ended as IDCANCEL; the log records both.
using SimDialogDriver = std::function<void(HWND dialog)>;
PLATFORM_API void SimOnDialog(SimDialogDriver driver);
PLATFORM_API void SimOnDialog(WORD templateId, SimDialogDriver driver);
// Drops the drivers no dialog took (a dialog that was expected may not have come).
PLATFORM_API void SimForgetDialogDrivers();
// Queues the command the next popup menu chooses (0: closed without a choice).
PLATFORM_API void SimPopupMenuChoice(UINT command);

struct SimModal {
  enum Kind { Dialog, MessageBox, PopupMenu } kind = Dialog;
  HWND owner = nullptr;
  WORD templateId = 0;      // dialogs from a numbered template
  std::u16string text;      // a message box's text, a dialog's template name
  int depth = 0;            // 1 outermost
  bool ended = false;
  bool scripted = false;    // a script answered it (a driver ended the dialog, a box or menu answer)
  bool forced = false;      // the layer had to end a dialog that IDCANCEL did not end
  bool refused = false;     // the scripted menu choice was no enabled command of the menu
  INT_PTR result = 0;
};
// Every modal interaction since the last reset, in the order they began.
PLATFORM_API std::vector<SimModal> SimModalLog();
// How many modal interactions are running now.
PLATFORM_API int SimModalDepth();

// The driver: uses a control as a person would. A control that is hidden or disabled, or lies
// in a hidden or disabled window, is refused (FALSE, logged).
struct SimRefusal {
  HWND control = nullptr;
  std::string action;
};
PLATFORM_API std::vector<SimRefusal> SimRefusedActions();
// A button is pressed and released (BM_CLICK); any other control is clicked at its centre.
PLATFORM_API BOOL SimClick(HWND control);
// Focus into the control (as a click does), then each character typed (WM_CHAR through the
// dialog's keyboard handling).
PLATFORM_API BOOL SimType(HWND control, const std::u16string& text);
PLATFORM_API BOOL SimFocus(HWND control);
// A key pressed and released in the window that has the focus (else in `window`), through its
// dialog's keyboard navigation (IsDialogMessageW) when it lies in a dialog.
PLATFORM_API BOOL SimKey(HWND window, int virtualKey);
// Drops the combo box's list and picks the item, or closes the list again without a choice.
PLATFORM_API BOOL SimPickCombo(HWND combo, int index);
PLATFORM_API BOOL SimCancelCombo(HWND combo);
// Scrolls the item into view when it is not, then clicks it (twice for a double click).
PLATFORM_API BOOL SimSelectList(HWND list, int index);
PLATFORM_API BOOL SimDoubleClickList(HWND list, int index);
// A scroll-bar control's action: its owner hears WM_HSCROLL or WM_VSCROLL with the code (and
// the position for SB_THUMBPOSITION and SB_THUMBTRACK), then SB_ENDSCROLL.
PLATFORM_API BOOL SimScroll(HWND bar, int code, int pos);

// Paints the window and its children whole, as a screen showing it would (frames, WM_ERASEBKGND,
// WM_PAINT, owner-drawn parts through their owners).
PLATFORM_API void SimPaint(HWND hwnd);
// The window (frame included) painted, as a picture; FALSE for a window that does not exist.
PLATFORM_API BOOL SimWindowPicture(HWND hwnd, ReferenceImage& picture);
// The same picture saved as a PNG file at a host path.
PLATFORM_API BOOL SimScreenshot(HWND hwnd, const std::string& pngPath);
// The window as the screen shows it now: only the parts waiting for painting are painted first,
// so what was drawn into it outside painting (an animation's tick) stays in the picture.
PLATFORM_API BOOL SimWindowPictureAsShown(HWND hwnd, ReferenceImage& picture);

// The message log: what watched windows receive, in the order the window procedures are
// called (a sent message when it is sent, a posted one when it is dispatched), compared with an
// expected sequence. A log watches from its making until it ends.

// A window to watch, with the name reports give it (else its class, child id and text), and
// whether windows inside it (made now or later, such as a sheet's pages) are watched too. NULL
// watches every window (for windows not made yet, such as a dialog's while it is made);
// OfClass every window of a class, made now or later (u"#32770": every dialog, property sheets
// and their pages included).
struct SimWatched {
  HWND hwnd = nullptr;
  std::string name;
  bool descendants = false;
  std::u16string className;
  SimWatched(HWND window) : hwnd(window) {}
  SimWatched(HWND window, std::string windowName, bool withDescendants = false)
      : hwnd(window), name(std::move(windowName)), descendants(withDescendants) {}
  static SimWatched OfClass(std::u16string windowClass) {
    SimWatched w(nullptr);
    w.className = std::move(windowClass);
    return w;
  }
};

// A message as a watched window received it.
struct SimLoggedMessage {
  HWND hwnd = nullptr;
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  UINT code = 0;        // WM_NOTIFY: the notice's code (NMHDR); 0 for other messages
  std::string name;     // "WM_INITDIALOG", "WM_NOTIFY PSN_APPLY", "PSM_CHANGED"
  std::string window;   // the window's name in reports
};

// An expected message: the window, the message, and what it must carry of wParam, lParam and
// (WM_NOTIFY) the notice code; what is left out matches anything.
struct SimMessage {
  HWND hwnd = nullptr;
  UINT msg = 0;
  std::optional<WPARAM> wParam;
  std::optional<LPARAM> lParam;
  std::optional<UINT> code;
  SimMessage(HWND window, UINT message) : hwnd(window), msg(message) {}
  SimMessage(HWND window, UINT message, WPARAM w) : hwnd(window), msg(message), wParam(w) {}
  SimMessage(HWND window, UINT message, WPARAM w, LPARAM l) : hwnd(window), msg(message), wParam(w), lParam(l) {}
};
// WM_NOTIFY carrying the notice `code` (PSN_SETACTIVE, TCN_SELCHANGE, ...).
inline SimMessage SimNotice(HWND hwnd, UINT code) {
  SimMessage m(hwnd, WM_NOTIFY);
  m.code = code;
  return m;
}

// Exact: the log (of the messages of interest) is the expected sequence, no more, no less.
// InOrder: the expected messages come in that order, others may come between them.
enum class SimSequence { Exact, InOrder };

class PLATFORM_API SimMessageLog {
 public:
  explicit SimMessageLog(const std::vector<SimWatched>& windows);
  ~SimMessageLog();
  SimMessageLog(const SimMessageLog&) = delete;
  SimMessageLog& operator=(const SimMessageLog&) = delete;

  // Watches one more window from now on.
  void Watch(const SimWatched& window);
  // Only these messages are of interest (all of them when empty); applies to what is
  // recorded already as well.
  void Only(const std::vector<UINT>& messages);
  // Forgets what was recorded.
  void Clear();
  // The messages of interest received so far.
  std::vector<SimLoggedMessage> Messages() const;
  // "" when the log matches; else the first difference, "message 3: expected WM_NOTIFY
  // PSN_APPLY to page, got WM_NOTIFY PSN_KILLACTIVE to page", then the log.
  std::string Difference(const std::vector<SimMessage>& expected, SimSequence how = SimSequence::Exact) const;
  bool Matches(const std::vector<SimMessage>& expected, SimSequence how = SimSequence::Exact) const;
  // The log, one numbered line a message ("1. WM_INITDIALOG to page").
  std::string Text() const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// The window stops answering (TRUE) as if its thread were busy, or answers again (FALSE):
// SendMessageTimeoutW to it times out and answers 0. SendMessageW and the queue still reach it,
// so no test ever waits. FALSE for a window that does not exist.
PLATFORM_API BOOL SimSetWindowHung(HWND hwnd, BOOL hung);

// Dispatches queued messages (and timers already due) until none is left; answers how many.
PLATFORM_API int SimPumpMessages();
// Moves the clock on by `milliseconds`, stopping at each timer that falls due to dispatch it
// and whatever it posts; answers the number of messages dispatched.
PLATFORM_API int SimRunTimers(DWORD milliseconds);
// Messages waiting in the queue.
PLATFORM_API int SimQueuedMessages();
// How often GetMessageW found nothing to wait for (no message, no timer).
PLATFORM_API int SimIdleWaits();
// The key is held down (GetKeyState) until set up again; SimReset lifts every key.
PLATFORM_API void SimSetKeyState(int virtualKey, bool down);
// Every MessageBeep type since the last reset.
PLATFORM_API std::vector<UINT> SimBeeps();
// What GetCursorPos answers (screen coordinates).
PLATFORM_API void SimSetCursorPos(POINT point);

// Which dialog template a dialog or property page was made from: the module whose resources
// hold it and its number or name. Empty (module NULL) for a window the dialog manager did not
// make from a resource (an ordinary window, a property sheet's own frame).
struct SimDialogSource {
  HMODULE module = nullptr;
  WORD id = 0;
  std::u16string name;
  bool operator==(const SimDialogSource&) const = default;
};
PLATFORM_API SimDialogSource SimDialogTemplate(HWND dialog);

// What a person sees of a window: the texts and the pictures drawn into it since its last
// paint began (SimPaint paints it whole first when a test wants it painted), its own and then
// those of its visible children in child order; owner-drawn items count for the control they
// are drawn into. A window that is hidden (or lies in a hidden one) shows nothing.
struct SimDrawnText {
  HWND hwnd = nullptr;
  std::u16string text;  // one run of text as drawn (a line of DrawTextW, prefixes taken out)
  RECT rect{};          // in the window's client coordinates (its frame's texts: window coordinates)
};
struct SimDrawnPicture {
  HWND hwnd = nullptr;
  enum Kind { Icon, Bitmap } kind = Icon;
  HMODULE module = nullptr;  // the module and number of the resource it was loaded from
  WORD resourceId = 0;       // (0 for a picture made otherwise)
  RECT rect{};
};
PLATFORM_API std::vector<SimDrawnText> SimDrawnTexts(HWND hwnd);
PLATFORM_API std::vector<SimDrawnPicture> SimDrawnPictures(HWND hwnd);

// The number of the icon resource an icon was loaded from (LoadIconW, LoadImageW), 0 for
// other icons.
PLATFORM_API WORD SimIconResourceId(HICON icon);

// Live counts for leak checks: windows (the desktop not counted), application window classes,
// menus, timers.
PLATFORM_API int SimLiveWindows();
PLATFORM_API int SimLiveWindowClasses();
PLATFORM_API int SimLiveMenus();
PLATFORM_API int SimLiveTimers();
