// The overlays at the end of a page (document_events.h): the graphics module says in its
// page-end answer whether a stamp and the job information belong on the ending sheet, or on a
// sheet of their own at the end of the document; they are drawn into the device context with
// the stamp drawing, each bracketed by its overlay mode.
#include <cstring>
#include <memory>
#include <string>

#include "core/runtime/resource_module.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/engine/printer_dc.h"
#include "platform/kernel/resource.h"
#include "platform/user/format.h"
#include "ui/module/document_events.h"
#include "ui/module/driver_escapes.h"
#include "ui/module/job_items.h"
#include "ui/pages/stamp_drawing.h"

namespace {

constexpr UINT kPageSuffixString = 5145;
constexpr int kPageSuffixChars = 21;
constexpr DWORD kStampTextChars = 65;  // the stamp text field holds 64 characters
constexpr WCHAR kFieldSeparator[] = u" : ";

// Words of the page-end answer.
constexpr int kStampOnOwnPage = 0;
constexpr int kStampOnPage = 1;
constexpr int kJobInfoOnPage = 2;

struct Overlay {
  HANDLE printer;
  HDC dc;
  SettingsRecord* settings;
  const BYTE* answer;
};

LONG Item(const Overlay& o, SettingItemId id) { return JobNumber(o.settings, nullptr, id); }

// Sends an overlay mode; true when the graphics module took it.
bool SetOverlayMode(HDC dc, int escape, DWORD mode) {
  DWORD previous = 0;
  return SendDriverEscape(dc, escape, &mode, sizeof mode, &previous, sizeof previous);
}

int DrawStampOverlay(const Overlay& o) {
  WCHAR text[kStampTextChars] = {};
  ReadJobText(o.settings, nullptr, kItemStampText, text, kStampTextChars);
  // A stamp without text has nothing to lay out.
  if (text[0] == 0) return kEventDone;
  LOGFONTW font{};
  if (!ReadJobFont(o.settings, nullptr, kItemStampFont, &font)) return kEventFailed;
  if (!SetOverlayMode(o.dc, DRVESC_STAMPMODE, kOverlayBegin)) return kEventFailed;
  const bool repeat = Item(o, kItemStampRepeat) != 0;
  const int drawn = DrawStamp(o.printer, o.dc, o.answer, static_cast<WORD>(Item(o, kItemResolution)),
                              repeat ? 0 : static_cast<WORD>(Item(o, kItemStampPosition)), &font, text,
                              static_cast<COLORREF>(Item(o, kItemStampColor)),
                              static_cast<WORD>(Item(o, kItemStampFrame)), repeat ? 0 : 1);
  SetOverlayMode(o.dc, DRVESC_STAMPMODE, kOverlayEnd);
  return drawn;
}

// The text of a job-information field; the page number with its suffix.
std::u16string FieldText(const JobInfoBlock& info, int field, LPCWSTR pageSuffix) {
  switch (field) {
    case 0: return std::u16string(info.user, wcsnlen(info.user, std::size(info.user)));
    case 1: return std::u16string(info.owner, wcsnlen(info.owner, std::size(info.owner)));
    case 2: return std::u16string(info.document, wcsnlen(info.document, std::size(info.document)));
    case 3: {
      WCHAR page[16] = {};
      wsprintfW(page, u"%d", int{info.page});
      return std::u16string(page) + pageSuffix;
    }
    case 4: return std::u16string(info.date, wcsnlen(info.date, std::size(info.date)));
    default: return std::u16string(info.time, wcsnlen(info.time, std::size(info.time)));
  }
}

int DrawJobInfoOverlay(const Overlay& o) {
  JobInfoBlock info{};
  if (!SendDriverEscape(o.dc, DRVESC_GETJOBINFO, nullptr, 0, &info, sizeof info)) return kEventFailed;
  if (info.used == 0) return kEventDone;
  if (!SetOverlayMode(o.dc, DRVESC_JOBINFOMODE, kOverlayBegin)) return kEventFailed;
  LOGFONTW font{};
  const bool haveFont = ReadJobFont(o.settings, nullptr, kItemJobInfoFont, &font);
  const auto colour = static_cast<COLORREF>(Item(o, kItemJobInfoColor));
  const auto resolution = static_cast<WORD>(Item(o, kItemResolution));
  WCHAR suffix[kPageSuffixChars] = {};
  LoadStringW(GetResourceModule(), kPageSuffixString, suffix, kPageSuffixChars);
  constexpr int kOwnerField = 1;
  // With no field placed there is nothing to draw, which is no failure.
  int result = haveFont ? kEventDone : kEventFailed;
  for (int a = 0; a < kJobInfoFieldCount && result != kEventFailed; ++a) {
    const WORD position = info.positions[a];
    if (position == kNoJobInfoPosition) continue;
    std::u16string line = FieldText(info, a, suffix);
    for (int b = a + 1; b < kJobInfoFieldCount; ++b) {
      if (info.positions[b] != position) continue;
      info.positions[b] = kNoJobInfoPosition;
      const std::u16string text = FieldText(info, b, suffix);
      if (b == kOwnerField && text.empty()) continue;
      line += kFieldSeparator;
      line += text;
    }
    // An empty line (a name that did not fit its field) has nothing to lay out.
    if (!line.empty()) result = DrawStamp(o.printer, o.dc, o.answer, resolution, position, &font, line.c_str(), colour, 0, 0);
  }
  // The mode is always ended, so that a failed line does not leave the rest of the document
  // drawn as job information.
  SetOverlayMode(o.dc, DRVESC_JOBINFOMODE, kOverlayEnd);
  return result;
}

}  // namespace

int HandlePageEndEvent(HANDLE printer, HDC dc, bool endOfDocument) {
  if (dc == nullptr) return kEventFailed;
  const DWORD ending = endOfDocument ? 1 : 0;
  BYTE answer[kPageEndReplySize] = {};
  if (!SendDriverEscape(dc, DRVESC_PAGEEND, &ending, sizeof ending, answer, sizeof answer)) return kEventDone;
  DWORD words[3];
  std::memcpy(words, answer, sizeof words);
  if (words[kStampOnOwnPage] == 0 && words[kStampOnPage] == 0 && words[kJobInfoOnPage] == 0) return kEventDone;
  auto settings = std::make_unique<SettingsRecord>();
  if (!SendDriverEscape(dc, DRVESC_GETSETTINGS, nullptr, 0, settings.get(), sizeof(SettingsRecord))) return kEventDone;
  const Overlay overlay{printer, dc, settings.get(), answer};
  // Once an overlay failed the page reports it, whatever the later ones do.
  int result = kEventDone;
  auto keep = [&result](int drawn) {
    if (drawn == kEventFailed) result = kEventFailed;
  };
  bool added = false;
  if (words[kStampOnPage] != 0) keep(DrawStampOverlay(overlay));
  if (words[kStampOnOwnPage] != 0) {
    if (endOfDocument) added = StartPage(dc) > 0;
    keep(DrawStampOverlay(overlay));
  }
  if (words[kJobInfoOnPage] != 0) {
    if (endOfDocument && !added) added = StartPage(dc) > 0;
    keep(DrawJobInfoOverlay(overlay));
  }
  if (added) EndPage(dc);
  return result;
}
