// The scan dialog's read-outs: the scan area's width and length in the display unit and the
// size of the image the settings give.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "scanner/system_routines.h"
#include "scanner/ui/choice_tables.h"
#include "scanner/ui/number_text.h"
#include "scanner/ui/scan_dialog.h"
#include "scanner/ui/ui_text.h"
#include "scanner/ui/window_ids.h"

namespace {

constexpr UINT kTextMegabytes = 5110;
constexpr UINT kTextKilobytes = 5111;
constexpr double kMegabyte = 1048576.0;
constexpr int kNumberBytes = 32;

// Bits per pixel of a scan type code; 0 for the codes without an estimate (2, above 15).
int ScanTypeBits(WORD code) {
  switch (code) {
    case 0: case 1: case 3: return 1;
    case 4: case 8: case 9: case 10: case 11: return 24;
    case 7: return 48;
    case 5: case 6: case 12: case 13: case 14: case 15: return 8;
    default: return 0;
  }
}

// A length in the display unit: whole pixels, else two decimals; then the unit's
// abbreviation.
std::u16string LengthText(LONG length, const ScanSettings& s) {
  double value = 0;
  if (!DocumentUnitsTo(length, s.DisplayUnit, s.XResolution, &value)) value = 0;
  char number[kNumberBytes] = {};
  if (s.DisplayUnit == kUnitPixel)
    std::snprintf(number, sizeof number, "%ld", static_cast<long>(value));
  else
    FormatDecimal(number, sizeof number, value, 2);
  std::u16string text = WidenUiText(number);
  for (const ChoiceRow* row = kUnitTable; row->Value != kEndOfChoices; ++row)
    if (row->Value == s.DisplayUnit) text += LoadUiText(row->BitmapId);
  return text;
}

}  // namespace

void ShowAreaDimensions(HWND dialog, const ScanSettings& s) {
  const RECT& a = s.ScanArea;
  SetDlgItemTextW(dialog, kIdWidthReadout, W(LengthText(std::labs(a.right - a.left), s)));
  SetDlgItemTextW(dialog, kIdLengthReadout, W(LengthText(std::labs(a.bottom - a.top), s)));
  char size[kSizeTextChars] = {};
  SendMessageW(dialog, SDM_GETSIZETEXT, 0, reinterpret_cast<LPARAM>(size));
  SetDlgItemTextW(dialog, kIdSizeReadout, W(WidenUiText(size)));
}

void EstimateImageSize(const ScanSettings& s, LPSTR text, int size) {
  if (text == nullptr || size <= 0) return;
  text[0] = '\0';
  const int bits = ScanTypeBits(s.ScanTypeCode);
  if (bits == 0) return;
  const double resolution = static_cast<double>(s.XResolution) * s.ScalePercent / 100.0;
  const double width = std::labs(s.ScanArea.right - s.ScanArea.left);
  const double length = std::labs(s.ScanArea.bottom - s.ScanArea.top);
  const bool turned = s.Rotation == 1 || s.Rotation == 2;
  const double pixels = (turned ? length : width) * resolution / 1200.0;
  const double lines = (turned ? width : length) * resolution / 1200.0;
  const double bytes = std::floor((pixels * bits + 31) / 32) * 4 * lines;
  const bool megabytes = bytes >= kMegabyte;
  char number[kNumberBytes] = {};
  FormatDecimal(number, sizeof number, megabytes ? bytes / kMegabyte : bytes / 1024.0, 1);
  char format[kNumberBytes] = {};
  LoadLocalizedString(g_Instance, megabytes ? kTextMegabytes : kTextKilobytes, format, sizeof format);
  // The format holds one "%s" for the number.
  std::string out;
  for (const char* f = format; *f != '\0'; ++f) {
    if (f[0] == '%' && f[1] == 's') {
      out += number;
      ++f;
    } else {
      out += *f;
    }
  }
  std::snprintf(text, static_cast<size_t>(size), "%s", out.c_str());
}
