// The demo's application-style printing (app_printing.h): the document an application prints
// with GDI calls on a printer DC, a "CONFIDENTIAL" stamp and the job information in its
// settings, so that the user-interface module draws them at each page end.
#include "tools/demo/app_printing.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/descriptors/item_defaults.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/engine/engine_sim.h"
#include "platform/engine/printer_dc.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/platform.h"
#include "platform/spooler/spooler_sim.h"
#include "tools/demo/spool_pages.h"

namespace {

constexpr const WCHAR* kPrinter = u"QX-4500 (application)";

// Settings of the document: a stamp (name, text, colour, boxed, bold and turned, centred) and
// the job information's user and date at the bottom of each sheet.
void SetItem(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, ValueTypeCode type, DWORD value) {
  const DWORD size = type == kTypeInt16 || type == kTypeUInt16 ? 2 : type == kTypeUInt8 ? 1 : 4;
  SetItemValue(id, settings, config, type, size, &value);
}

void SetText(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LPCWSTR text) {
  SetItemValue(id, settings, config, kTypeString, static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(WCHAR)), &text);
}

void DrawDocumentPage(HDC dc, int page) {
  LOGFONTW font{};
  font.lfHeight = -150;
  font.lfWeight = 700;
  lstrcpynW(font.lfFaceName, u"Arial", LF_FACESIZE);
  HFONT heading = CreateFontIndirectW(&font);
  font.lfHeight = -60;
  font.lfWeight = 400;
  HFONT body = CreateFontIndirectW(&font);
  HGDIOBJ oldFont = SelectObject(dc, heading);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0x10, 0x30, 0x70));
  const std::u16string title = page == 0 ? u"Quarterly report" : u"Regional figures";
  TextOutW(dc, 400, 400, title.c_str(), static_cast<int>(title.size()));
  SelectObject(dc, body);
  SetTextColor(dc, RGB(0, 0, 0));
  const std::u16string line = u"Printed by an application through CreateDCW, StartDocW and both printer modules.";
  TextOutW(dc, 400, 700, line.c_str(), static_cast<int>(line.size()));
  HPEN rule = CreatePen(PS_SOLID, 10, RGB(0xC0, 0x20, 0x20));
  HGDIOBJ oldPen = SelectObject(dc, rule);
  MoveToEx(dc, 400, 850, nullptr);
  LineTo(dc, 4400, 850);
  // A bar chart: filled rectangles on a polyline axis.
  const COLORREF colours[4] = {RGB(0x33, 0x66, 0xCC), RGB(0x33, 0x99, 0x55), RGB(0xDD, 0x88, 0x22), RGB(0x99, 0x33, 0x99)};
  HGDIOBJ oldBrush = nullptr;
  for (int i = 0; i < 4; ++i) {
    HBRUSH brush = CreateSolidBrush(colours[i]);
    HGDIOBJ previous = SelectObject(dc, brush);
    if (oldBrush == nullptr) oldBrush = previous;
    const int height = 600 + 300 * ((i + page) % 4);
    Rectangle(dc, 600 + 500 * i, 3000 - height, 1000 + 500 * i, 3000);
    SelectObject(dc, previous);
    DeleteObject(brush);
  }
  const POINT axis[3] = {{500, 1200}, {500, 3000}, {2700, 3000}};
  Polyline(dc, axis, 3);
  HBRUSH pie = CreateSolidBrush(RGB(0xEE, 0xCC, 0x33));
  SelectObject(dc, pie);
  Ellipse(dc, 3000, 1500, 4200, 2700);
  const POINT arrow[3] = {{3000, 3300}, {4200, 3300}, {3600, 3800}};
  Polygon(dc, arrow, 3);
  // A small picture: 8 x 8 pixels of colour squares, stretched.
  std::vector<BYTE> bits(8 * 8 * 3);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      BYTE* p = bits.data() + (y * 8 + x) * 3;
      p[0] = static_cast<BYTE>(x * 32);
      p[1] = static_cast<BYTE>(y * 32);
      p[2] = static_cast<BYTE>(((x + y) % 2) * 255);
    }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 8;
  info.bmiHeader.biHeight = 8;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  StretchDIBits(dc, 600, 3400, 800, 800, 0, 0, 8, 8, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(heading);
  DeleteObject(body);
  DeleteObject(rule);
  DeleteObject(pie);
}

}  // namespace

void PrintFromApplication(const std::filesystem::path& outputDirectory) {
  std::printf("\nPrinting a two-page document as an application does (CreateDCW on \"%s\", both modules):\n",
              Utf16ToUtf8(kPrinter).c_str());
  const std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
  ItemStore* store = OpenItemStoreAtPath(path.c_str());
  auto* settings = new SettingsRecord{};
  auto* config = new PrinterConfiguration{};
  SimPrinterSetup setup;
  setup.name = kPrinter;
  setup.dataFile = u"QX4500.DDD";
  HDC dc = nullptr;
  if (store != nullptr && ApplyDataFileDefaults(store, settings, config, kPrinter)) {
    // An installed printer has the model's defaults as its own devmode.
    setup.devMode.assign(settings->bytes, settings->bytes + kSettingsRecordShortSize);
    SetText(settings, config, kItemStampName, u"Confidential");
    SetText(settings, config, kItemStampText, u"CONFIDENTIAL");
    SetItem(settings, config, kItemStampColor, kTypeUInt32, RGB(0xD0, 0x40, 0x40));
    SetItem(settings, config, kItemStampFrame, kTypeUInt8, 1);  // in a box
    SetItem(settings, config, kItemStampPosition, kTypeUInt16, 0x202);
    SetItem(settings, config, kItemStampFontSize, kTypeFontField, 40);     // 40 points
    SetItem(settings, config, kItemStampFontWeight, kTypeFontField, 700);  // bold
    SetItem(settings, config, kItemStampEscapement, kTypeFontField, 300);  // turned 30 degrees
    SetItem(settings, config, kItemJobInfoUser, kTypeUInt8, 1);
    SetItem(settings, config, kItemJobInfoDate, kTypeUInt8, 1);
    SetItem(settings, config, kItemJobInfoUserPosition, kTypeUInt16, 0x103);  // the user's name at the bottom left
    SetItem(settings, config, kItemJobInfoDatePosition, kTypeUInt16, 0x303);  // the date at the bottom right
    SetItem(settings, config, kItemJobInfoFontSize, kTypeFontField, 10);      // the job information in 10 points
    if (SimAddPrinter(setup)) dc = CreateDCW(nullptr, kPrinter, nullptr, reinterpret_cast<const DEVMODEW*>(settings->bytes));
  }
  if (dc == nullptr) {
    std::printf("  the printer's device context could not be made (error %u)\n", GetLastError());
  } else {
    DOCINFOW doc{sizeof(DOCINFOW), u"Application document", nullptr, nullptr, 0};
    bool printed = StartDocW(dc, &doc) > 0;
    for (int page = 0; printed && page < 2; ++page) {
      printed = StartPage(dc) > 0;
      if (printed) DrawDocumentPage(dc, page);
      printed = printed && EndPage(dc) > 0;
    }
    printed = printed && EndDoc(dc) > 0;
    std::printf("  document %s; document events sent to qorvexui.dll: %zu, escapes it sent to qorvexgr.dll: %zu\n",
                printed ? "printed" : "failed", SimDocumentEvents().size(), SimPrinterEscapes().size());
    DeleteDC(dc);
    SaveLastSpoolJob(outputDirectory, "app-document.spl", "app-page-");
  }
  if (store != nullptr) CloseItemStore(store);
  delete settings;
  delete config;
}
