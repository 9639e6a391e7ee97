// The about dialog (see about_dialog.h). Its two fonts belong to the dialog window (window
// properties), so two about dialogs of two sheets in one process keep their own.
#include "ui/pages/about_dialog.h"

#include <algorithm>
#include <iterator>

#include "core/common/common_routines.h"
#include "core/database/database.h"
#include "core/runtime/resource_module.h"
#include "core/system/sheet_host.h"
#include "platform/base/text.h"
#include "platform/comctl/propsheet.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/arithmetic.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/format.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/button_actions.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/pages/hidden_control.h"

namespace {

// Controls.
constexpr LONG kNoteText = 1761;
constexpr LONG kDocumentButton = 1353;
constexpr LONG kAboutText = 1213;
constexpr LONG kHeadingText = 1215;
constexpr LONG kHiddenControl = 3281;
constexpr LONG kOkButton = 1092;

constexpr SettingItemId kDocumentItem = 36877;

// Strings.
constexpr UINT kNoteString = 491;
constexpr UINT kVersionFormat = 490;
constexpr UINT kMakerNoteString = 444;
constexpr UINT kHeadingFaceString = 5182, kHeadingSizeString = 5183;
constexpr UINT kTextFaceString = 5185, kTextSizeString = 5186;

// Description database sections.
constexpr DWORD kModelSection = 31;
constexpr DWORD kCopyrightSection = 32;
constexpr DWORD kHeadingSection = 38;

constexpr LONG kPaintSlot = 18;
constexpr LONG kDestroySlot = 20;

// Where the dialog keeps its fonts.
constexpr WCHAR kHeadingFontProp[] = u"QvAboutHeadingFont";
constexpr WCHAR kTextFontProp[] = u"QvAboutTextFont";

// One of the dialog's fonts: its point size and weight when no string names them.
struct AboutFont {
  LPCWSTR property;
  int points;
  LONG weight;
  UINT faceString;
  UINT sizeString;
};
constexpr AboutFont kHeadingFont{kHeadingFontProp, 18, FW_BOLD, kHeadingFaceString, kHeadingSizeString};
constexpr AboutFont kTextFont{kTextFontProp, 9, FW_NORMAL, kTextFaceString, kTextSizeString};

// Character sets of the far-east code pages: a dialog font in one of them does not pass its set
// on, the fonts keep the default set.
constexpr BYTE kKeptCharSets[] = {128, 129, 134, 136};

// The row-0 callback: the note under the heading at each refresh of the popup.
INT_PTR ShowAboutNote(HandlerContext* context, UINT message, WPARAM, LPARAM lParam, const ControlRow*, const void*) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (message != WM_NOTIFY || header == nullptr || header->code != PSN_SETACTIVE) return 0;
  WCHAR note[129] = {};
  if (LoadStringW(GetResourceModule(), kNoteString, note, 128) > 0) SetDlgItemTextW(context->window, kNoteText, note);
  return 0;
}

const DWORD kDocument[] = {BoundItem(kDocumentItem, kRefreshOnFull | kRefreshOnChange)};
const LONG kDocumentTarget = kNoStringId;
const ButtonAction kOpenDocumentAction{kButtonOpenDocument, &kDocumentTarget};

const ControlRow kAboutRows[] = {
    {kNoteText, 0, nullptr, kKindStaticText, ShowAboutNote, nullptr, kNoControl, kNoString, nullptr},
    {kDocumentButton, 1, kDocument, kKindPushButton, nullptr, &kOpenDocumentAction, kNoControl, kNoString, nullptr},
};

const DWORD kAboutHelp[] = {kDocumentButton, 10000, kOkButton, 99010, 0};
constexpr LONG kAboutHelpId = 9999;

PageDescriptor kAboutDescriptor{kAboutRows, LONG(std::size(kAboutRows)), kAboutHelpId, kAboutHelp, nullptr, 0};

// The base font with the size, weight, character set and face the dialog wants; NULL when it
// cannot be made.
HFONT MakeAboutFont(HWND window, HDC dc, const AboutFont& wanted) {
  LOGFONTW font{};
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  font.lfHeight = -MulDiv(wanted.points, dpi, 72);
  font.lfWeight = wanted.weight;
  lstrcpynW(font.lfFaceName, u"Arial", LF_FACESIZE);
  LOGFONTW dialogFont{};
  const auto dialogHandle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  if (dialogHandle != nullptr && GetObjectW(dialogHandle, sizeof(dialogFont), &dialogFont) == sizeof(dialogFont) &&
      std::find(std::begin(kKeptCharSets), std::end(kKeptCharSets), dialogFont.lfCharSet) == std::end(kKeptCharSets))
    font.lfCharSet = dialogFont.lfCharSet;
  WCHAR text[257] = {};
  if (LoadStringW(GetResourceModule(), wanted.faceString, text, 256) > 0) lstrcpynW(font.lfFaceName, text, LF_FACESIZE);
  if (LoadStringW(GetResourceModule(), wanted.sizeString, text, 256) > 0)
    font.lfHeight = -MulDiv(WideToInt(text), dpi, 72);
  return CreateFontIndirectW(&font);
}

