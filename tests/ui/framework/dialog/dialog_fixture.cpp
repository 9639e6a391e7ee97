#include "tests/ui/framework/dialog/dialog_fixture.h"

#include <fstream>

#include "items/item_ids.h"
#include "tests/support/model_files.h"

#include "core/constraints/change_values.h"
#include "core/descriptors/item_defaults.h"
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "ui/framework/dialog/edit_kind.h"
#include "ui/framework/sheet/sheet_validation.h"

namespace dialog_test {
namespace {

DialogTest* current = nullptr;
SlotHandler overrideHandler = nullptr;
LONG overrideSlot = -1;

constexpr DWORD kBoth = kRefreshOnFull | kRefreshOnChange;
const DWORD kCollate[] = {BoundItem(kItemCollate, kBoth)};
const DWORD kColorMode[] = {BoundItem(kItemColorMode, kBoth)};
const DWORD kTonerSave[] = {BoundItem(kItemPrintMode, kBoth)};
const DWORD kDuplex[] = {BoundItem(kItemDuplex, kBoth)};
const DWORD kBrightness[] = {BoundItem(kItemColorTripleFirst, kBoth)};
const DWORD kColor[] = {BoundItem(kItemColor, kBoth)};
const DWORD kOrientation[] = {BoundItem(kItemOrientation, kBoth)};

const LONG kColorButtons[] = {kAutoColor, kGrayscale, kFullColor};
const RadioGroupData kColorGroupData{3, kColorButtons};
const ButtonAction kHelpAction{kButtonHelp, nullptr};
const StaticTextData kChoiceName{kStaticChoiceName, 0};
const ScrollBarData kScroll{0, 2};
const DWORD kUnscaled = 0;
const SpinEditData kSpin{&kUnscaled};
// The spin's buddy: a signed whole-number box of the edit kind.
const EditKindData kBrightnessEditData{kEditNumeric | kEditSigned, 8, nullptr, nullptr, kCheckAtKillFocus};
const EditKindData* const kBrightnessEditSlot = &kBrightnessEditData;
const TrackBarData kTrack{2, 1, 0};
const StaticTextData kStateOnly{kStaticStateOnly, 0};
const StaticTextData kResourceString{kStaticResourceString, 9000};
const PictureKindData kPicture{1, 1, 0, 0};
const WORD kFollowLabel = kRowLabelFollowsControl;

// The pages' own callback of their edit rows: the row shows its item's state.
INT_PTR EditStateRow(HandlerContext* context, UINT message, WPARAM, LPARAM lParam, const ControlRow* row,
                     const void*) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (message == WM_REFRESHCONTROLS || (message == WM_NOTIFY && header != nullptr && header->code == PSN_SETACTIVE)) {
    ApplyControlState(context->window, row, nullptr);
  }
  return 0;
}

std::vector<std::vector<WORD>> seenChanges;

// The General page's page-wide hook: it notes the changed items each refresh names.
INT_PTR RecordChanges(HandlerContext*, UINT message, WPARAM, LPARAM lParam, const ControlRow*, const void*) {
  if (message == WM_REFRESHCONTROLS) {
    std::vector<WORD> ids;
    for (const WORD* p = reinterpret_cast<const WORD*>(lParam); p != nullptr && *p != 0; ++p) ids.push_back(*p);
    seenChanges.push_back(ids);
  }
  return 0;
}

const LONG kTonerButtons[] = {kTonerOff, kTonerLight, kTonerStrong};
const RadioGroupData kTonerGroupData{3, kTonerButtons};

const ControlRow kGeneralRows[] = {
    {kCollateBox, 1, kCollate, kKindCheckBox, nullptr, nullptr, kNoControl, kNoString, nullptr},
    {kAutoColor, 1, kColorMode, kKindRadio, nullptr, &kColorGroupData, kColorLabel, kNoString, &kFollowLabel},
    {kGrayscale, 1, kColorMode, kKindRadio, nullptr, &kColorGroupData, kNoControl, kNoString, nullptr},
    {kFullColor, 1, kColorMode, kKindRadio, nullptr, &kColorGroupData, kNoControl, kNoString, nullptr},
    {kHelpButton, 1, kColor, kKindPushButton, nullptr, &kHelpAction, kNoControl, kNoString, nullptr},
    {kDuplexText, 1, kDuplex, kKindStaticText, nullptr, &kChoiceName, kDuplexLabel, kNoString, nullptr},
    {kTonerOff, 1, kTonerSave, kKindRadio, nullptr, &kTonerGroupData, kNoControl, kNoString, nullptr},
    {kTonerLight, 1, kTonerSave, kKindRadio, nullptr, &kTonerGroupData, kNoControl, kNoString, nullptr},
    {kTonerStrong, 1, kTonerSave, kKindRadio, nullptr, &kTonerGroupData, kNoControl, kNoString, nullptr},
    {kPortraitBox, 1, kOrientation, kKindCheckBox, nullptr, nullptr, kNoControl, kNoString, nullptr},
    {kNoControl, 0, nullptr, 0, RecordChanges, nullptr, kNoControl, kNoString, nullptr},
};
const ControlRow kQualityRows[] = {
    {kBrightnessBar, 1, kBrightness, kKindScrollBar, nullptr, &kScroll, kNoControl, kNoString, nullptr},
    {kBrightnessEdit, 1, kBrightness, kKindEdit, nullptr, &kBrightnessEditSlot, kNoControl, kNoString, nullptr},
    {kBrightnessSpin, 1, kBrightness, kKindSpinEdit, nullptr, &kSpin, kNoControl, kNoString, nullptr},
    {kBrightnessTrack, 1, kBrightness, kKindTrackBar, nullptr, &kTrack, kNoControl, kNoString, nullptr},
    {kTonerText, 1, kTonerSave, kKindStaticText, nullptr, &kStateOnly, kNoControl, kNoString, nullptr},
    {kTonerEdit, 1, kTonerSave, kKindEdit, EditStateRow, nullptr, kNoControl, kNoString, nullptr},
    {kResourceText, 0, nullptr, kKindStaticText, nullptr, &kResourceString, kNoControl, kNoString, nullptr},
    {kColorGroup, 1, kColor, kKindGroupButton, nullptr, nullptr, kNoControl, kNoString, nullptr},
    {kOrientationPicture, 1, kOrientation, kKindPicture, nullptr, &kPicture, kNoControl, kNoString, nullptr},
    {kDuplexPicture, 1, kDuplex, kKindPicture, nullptr, &kPicture, kNoControl, kNoString, nullptr},
};
const ControlRow kOptionsRows[] = {
    {kPopupCollate, 1, kCollate, kKindCheckBox, nullptr, nullptr, kNoControl, kNoString, nullptr},
};

const DWORD kGeneralHelp[] = {kCollateBox, 5001, kHelpButton, 5006, 0};
const DWORD kQualityHelp[] = {kBrightnessTrack, 5104, 0};
const LONG kGeneralNoPermission[] = {kHelpButton, kNoControl};

PageDescriptor kGeneral{kGeneralRows, LONG(std::size(kGeneralRows)), kGeneralHelpId, kGeneralHelp,
                        kGeneralNoPermission, 0};
PageDescriptor kQuality{kQualityRows, LONG(std::size(kQualityRows)), 4002, kQualityHelp, nullptr, 0};
PageDescriptor kOptions{kOptionsRows, LONG(std::size(kOptionsRows)), 4003, nullptr, nullptr, 0};

// The pages' dialog procedures: a thin shell over the dispatch.
template <LONG PageIndex, DialogKind Kind>
INT_PTR PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SlotHandler handler = nullptr;
  LONG slot = -1;
  if (!GetSlotHandler(message, wParam, lParam, Kind, &handler, &slot)) return 0;
  if (overrideHandler != nullptr) OverrideSlotHandler(overrideHandler, overrideSlot, &handler, slot);
  return CallSlotHandler(window, message, wParam, lParam, PageIndex, Kind, handler);
}

