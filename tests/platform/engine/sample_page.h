// A page with every kind of drawing call, at 100 dots per inch on A4: lines and Beziers, fills
// with solid, hatch and pattern brushes (one under a complex clip), text in two sizes, and
// 24-bit and 8-bit images copied, stretched and combined with a brush.
#pragma once

#include <vector>

#include "platform/engine/engine_drawing.h"

inline DrawImage GradientImage(LONG w, LONG h) {
  DrawImage img;
  img.width = w;
  img.height = h;
  img.format = BMF_24BPP;
  img.stride = ((w * 3 + 3) / 4) * 4;
  img.bits.assign(static_cast<size_t>(img.stride) * h, 0);
  for (LONG y = 0; y < h; ++y)
    for (LONG x = 0; x < w; ++x) {
      BYTE* p = img.bits.data() + y * img.stride + 3 * x;
      p[0] = static_cast<BYTE>(255 * y / h);        // blue
      p[1] = static_cast<BYTE>(255 * x / w);        // green
      p[2] = static_cast<BYTE>(255 - 255 * x / w);  // red
    }
  return img;
}

inline DrawImage CheckerImage() {
  DrawImage img;
  img.width = img.height = 8;
  img.format = BMF_8BPP;
  img.stride = 8;
  img.palette = {RGB(255, 255, 255), RGB(30, 60, 160)};
  for (LONG y = 0; y < 8; ++y)
    for (LONG x = 0; x < 8; ++x) img.bits.push_back(static_cast<BYTE>(((x / 2) + (y / 2)) % 2));
  return img;
}

inline std::vector<DrawCall> SamplePage() {
  std::vector<DrawCall> calls;
  DrawCall c;

  // Lines: a cosmetic zigzag and a thick dashed line.
  c = DrawCall{};
  c.kind = DrawKind::StrokePath;
  PathMoveTo(c.path, 60, 80);
  for (int i = 1; i <= 8; ++i) PathLineTo(c.path, 60.0f + 40 * i, i % 2 ? 130.0f : 80.0f);
  c.pen.colour = RGB(0, 0, 0);
  calls.push_back(c);
  c = DrawCall{};
  c.kind = DrawKind::StrokePath;
  PathMoveTo(c.path, 60, 170);
  PathLineTo(c.path, 420, 170);
  c.pen = {RGB(200, 0, 0), true, 6, JOIN_ROUND, ENDCAP_ROUND, {24, 12}};
  calls.push_back(c);

  // Beziers: an S curve and a closed blob.
  c = DrawCall{};
  c.kind = DrawKind::StrokePath;
  PathMoveTo(c.path, 460, 80);
  PathBezierTo(c.path, {560, 20}, {600, 220}, {760, 120});
  c.pen = {RGB(0, 110, 0), true, 4, JOIN_ROUND, ENDCAP_ROUND, {}};
  calls.push_back(c);
  c = DrawCall{};
  c.kind = DrawKind::StrokeAndFillPath;
  PathMoveTo(c.path, 480, 200);
  PathBezierTo(c.path, {560, 150}, {700, 200}, {720, 260});
  PathBezierTo(c.path, {700, 330}, {540, 330}, {480, 200});
  PathClose(c.path);
  c.pen = {RGB(0, 0, 120), true, 3, JOIN_MITER, ENDCAP_BUTT, {}};
  c.brush.kind = BrushKind::Solid;
  c.brush.colour = RGB(255, 210, 80);
  calls.push_back(c);

  // Fills under a complex clip: a star-shaped clip over a hatched ellipse and a solid square.
  DrawClip star;
  star.kind = ClipKind::Complex;
  PathMoveTo(star.path, 250, 330);
  PathLineTo(star.path, 300, 480);
  PathLineTo(star.path, 440, 480);
  PathLineTo(star.path, 330, 560);
  PathLineTo(star.path, 380, 700);
  PathLineTo(star.path, 250, 610);
  PathLineTo(star.path, 120, 700);
  PathLineTo(star.path, 170, 560);
  PathLineTo(star.path, 60, 480);
  PathLineTo(star.path, 200, 480);
  PathClose(star.path);
  c = DrawCall{};
  c.kind = DrawKind::FillPath;
  c.path = PathRectangle({60, 330, 440, 520});
  c.brush.kind = BrushKind::Solid;
  c.brush.colour = RGB(90, 170, 255);
  c.clip = star;
  calls.push_back(c);
  c = DrawCall{};
  c.kind = DrawKind::FillPath;
  c.path = PathEllipse({80, 500, 420, 720});
  c.brush.kind = BrushKind::Hatch;
  c.brush.hatch = HS_DIAGCROSS;
  c.brush.colour = RGB(160, 0, 160);
  c.clip = star;
  calls.push_back(c);

  // A rectangle filled with a pattern brush, under a rectangle clip.
  c = DrawCall{};
  c.kind = DrawKind::StrokeAndFillPath;
  c.path = PathRectangle({480, 360, 760, 520});
  c.brush.kind = BrushKind::Pattern;
  c.brush.pattern = CheckerImage();
  c.pen.colour = RGB(0, 0, 0);
  c.clip.kind = ClipKind::Rect;
  c.clip.rect = {470, 350, 700, 530};
  calls.push_back(c);

  // Text in two sizes; the long line is handed out in batches.
  c = DrawCall{};
  c.kind = DrawKind::TextOut;
  c.text.text = u"Qorvex";
  c.text.emHeight = 72;
  c.text.origin = {80, 830};
  c.text.colour = RGB(20, 20, 120);
  calls.push_back(c);
  c = DrawCall{};
  c.kind = DrawKind::TextOut;
  c.text.text = u"The quick brown fox jumps over the lazy dog.";
  c.text.emHeight = 20;
  c.text.origin = {80, 880};
  c.text.opaque = true;
  c.text.background = RGB(255, 255, 200);
  calls.push_back(c);

  // Images: a 24-bit gradient copied and stretched, an 8-bit checker stretched with a brush, and
  // a hatch pattern blt.
  c = DrawCall{};
  c.kind = DrawKind::CopyBits;
  c.image = GradientImage(160, 120);
  c.target = {80, 930, 240, 1050};
  c.source = {0, 0, 160, 120};
  calls.push_back(c);
  c = DrawCall{};
  c.kind = DrawKind::StretchBlt;
  c.image = GradientImage(160, 120);
  c.image.stride = -c.image.stride;  // handed to the driver bottom-up
  c.target = {280, 930, 520, 1110};
  c.source = {0, 0, 160, 120};
  calls.push_back(c);
  c = DrawCall{};
  c.kind = DrawKind::StretchBltROP;
  c.image = CheckerImage();
  c.target = {560, 930, 720, 1090};
  c.source = {0, 0, 8, 8};
  c.rop4 = 0x8888;  // source AND destination
  calls.push_back(c);
  c = DrawCall{};
  c.kind = DrawKind::BitBlt;
  c.target = {560, 600, 760, 760};
  c.rop4 = 0xF0F0;
  c.brush.kind = BrushKind::Hatch;
  c.brush.hatch = HS_CROSS;
  c.brush.colour = RGB(0, 140, 70);
  calls.push_back(c);
  return calls;
}