// The dialog's font for `wanted`, made at its first use; NULL when it cannot be made.
HFONT EnsureAboutFont(HWND window, HDC dc, const AboutFont& wanted) {
  auto font = static_cast<HFONT>(GetPropW(window, wanted.property));
  if (font != nullptr) return font;
  font = MakeAboutFont(window, dc, wanted);
  if (font != nullptr && !SetPropW(window, wanted.property, font)) {
    DeleteObject(font);
    return nullptr;
  }
  return font;
}

// Gives the control the font and the text.
void ShowAboutControl(HWND window, LONG control, HFONT font, LPCWSTR text) {
  SendDlgItemMessageW(window, control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SetDlgItemTextW(window, control, text);
}

// Slot 18: the heading and the about text with their fonts, at every paint.
INT_PTR PaintAboutTexts(HWND window, UINT, WPARAM, LPARAM, LONG, SlotContext* slot) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(window, &paint);
  ItemStore* store = slot->context->store;
  if (dc != nullptr && store != nullptr) {
    if (HFONT heading = EnsureAboutFont(window, dc, kHeadingFont)) {
      LPWSTR text = nullptr;
      if (ReadSectionString(store->main, kHeadingSection, 0, &text) == 0 && text != nullptr)
        ShowAboutControl(window, kHeadingText, heading, text);
      GlobalFree(text);
    }
    if (HFONT body = EnsureAboutFont(window, dc, kTextFont)) {
      LPWSTR text = nullptr;
      if (ComposeAboutText(window, store, &text) == 1) ShowAboutControl(window, kAboutText, body, text);
      GlobalFree(text);
    }
  }
  EndPaint(window, &paint);
  return 1;
}

// Slot 20: the dialog's fonts go with it.
INT_PTR FreeAboutFonts(HWND window, UINT, WPARAM, LPARAM, LONG, SlotContext*) {
  for (LPCWSTR property : {kHeadingFontProp, kTextFontProp})
    if (HANDLE font = RemovePropW(window, property)) DeleteObject(font);
  return 0;
}

// The database's build number: the low word of a 2.5.x version, the whole value otherwise.
LONG AboutBuildNumber(const DatabaseStream* stream) {
  const DWORD version = stream->packedVersion;
  if ((version >> 24) == 2 && ((version >> 16) & 0xFF) == 5) return LONG(version & 0xFFFF);
  return LONG(version);
}

}  // namespace

const DialogRecord kAboutDialog{kAboutDialogTemplate, AboutDialogProc, kAboutDialogPage, kNoString, 0, nullptr, 0};
const TabRecord kAboutDialogRecord{kAboutDialogPage, &kAboutDescriptor, nullptr};

INT_PTR AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The hidden control starts hidden and shows for its double-click.
  if (message == WM_INITDIALOG) HideDialogControl(window, kHiddenControl);
  RevealOnKeyedDoubleClick(window, kHiddenControl, message, wParam, lParam);
  SlotHandler handler = nullptr;
  LONG slot = -1;
  GetSlotHandler(message, wParam, lParam, kPopupDialog, &handler, &slot);
  OverrideSlotHandler(PaintAboutTexts, kPaintSlot, &handler, slot);
  OverrideSlotHandler(FreeAboutFonts, kDestroySlot, &handler, slot);
  return CallSlotHandler(window, message, wParam, lParam, kAboutDialogPage, kPopupDialog, handler);
}

int ComposeAboutText(HWND window, ItemStore* store, LPWSTR* text) {
  *text = nullptr;
  if (store == nullptr || store->main == nullptr) return 0;
  LPWSTR model = nullptr, version = nullptr, copyright = nullptr;
  WCHAR note[128] = {};
  int made = 0;
  if (ReadSectionString(store->main, kModelSection, 0, &model) == 0 && model != nullptr &&
      LoadStringFormat(window, &version, 128, kVersionFormat, {2, 5, 2, 1, AboutBuildNumber(store->main)}) == 1 &&
      LoadStringW(GetResourceModule(), kMakerNoteString, note, 127) > 0 &&
      ReadSectionString(store->main, kCopyrightSection, 0, &copyright) == 0 && copyright != nullptr) {
    // The printer-defaults sheet marks its version with a full stop.
    const SheetState* sheet = FindSheetState(window);
    const bool defaults = sheet != nullptr && DetectSheetHost(window, sheet->sheetType) == kSheetHostDefaults;
    const int length = lstrlenW(model) + lstrlenW(version) + lstrlenW(note) + lstrlenW(copyright) + 6;
    auto* composed = static_cast<LPWSTR>(GlobalAlloc(GPTR, sizeof(WCHAR) * SIZE_T(length)));
    if (composed != nullptr) {
      wsprintfW(composed, u"%s %s%s\n%s\n\n%s", model, version, defaults ? u"." : u"", note, copyright);
      *text = composed;
      made = 1;
    }
  }
  GlobalFree(model);
  GlobalFree(version);
  GlobalFree(copyright);
  return made;
}
