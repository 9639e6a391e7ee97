// The sample document's pages as drawing calls, and printing it through the engine host.
// Layout values are in 1/600 inch and scaled to the device's resolution.
#include "tools/demo/sample_document.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "core/store/item_access.h"
#include "items/item_ids.h"

namespace {

constexpr const char16_t* kSans = u"Arial";
constexpr const char16_t* kSerif = u"Times New Roman";
constexpr DWORD kOrientationPortrait = 1;
constexpr DWORD kOrientationLandscape = 2;
constexpr double kPi = 3.14159265358979323846;

constexpr COLORREF kInk = RGB(0x20, 0x20, 0x20);
constexpr COLORREF kNavy = RGB(0x1F, 0x3A, 0x68);
constexpr COLORREF kRule = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kBand = RGB(0xEC, 0xF0, 0xF6);
constexpr COLORREF kSeries[] = {RGB(0x2E, 0x75, 0xB6), RGB(0xED, 0x7D, 0x31), RGB(0x70, 0xAD, 0x47),
                                RGB(0xFF, 0xC0, 0x00), RGB(0x7F, 0x3F, 0x98)};

// Page layout in 1/600 inch, turned into device pixels at the page's resolution.
struct Layout {
  SIZEL area;  // device pixels
  LONG dpi;
  LONG operator()(double inch600) const { return static_cast<LONG>(std::lround(inch600 * dpi / 600.0)); }
  LONG Width() const { return static_cast<LONG>(std::lround(area.cx * 600.0 / dpi)); }
  LONG Height() const { return static_cast<LONG>(std::lround(area.cy * 600.0 / dpi)); }
};

constexpr LONG kMargin = 600;  // one inch

std::u16string Decimal(size_t n) {
  std::u16string text;
  for (char c : std::to_string(n)) text += static_cast<char16_t>(c);
  return text;
}

DrawCall TextAt(const Layout& u, std::u16string text, const char16_t* face, double em, double x, double y,
                bool bold = false, COLORREF colour = kInk, LONG escapement = 0) {
  DrawCall call;
  call.kind = DrawKind::TextOut;
  call.text.text = std::move(text);
  call.text.face = face;
  call.text.emHeight = u(em);
  call.text.origin = {u(x), u(y)};
  call.text.bold = bold;
  call.text.colour = colour;
  call.text.escapement = escapement;
  return call;
}

DrawCall Fill(DrawPath path, COLORREF colour) {
  DrawCall call;
  call.kind = DrawKind::FillPath;
  call.path = std::move(path);
  call.brush.kind = BrushKind::Solid;
  call.brush.colour = colour;
  return call;
}

DrawCall FillBox(const Layout& u, double left, double top, double right, double bottom, COLORREF colour) {
  return Fill(PathRectangle({u(left), u(top), u(right), u(bottom)}), colour);
}

// A line; pens of a pixel are cosmetic, wider ones geometric with flat ends. The document rules
// its tables with lines of 4/600 inch.
DrawCall Line(const Layout& u, double x0, double y0, double x1, double y1, double width, COLORREF colour) {
  DrawCall call;
  call.kind = DrawKind::StrokePath;
  PathMoveTo(call.path, static_cast<float>(u(x0)), static_cast<float>(u(y0)));
  PathLineTo(call.path, static_cast<float>(u(x1)), static_cast<float>(u(y1)));
  call.pen.colour = colour;
  call.pen.geometric = u(width) > 1;
  call.pen.width = static_cast<float>(std::max<LONG>(1, u(width)));
  return call;
}

DrawCall Outline(const Layout& u, double left, double top, double right, double bottom, double width, COLORREF colour) {
  DrawCall call;
  call.kind = DrawKind::StrokePath;
  call.path = PathRectangle({u(left), u(top), u(right), u(bottom)});
  call.pen.colour = colour;
  call.pen.geometric = u(width) > 1;
  call.pen.width = static_cast<float>(std::max<LONG>(1, u(width)));
  call.pen.join = JOIN_MITER;
  return call;
}

void Footer(const Layout& u, size_t index, std::vector<DrawCall>& calls) {
  const double y = u.Height() - kMargin / 2;
  calls.push_back(Line(u, kMargin, y - 90, u.Width() - kMargin, y - 90, 4, kRule));
  calls.push_back(TextAt(u, u"Harbour Lane Stationers  \u00B7  Page " + Decimal(index + 1),
                         kSans, 50, kMargin, y, false, kRule));
}

// Lines of body text from `top`, one after the other at `leading`; answers the next baseline.
double Paragraph(const Layout& u, std::initializer_list<const char16_t*> lines, double top, std::vector<DrawCall>& calls,
                 double em = 66, double leading = 96) {
  for (const char16_t* line : lines) {
    calls.push_back(TextAt(u, line, kSerif, em, kMargin, top));
    top += leading;
  }
  return top + leading / 2;
}

void Letterhead(const Layout& u, std::vector<DrawCall>& calls) {
  calls.push_back(FillBox(u, kMargin, 420, kMargin + 160, 580, kNavy));
  calls.push_back(Fill(PathEllipse({u(kMargin + 40), u(460), u(kMargin + 120), u(540)}), RGB(0xFF, 0xC0, 0x00)));
  calls.push_back(TextAt(u, u"Harbour Lane Stationers", kSans, 150, kMargin + 220, 560, true, kNavy));
  calls.push_back(Fill(PathRectangle({u(kMargin), u(640), u(u.Width() - kMargin), u(652)}), kNavy));
  calls.push_back(TextAt(u, u"14 Harbour Street \u00B7 Portsmouth PO1 3AX \u00B7 Telephone 023 9281 4400", kSans, 46,
                         kMargin, 730, false, kRule));
}

void LetterFirstPage(const Layout& u, std::vector<DrawCall>& calls) {
  Letterhead(u, calls);
  double y = 1000;
  for (const char16_t* line : {u"Ms Eleanor Holloway", u"Facilities Manager", u"Brightwater Engineering Ltd",
                               u"27 Canal Wharf", u"Leeds LS11 5PQ"}) {
    calls.push_back(TextAt(u, line, kSerif, 66, kMargin, y));
    y += 90;
  }
  calls.push_back(TextAt(u, u"12 March 2026", kSerif, 66, u.Width() - kMargin - 900, 1000));
  y += 150;
  calls.push_back(TextAt(u, u"Renewal of your service agreement", kSans, 92, kMargin, y, true, kNavy));
  y += 190;
  calls.push_back(TextAt(u, u"Dear Ms Holloway,", kSerif, 66, kMargin, y));
  y += 150;
  y = Paragraph(u,
                {u"Thank you for your letter of 2 March and for the time your team gave us during",
                 u"the site visit last week. We have reviewed the print volumes of your offices in",
                 u"Leeds and Bradford and set out below how we propose to renew the agreement",
                 u"that ends on 30 April."},
                y, calls);
  y = Paragraph(u,
                {u"Over the past year your devices printed a little over 1.2 million pages, two",
                 u"thirds of them in colour. The largest share came from the drawing office,",
                 u"where large plans are printed in booklets and posters. The new agreement keeps",
                 u"the same service hours and adds next-day replacement of consumables."},
                y, calls);
  calls.push_back(TextAt(u, u"What changes", kSans, 80, kMargin, y + 30, true, kNavy));
  y += 190;
  y = Paragraph(u,
                {u"The price per page falls by eight per cent for colour and by five per cent for",
                 u"black and white. Scanning to shared folders and to e-mail is included at no",
                 u"charge, and the two older devices on the second floor will be replaced by one",
                 u"faster machine with a stapling finisher. A detailed table follows on the next",
                 u"pages, together with the figures we based it on."},
                y, calls);
  calls.push_back(TextAt(u, u"Continued overleaf", kSerif, 56, u.Width() - kMargin - 700, y + 40, false, kRule));
}

void LetterSecondPage(const Layout& u, std::vector<DrawCall>& calls) {
  double y = 800;
  calls.push_back(TextAt(u, u"Service and support", kSans, 92, kMargin, y, true, kNavy));
  y += 170;
  y = Paragraph(u,
                {u"Our engineers will visit each office once a quarter to clean and adjust the",
                 u"devices. Faults reported before noon are attended to on the same working day;",
                 u"the devices report their own counters and supplies, so no one needs to read",
                 u"meters or order toner by hand."},
                y, calls);
  calls.push_back(TextAt(u, u"The agreement includes", kSans, 80, kMargin, y + 30, true, kNavy));
  y += 190;
  for (const char16_t* item : {u"all toner, drums and maintenance kits, delivered before they run out",
                               u"parts and labour for every fault, including the finishers",
                               u"a monthly report of pages printed per department",
                               u"training for new staff on scanning and secure printing"}) {
    calls.push_back(Fill(PathEllipse({u(kMargin + 40), u(y - 44), u(kMargin + 76), u(y - 8)}), kNavy));
    calls.push_back(TextAt(u, item, kSerif, 66, kMargin + 140, y));
    y += 100;
  }
  y += 80;
  y = Paragraph(u,
                {u"If these terms suit you, please sign and return the enclosed copy by 15 April",
                 u"so that the new devices can be installed over the Easter weekend. Do call me if",
                 u"anything in the proposal is unclear."},
                y, calls);
  calls.push_back(TextAt(u, u"Yours sincerely,", kSerif, 66, kMargin, y + 20));
  // The signature: one stroke of joined curves in blue ink.
  DrawCall signature;
  signature.kind = DrawKind::StrokePath;
  const double sx = kMargin + 40, sy = y + 300;
  PathMoveTo(signature.path, u(sx), u(sy));
  PathBezierTo(signature.path, {float(u(sx + 80)), float(u(sy - 220))}, {float(u(sx + 160)), float(u(sy - 200))},
               {float(u(sx + 180)), float(u(sy - 40))});
  PathBezierTo(signature.path, {float(u(sx + 200)), float(u(sy + 80))}, {float(u(sx + 300)), float(u(sy - 160))},
               {float(u(sx + 420)), float(u(sy - 60))});
  PathBezierTo(signature.path, {float(u(sx + 520)), float(u(sy + 20))}, {float(u(sx + 600)), float(u(sy - 120))},
               {float(u(sx + 760)), float(u(sy - 80))});
  signature.pen.colour = RGB(0x1A, 0x2E, 0x9C);
  signature.pen.geometric = true;
  signature.pen.width = static_cast<float>(std::max<LONG>(2, u(7)));
  signature.pen.join = JOIN_ROUND;
  signature.pen.cap = ENDCAP_ROUND;
  calls.push_back(signature);
  calls.push_back(TextAt(u, u"Daniel Okafor", kSerif, 66, kMargin, y + 460, true));
  calls.push_back(TextAt(u, u"Account Manager, Northern Region", kSerif, 66, kMargin, y + 550));
}

void PriceTable(const Layout& u, std::vector<DrawCall>& calls) {
  calls.push_back(TextAt(u, u"Proposed prices per site", kSans, 110, kMargin, 820, true, kNavy));
  calls.push_back(TextAt(u, u"Prices per thousand pages, excluding tax, for a term of three years.", kSerif, 60,
                         kMargin, 960, false, kRule));
  struct Row {
    const char16_t* cells[5];
  };
  static constexpr Row kRows[] = {
      {{u"Site", u"Devices", u"Mono pages", u"Colour pages", u"Monthly fee"}},
      {{u"Leeds, ground floor", u"3", u"41,200", u"18,400", u"612.00"}},
      {{u"Leeds, first floor", u"2", u"22,900", u"9,750", u"338.50"}},
      {{u"Leeds, drawing office", u"2", u"8,300", u"31,600", u"704.25"}},
      {{u"Leeds, second floor", u"1", u"12,100", u"4,200", u"176.80"}},
      {{u"Bradford, reception", u"1", u"6,400", u"1,900", u"88.10"}},
      {{u"Bradford, accounts", u"2", u"19,800", u"2,600", u"214.40"}},
      {{u"Bradford, warehouse", u"1", u"3,200", u"300", u"36.90"}},
      {{u"Bradford, sales", u"2", u"14,700", u"11,300", u"302.15"}},
      {{u"Wakefield, office", u"1", u"7,900", u"2,250", u"97.60"}},
      {{u"Wakefield, workshop", u"1", u"2,100", u"150", u"24.30"}},
      {{u"Halifax, branch", u"1", u"5,600", u"1,400", u"71.20"}},
      {{u"Total", u"17", u"144,200", u"83,850", u"2,666.20"}},
  };
  const double left = kMargin, right = u.Width() - kMargin, top = 1100, rowHeight = 150;
  const double columns[] = {left, left + 1150, left + 1650, left + 2250, left + 2900, right};
  const size_t rows = std::size(kRows);
  // Fills first: the header row, every second row, the totals row.
  calls.push_back(FillBox(u, left, top, right, top + rowHeight, kNavy));
  for (size_t r = 2; r + 1 < rows; r += 2)
    calls.push_back(FillBox(u, left, top + r * rowHeight, right, top + (r + 1) * rowHeight, kBand));
  calls.push_back(FillBox(u, left, top + (rows - 1) * rowHeight, right, top + rows * rowHeight, RGB(0xD9, 0xE2, 0xF3)));
  for (size_t r = 0; r < rows; ++r) {
    const bool header = r == 0, total = r + 1 == rows;
    for (size_t c = 0; c < 5; ++c)
      calls.push_back(TextAt(u, kRows[r].cells[c], kSans, 58, columns[c] + 40, top + r * rowHeight + 100,
                             header || total, header ? RGB(0xFF, 0xFF, 0xFF) : kInk));
  }
  // Rules: thin between rows and columns, heavier under the header and round the table.
  for (size_t r = 2; r < rows; ++r)
    calls.push_back(Line(u, left, top + r * rowHeight, right, top + r * rowHeight, 4, kRule));
  for (size_t c = 1; c < 5; ++c)
    calls.push_back(Line(u, columns[c], top + rowHeight, columns[c], top + rows * rowHeight, 4, kRule));
  calls.push_back(Line(u, left, top + (rows - 1) * rowHeight, right, top + (rows - 1) * rowHeight, 4, kNavy));
  calls.push_back(Outline(u, left, top, right, top + rows * rowHeight, 6, kNavy));
  const double notes = top + rows * rowHeight + 200;
  Paragraph(u,
            {u"Page counts are the averages of the last twelve months. Colour pages of the drawing",
             u"office include large-format plans counted as two pages each."},
            notes, calls, 58, 86);
}

// A wedge of a pie from angle a0 to a1 (radians, clockwise on the page from three o'clock),
// its arc as Beziers of at most a quarter turn each.
DrawPath Wedge(double cx, double cy, double r, double a0, double a1) {
  DrawPath path;
  PathMoveTo(path, static_cast<float>(cx), static_cast<float>(cy));
  PathLineTo(path, static_cast<float>(cx + r * std::cos(a0)), static_cast<float>(cy + r * std::sin(a0)));
  const int pieces = std::max(1, static_cast<int>(std::ceil((a1 - a0) / (kPi / 2))));
  const double step = (a1 - a0) / pieces, k = 4.0 / 3.0 * std::tan(step / 4);
  for (int i = 0; i < pieces; ++i) {
    const double s = a0 + i * step, e = s + step;
    auto at = [&](double a, double along) {
      return DrawPoint{static_cast<float>(cx + r * std::cos(a) - along * r * std::sin(a)),
                       static_cast<float>(cy + r * std::sin(a) + along * r * std::cos(a))};
    };
    PathBezierTo(path, at(s, k), at(e, -k), at(e, 0));
  }
  PathClose(path);
  return path;
}

void Chart(const Layout& u, std::vector<DrawCall>& calls) {
  calls.push_back(TextAt(u, u"Pages printed per quarter", kSans, 110, kMargin, 820, true, kNavy));
  // Bars of two series over four quarters, with a grid and axes.
  const double x0 = kMargin + 300, y0 = 3000, height = 1800, width = u.Width() - kMargin - x0;
  for (int g = 0; g <= 4; ++g) {
    const double y = y0 - g * height / 4;
    calls.push_back(Line(u, x0, y, x0 + width, y, 4, RGB(0xC8, 0xC8, 0xC8)));
    const char16_t* labels[] = {u"0", u"100k", u"200k", u"300k", u"400k"};
    calls.push_back(TextAt(u, labels[g], kSans, 48, kMargin + 60, y + 16, false, kRule));
  }
  calls.push_back(TextAt(u, u"Pages", kSans, 54, kMargin - 20, y0 - height / 2 + 100, false, kInk, 900));
  constexpr double kMono[] = {250, 280, 240, 310}, kColour[] = {120, 150, 170, 210};
  const char16_t* quarters[] = {u"Q1", u"Q2", u"Q3", u"Q4"};
  const double slot = width / 4;
  for (int q = 0; q < 4; ++q) {
    const double left = x0 + q * slot + slot * 0.18, bar = slot * 0.3;
    calls.push_back(FillBox(u, left, y0 - kMono[q] / 400 * height, left + bar, y0, kSeries[0]));
    calls.push_back(FillBox(u, left + bar, y0 - kColour[q] / 400 * height, left + 2 * bar, y0, kSeries[1]));
    calls.push_back(TextAt(u, quarters[q], kSans, 54, left + bar - 40, y0 + 90));
  }
  // The line of the year before, with round markers.
  constexpr double kLastYear[] = {300, 330, 290, 350};
  DrawCall trend;
  trend.kind = DrawKind::StrokePath;
  for (int q = 0; q < 4; ++q) {
    const float x = static_cast<float>(u(x0 + (q + 0.5) * slot)), y = static_cast<float>(u(y0 - kLastYear[q] / 400 * height));
    if (q == 0)
      PathMoveTo(trend.path, x, y);
    else
      PathLineTo(trend.path, x, y);
  }
  trend.pen.colour = kSeries[2];
  trend.pen.geometric = true;
  trend.pen.width = static_cast<float>(std::max<LONG>(2, u(12)));
  trend.pen.join = JOIN_ROUND;
  trend.pen.cap = ENDCAP_ROUND;
  calls.push_back(trend);
  for (int q = 0; q < 4; ++q) {
    const double x = x0 + (q + 0.5) * slot, y = y0 - kLastYear[q] / 400 * height;
    DrawCall marker = Fill(PathEllipse({u(x - 30), u(y - 30), u(x + 30), u(y + 30)}), RGB(0xFF, 0xFF, 0xFF));
    marker.kind = DrawKind::StrokeAndFillPath;
    marker.pen.colour = kSeries[2];
    marker.pen.geometric = true;
    marker.pen.width = static_cast<float>(std::max<LONG>(2, u(8)));
    calls.push_back(marker);
  }
  calls.push_back(Line(u, x0, y0, x0 + width, y0, 4, kInk));
  calls.push_back(Line(u, x0, y0, x0, y0 - height, 4, kInk));
  // Legend.
  const char16_t* names[] = {u"Black and white", u"Colour", u"Last year, both"};
  for (int i = 0; i < 3; ++i) {
    const double lx = x0 + i * 1100;
    calls.push_back(FillBox(u, lx, 3220, lx + 70, 3290, kSeries[i]));
    calls.push_back(TextAt(u, names[i], kSans, 54, lx + 110, 3285));
  }
  // A pie of the pages by department.
  calls.push_back(TextAt(u, u"Share of pages by department", kSans, 92, kMargin, 3700, true, kNavy));
  constexpr double kShares[] = {0.34, 0.22, 0.19, 0.15, 0.10};
  const char16_t* departments[] = {u"Drawing office", u"Accounts", u"Sales", u"Reception", u"Warehouse"};
  const double cx = kMargin + 900, cy = 4800, r = 800;
  double angle = -kPi / 2;
  for (int i = 0; i < 5; ++i) {
    const double sweep = kShares[i] * 2 * kPi;
    DrawPath wedge = Wedge(u(cx), u(cy), u(r), angle, angle + sweep);
    calls.push_back(Fill(wedge, kSeries[i]));
    DrawCall edge;
    edge.kind = DrawKind::StrokePath;
    edge.path = std::move(wedge);
    edge.pen.colour = RGB(0xFF, 0xFF, 0xFF);
    edge.pen.geometric = true;
    edge.pen.width = static_cast<float>(std::max<LONG>(2, u(6)));
    edge.pen.join = JOIN_ROUND;
    calls.push_back(edge);
    angle += sweep;
    const double ly = 4200 + i * 150;
    calls.push_back(FillBox(u, cx + r + 300, ly - 70, cx + r + 370, ly, kSeries[i]));
    std::u16string label = departments[i];
    label += u"  ";
    label += Decimal(static_cast<size_t>(std::lround(kShares[i] * 100))) + u" %";
    calls.push_back(TextAt(u, label, kSans, 58, cx + r + 420, ly));
  }
}

std::uint32_t NextNoise(std::uint32_t& seed) {
  seed = seed * 1664525u + 1013904223u;
  return seed >> 24;
}

// A landscape photograph made up of smooth shades and grain: a sky, a low sun, hills and a lake
// that mirrors them. Made once and kept.
const DrawImage& Photograph() {
  static const DrawImage image = [] {
    DrawImage img;
    img.width = 960;
    img.height = 640;
    img.format = BMF_24BPP;
    img.stride = (img.width * 3 + 3) / 4 * 4;
    img.bits.assign(static_cast<size_t>(img.stride) * img.height, 0);
    std::uint32_t seed = 12345;
    const double horizon = img.height * 0.62;
    auto ridge = [&](double x) {
      return horizon - 90 - 60 * std::sin(x / 110.0) - 35 * std::sin(x / 37.0 + 1.3) - 12 * std::sin(x / 9.0);
    };
    for (LONG y = 0; y < img.height; ++y) {
      BYTE* row = img.bits.data() + static_cast<size_t>(y) * img.stride;
      for (LONG x = 0; x < img.width; ++x) {
        // Above the lake the scene itself; below it the scene mirrored and darkened.
        const bool water = y > horizon;
        const double sy = water ? 2 * horizon - y : y;
        double r, g, b;
        const double t = sy / horizon;
        r = 70 + 170 * t;
        g = 120 + 110 * t;
        b = 200 + 40 * t;
        const double sun = std::hypot(x - 640.0, sy - 200.0);
        if (sun < 60) {
          r = 255, g = 240, b = 190;
        } else if (sun < 200) {
          const double glow = (200 - sun) / 140;
          r += (255 - r) * glow * 0.6, g += (220 - g) * glow * 0.5, b += (150 - b) * glow * 0.3;
        }
        if (sy > ridge(x)) {
          const double depth = (sy - ridge(x)) / 120;
          r = 40 + 30 * depth, g = 85 + 40 * std::min(1.0, depth), b = 50 + 10 * depth;
        }
        if (water) {
          r *= 0.7, g *= 0.75, b = b * 0.8 + 30;
          if (static_cast<LONG>(y + 4 * std::sin(x / 15.0)) % 9 == 0) r += 25, g += 25, b += 25;
        }
        const double grain = static_cast<double>(NextNoise(seed)) / 255.0 * 14 - 7;
        row[3 * x] = static_cast<BYTE>(std::clamp(b + grain, 0.0, 255.0));
        row[3 * x + 1] = static_cast<BYTE>(std::clamp(g + grain, 0.0, 255.0));
        row[3 * x + 2] = static_cast<BYTE>(std::clamp(r + grain, 0.0, 255.0));
      }
    }
    return img;
  }();
  return image;
}

void PhotoPage(const Layout& u, std::vector<DrawCall>& calls) {
  calls.push_back(TextAt(u, u"The new machine room at Canal Wharf", kSans, 110, kMargin, 820, true, kNavy));
  const double left = kMargin, right = u.Width() - kMargin, top = 1000;
  const double bottom = top + (right - left) * 640 / 960;
  DrawCall photo;
  photo.kind = DrawKind::StretchBlt;
  photo.image = Photograph();
  photo.source = {0, 0, photo.image.width, photo.image.height};
  photo.target = {u(left), u(top), u(right), u(bottom)};
  photo.stretchMode = COLORONCOLOR;
  calls.push_back(std::move(photo));
  calls.push_back(Outline(u, left, top, right, bottom, 4, kInk));
  Paragraph(u,
            {u"The view from the loading bay at dusk. The room beyond the lake holds the",
             u"central print server and the two production devices of the drawing office."},
            bottom + 160, calls, 60, 90);
}

void Schedule(const Layout& u, std::vector<DrawCall>& calls) {
  calls.push_back(TextAt(u, u"Installation schedule, April to September", kSans, 110, kMargin, 820, true, kNavy));
  const char16_t* months[] = {u"April", u"May", u"June", u"July", u"August", u"September"};
  struct Task {
    const char16_t* name;
    double start, end;  // in months from the start of April
    int series;
  };
  static constexpr Task kTasks[] = {
      {u"Survey of all sites", 0.0, 0.6, 0},       {u"Order devices and finishers", 0.4, 1.2, 0},
      {u"Network and print server", 0.9, 2.1, 1},  {u"Leeds installation", 1.5, 2.6, 2},
      {u"Bradford installation", 2.4, 3.4, 2},     {u"Wakefield and Halifax", 3.2, 4.0, 2},
      {u"Staff training", 2.0, 4.6, 3},            {u"Review and handover", 4.6, 6.0, 4},
  };
  const double names = kMargin, grid = kMargin + 1800, right = u.Width() - kMargin, top = 1000, rowHeight = 260;
  const double monthWidth = (right - grid) / 6;
  const double bottom = top + 180 + std::size(kTasks) * rowHeight;
  calls.push_back(FillBox(u, names, top, right, top + 180, kNavy));
  for (int m = 0; m < 6; ++m) {
    const double x = grid + m * monthWidth;
    if (m % 2 == 1) calls.push_back(FillBox(u, x, top + 180, x + monthWidth, bottom, kBand));
    calls.push_back(TextAt(u, months[m], kSans, 62, x + 40, top + 120, true, RGB(0xFF, 0xFF, 0xFF)));
    calls.push_back(Line(u, x, top, x, bottom, 4, kRule));
  }
  calls.push_back(TextAt(u, u"Task", kSans, 62, names + 40, top + 120, true, RGB(0xFF, 0xFF, 0xFF)));
  for (size_t i = 0; i < std::size(kTasks); ++i) {
    const Task& t = kTasks[i];
    const double y = top + 180 + i * rowHeight;
    calls.push_back(TextAt(u, t.name, kSerif, 64, names + 40, y + 165));
    calls.push_back(FillBox(u, grid + t.start * monthWidth, y + 60, grid + t.end * monthWidth, y + rowHeight - 60,
                            kSeries[t.series]));
    calls.push_back(Line(u, names, y + rowHeight, right, y + rowHeight, 4, RGB(0xC8, 0xC8, 0xC8)));
  }
  calls.push_back(Outline(u, names, top, right, bottom, 6, kNavy));
  calls.push_back(TextAt(u, u"Bars show the weeks each task runs; the shaded columns are alternate months.", kSerif,
                         56, names, bottom + 150, false, kRule));
}

constexpr struct {
  const char* name;
  PageOrientation orientation;
  void (*draw)(const Layout&, std::vector<DrawCall>&);
} kKinds[kSampleDocumentKinds] = {
    {"letter, first page", PageOrientation::Portrait, LetterFirstPage},
    {"letter, second page", PageOrientation::Portrait, LetterSecondPage},
    {"price table", PageOrientation::Portrait, PriceTable},
    {"schedule in landscape", PageOrientation::Landscape, Schedule},
    {"chart", PageOrientation::Portrait, Chart},
    {"photograph", PageOrientation::Portrait, PhotoPage},
};

}  // namespace