const DialogRecord kGeneralDialog{kGeneralTemplate, PageProc<kGeneralPage, kTabPage>, kGeneralPage, kNoString, 0,
                                  nullptr, 0};
const DialogRecord kQualityDialog{kQualityTemplate, PageProc<kQualityPage, kTabPage>, kQualityPage, kNoString, 0,
                                  nullptr, 0};
const TabRecord kGeneralTab{kGeneralPage, &kGeneral, &kGeneralDialog};
const TabRecord kQualityTab{kQualityPage, &kQuality, &kQualityDialog};
const TabRecord kOptionsTab{kOptionsPage, &kOptions, nullptr};
const TabRecord* const kTabs[] = {&kGeneralTab, &kQualityTab, &kOptionsTab};

// The page provider of the sheet, as a driver's export has one.
LONG Provider(PROPSHEETUI_INFO* info, LPARAM lParam) {
  DialogTest* test = current;
  switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT: {
      test->sheet_.sheetFunction = reinterpret_cast<void*>(info->pfnComPropSheet);
      test->sheet_.sheetHandle = info->hComPropSheet;
      const DialogRecord* dialogs[] = {&kGeneralDialog, &kQualityDialog};
      for (int i = 0; i < 2; ++i) {
        PROPSHEETPAGEW psp{};
        psp.dwSize = sizeof psp;
        psp.dwFlags = PSP_HASHELP;
        psp.hInstance = test->resources_;
        psp.pszTemplate = MAKEINTRESOURCEW(dialogs[i]->templateId);
        psp.pfnDlgProc = dialogs[i]->procedure;
        psp.lParam = reinterpret_cast<LPARAM>(test->data_);
        HPROPSHEETPAGE page = CreatePropertySheetPageW(&psp);
        test->pageHandles_[i] = reinterpret_cast<HANDLE>(
            info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_HPROPSHEETPAGE, reinterpret_cast<LPARAM>(page), 0));
      }
      test->sheet_.pageHandles = test->pageHandles_;
      return 1;
    }
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
      auto* header = reinterpret_cast<PROPSHEETUI_INFO_HEADER*>(lParam);
      header->Flags = PSUIHDRF_PROPTITLE;
      header->pTitle = const_cast<LPWSTR>(u"P1");
      header->hInst = test->resources_;
      return 1;
    }
    case PROPSHEETUI_REASON_SET_RESULT:
      ++test->setResults_;
      info->Result = ULONG_PTR(reinterpret_cast<SETRESULT_INFO*>(lParam)->Result);
      return 1;
    case PROPSHEETUI_REASON_DESTROY: return 1;
    default: return -1;
  }
}

}  // namespace