PageOrientation SampleDocumentOrientation(size_t index) { return kKinds[index % kSampleDocumentKinds].orientation; }

DocumentPage SampleDocumentPage(size_t index, SIZEL area, LONG dpi) {
  const auto& kind = kKinds[index % kSampleDocumentKinds];
  DocumentPage page{kind.name, kind.orientation, {}};
  const Layout layout{area, dpi > 0 ? dpi : 600};
  kind.draw(layout, page.calls);
  Footer(layout, index, page.calls);
  return page;
}

DocumentModes MakeDocumentModes(const SettingsRecord& settings, const PrinterConfiguration& config) {
  DocumentModes modes;
  for (DWORD orientation : {kOrientationPortrait, kOrientationLandscape}) {
    auto copy = std::make_unique<SettingsRecord>(settings);
    auto configCopy = std::make_unique<PrinterConfiguration>(config);
    SetItemNumberV(copy.get(), configCopy.get(), kItemOrientation, kTypeInt16, orientation);
    (orientation == kOrientationPortrait ? modes.portrait : modes.landscape)
        .assign(copy->bytes, copy->bytes + kSettingsRecordShortSize);
  }
  return modes;
}

DocumentPrintResult PrintSampleDocument(EngineDc* dc, const DocumentModes& modes, size_t pages, LPCWSTR title,
                                        const DocumentPageDone& pageDone) {
  DocumentPrintResult result;
  if (!EngineStartDoc(dc, title)) return result;
  PageOrientation current = PageOrientation::Portrait;
  bool ok = true;
  for (size_t i = 0; ok && i < pages; ++i) {
    const PageOrientation wanted = SampleDocumentOrientation(i);
    if (wanted != current) {
      const std::vector<BYTE>& mode = wanted == PageOrientation::Landscape ? modes.landscape : modes.portrait;
      ok = EngineResetDC(dc, reinterpret_cast<const DEVMODEW*>(mode.data()));
      current = wanted;
    }
    if (!ok || !EngineStartPage(dc)) {
      ok = false;
      break;
    }
    const GDIINFO* info = EngineDcGdiInfo(dc);
    const DocumentPage page = SampleDocumentPage(i, EngineDcSurface(dc)->sizlBitmap, static_cast<LONG>(info->ulLogPixelsX));
    for (const DrawCall& call : page.calls) (EngineDraw(dc, call) == TRUE ? result.taken : result.refused)++;
    ok = EngineEndPage(dc);
    if (pageDone) pageDone(i, page, dc);
  }
  if (!ok) {
    EngineAbortDoc(dc);
    return result;
  }
  result.printed = EngineEndDoc(dc);
  return result;
}