std::vector<std::vector<WORD>>& SeenChanges() { return seenChanges; }

namespace {

// The sample model with two additions the tests need: the orientation choices carry the
// portrait and landscape pictures, and landscape forces one-sided grayscale printing; a test's
// own edits follow.
std::u16string InstallTestModel(const std::vector<ModelTextEdit>& more) {
  const std::string last = "rule 14 watch=(271 = u16:1) msgword=0x405 message=\"Paper source check.\"\n"
                           "    when=[(270 = u16:1 end)]\n";
  std::vector<ModelTextEdit> edits{
      {"datablock 1 data=hex:5a01", "datablock 1 data=hex:0200"},
      {"datablock 2 data=hex:5b01", "datablock 2 data=hex:0300"},
      {"choice 2   name=\"Landscape\" value=i16:2 block=2", "choice 2   name=\"Landscape\" rules=[15] value=i16:2 block=2"},
      {"list 7   name=\"Orientation\" kind=1 default=1 choices=[1 2] block=1",
       "list 7   name=\"Orientation\" kind=1 default=1 choices=[1 2] block=1 rules=[15]"},
      {last, last + "rule 15 watch=(7 = i16:2) msgword=9 message=\"Landscape prints one side in grayscale.\"\n"
                    "    force=[(16 = i16:1) (270 = u16:1)]\n"},
  };
  edits.insert(edits.end(), more.begin(), more.end());
  return InstallSampleVariant(edits);
}

}  // namespace

const ControlRow* GeneralRows(LONG* count) {
  *count = LONG(std::size(kGeneralRows));
  return kGeneralRows;
}
const ControlRow* QualityRows(LONG* count) {
  *count = LONG(std::size(kQualityRows));
  return kQualityRows;
}
PageDescriptor* Page(LONG pageIndex) {
  return pageIndex == kGeneralPage ? &kGeneral : pageIndex == kQualityPage ? &kQuality : &kOptions;
}

void SetPageOverride(SlotHandler handler, LONG slot) {
  overrideHandler = handler;
  overrideSlot = slot;
}

HWND SheetPage(HWND sheet, int index) { return SimSheetPages(sheet).at(index).hwnd; }

void DialogTest::SetUp() {
  PrinterTest::SetUp();
  current = this;
  seenChanges.clear();
  kGeneral.rebuild = kQuality.rebuild = kOptions.rebuild = 0;
  SetPageOverride(nullptr, -1);
  OpenFramework(u"dialog_test_module.qrs", InstallTestModel(ModelEdits()), kTabs, LONG(std::size(kTabs)));
}

void DialogTest::TearDown() {
  current = nullptr;
  SetPageOverride(nullptr, -1);
  FrameworkTest::TearDown();
}

void DialogTest::RunOnGeneralPage(UINT message,
                                  const std::function<void(HWND sheet, HWND general, HandlerContext* context)>& body) {
  DWORD result = 0;
  RunSheet([&](HWND sheet) {
    HWND general = SheetPage(sheet, 0);
    HandlerContext context{};
    InitHandlerContext(&context, general, sheet, kGeneralPage, message, kTabPage);
    body(sheet, general, &context);
    GlobalFree(context.changedItems);
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

LONG DialogTest::RunSheet(SimDialogDriver driver, DWORD* result) {
  HMODULE compstui = LoadLibraryA("compstui.dll");
  auto run = reinterpret_cast<LONG (*)(HWND, PFNPROPSHEETUI, LPARAM, LPDWORD)>(
      GetProcAddress(compstui, "CommonPropertySheetUIW"));
  if (run == nullptr) return -1;
  SimOnDialog(std::move(driver));
  const LONG answer = run(nullptr, Provider, 0, result);
  FreeLibrary(compstui);
  return answer;
}

INT_PTR DialogTest::RunPopup(HWND owner, SimDialogDriver driver) {
  PageData* popup = CreatePageData(owner, &sheet_, &data_->current, nullptr);
  if (popup == nullptr) return -1;
  SimOnDialog(kOptionsTemplate, std::move(driver));
  const INT_PTR answer = DialogBoxParamW(resources_, MAKEINTRESOURCEW(kOptionsTemplate), owner,
                                         PageProc<kOptionsPage, kPopupDialog>, reinterpret_cast<LPARAM>(popup));
  DestroyPageData(&popup);
  return answer;
}

void DialogTest::WritePolicy(const std::string& text) {
  WCHAR directory[MAX_PATH];
  ASSERT_TRUE(GetModuleDirectory(directory, sizeof directory));
  std::u16string path = std::u16string(directory) + u"QX4500.cfg";
  std::ofstream(SimHostPath(path.c_str())) << text;
}

}  // namespace dialog_test
