// The drawing entry points through the engine host: each application drawing call on a page of
// a printed document, and the drawing-library calls it becomes (blts as rectangles, pattern
// fills, images or image masks, or handed back to the engine; paths as ellipses, rectangles or
// general paths; clips sent only when they change).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "items/item_ids.h"
#include "outside/qvcolor/qvcolor_sim.h"
#include "platform/kernel/kernel_sim.h"
#include "items/item_ids.h"
#include "tests/graphics/ddi/document_fixture.h"

namespace {

// A bitmap of w x h pixels of the format, every byte `fill`, with a palette of black and white
// (and grey entries up to 256).
DrawImage Bitmap(ULONG format, LONG w, LONG h, BYTE fill) {
  DrawImage image;
  image.width = w;
  image.height = h;
  image.format = format;
  const LONG bits = format == BMF_1BPP ? 1 : format == BMF_4BPP ? 4 : format == BMF_8BPP ? 8 : format == BMF_16BPP ? 16 : format == BMF_24BPP ? 24 : 32;
  image.stride = ((w * bits + 31) / 32) * 4;
  image.bits.assign(static_cast<size_t>(image.stride * h), fill);
  if (bits <= 8) {
    const int entries = 1 << bits;
    for (int i = 0; i < entries; ++i) image.palette.push_back(i == 0 ? 0x000000 : i == 1 ? 0xFFFFFF : RGB(i, 255 - i, 40));
  }
  return image;
}

// The value of `name=` in a trace line, up to the next blank, comma or closing bracket.
std::string Field(const std::string& line, const std::string& name) {
  const size_t at = line.find_first_of(" ({", 0) == std::string::npos ? std::string::npos : line.find(name + "=");
  if (at == std::string::npos) return "";
  const size_t start = at + name.size() + 1;
  return line.substr(start, line.find_first_of(" ,)}", start) - start);
}

DrawCall Blt(DrawKind kind, ROP4 rop, RECTL target) {
  DrawCall call;
  call.kind = kind;
  call.rop4 = rop;
  call.target = target;
  call.source = {0, 0, target.right - target.left, target.bottom - target.top};
  call.image = Bitmap(BMF_24BPP, call.source.right, call.source.bottom, 0x40);
  return call;
}

DrawCall Fill(DrawPath path, ClipKind clipKind = ClipKind::Trivial, RECTL clipRect = {}) {
  DrawCall call;
  call.kind = DrawKind::FillPath;
  call.path = std::move(path);
  call.brush.kind = BrushKind::Solid;
  call.brush.colour = RGB(200, 30, 30);
  call.clip.kind = clipKind;
  call.clip.rect = clipRect;
  return call;
}

DrawCall Stroke(DrawPath path, DrawPen pen) {
  DrawCall call;
  call.kind = DrawKind::StrokePath;
  call.path = std::move(path);
  call.pen = std::move(pen);
  call.brush.kind = BrushKind::Solid;
  return call;
}

class DrawingCallsTest : public DocumentTest {
 protected:
  // Prints one page with the calls; the library calls between the page's start and end, and
  // the driver's answers.
  std::vector<std::string> PrintPage(const std::vector<DrawCall>& calls, std::vector<LONG>* answers = nullptr) {
    EngineDc* dc = CreateDc();
    EXPECT_NE(dc, nullptr);
    EXPECT_TRUE(EngineStartDoc(dc, u"Drawing"));
    EXPECT_TRUE(EngineStartPage(dc));
    const size_t before = Lines().size();
    SimEngineLogReset();
    for (const DrawCall& call : calls) {
      const LONG answer = EngineDraw(dc, call);
      if (answers != nullptr) answers->push_back(answer);
    }
    pageLines_ = Lines();
    pageLines_.erase(pageLines_.begin(), pageLines_.begin() + static_cast<std::ptrdiff_t>(before));
    engineCalls_ = SimEngineCallNames(SimEngineCallKind::Callback);
    EXPECT_TRUE(EngineEndPage(dc));
    EXPECT_TRUE(EngineEndDoc(dc));
    std::vector<std::string> names;
    for (const std::string& line : pageLines_) {
      const size_t paren = line.find('(');
      if (line.rfind("VR_", 0) == 0 && paren != std::string::npos) names.push_back(line.substr(0, paren));
    }
    return names;
  }

  // The page's trace lines of one library call.
  std::vector<std::string> PageLines(const std::string& name) const {
    std::vector<std::string> lines;
    for (const std::string& line : pageLines_)
      if (line.rfind(name + "(", 0) == 0) lines.push_back(line);
    return lines;
  }

  static int Count(const std::vector<std::string>& names, const std::string& name) {
    return static_cast<int>(std::count(names.begin(), names.end(), name));
  }

  std::vector<std::string> pageLines_;
  std::vector<std::string> engineCalls_;
};

TEST_F(DrawingCallsTest, BltRopsTakeTheirRoads) {
  struct Case {
    const char* name;
    ROP4 rop;
    BrushKind brush;
    const char* draws;  // the drawing call expected, or "" for none
    bool punted;
  };
  const Case cases[] = {
      {"black fill", 0x0000, BrushKind::None, "VR_DrawRectangle", false},
      {"white fill", 0xFFFF, BrushKind::None, "VR_DrawRectangle", false},
      {"no operation", 0xAAAA, BrushKind::None, "", false},
      {"pattern copy", 0xF0F0, BrushKind::Hatch, "VR_DrawRectangle", false},
      {"invert destination", 0x5555, BrushKind::None, "VR_DrawRectangle", false},
      {"pattern xor", 0x5A5A, BrushKind::Solid, "VR_DrawRectangle", false},
      {"source copy", 0xCCCC, BrushKind::None, "VR_DrawImage", false},
      {"source xor", 0x6666, BrushKind::None, "VR_DrawImage", false},
      {"source and pattern", 0xC0C0, BrushKind::Solid, "VR_DrawImage", false},
      {"mixed bytes", 0xCC66, BrushKind::None, "", true},
      {"pattern where masked without a mask", 0xAAF0, BrushKind::Solid, "VR_DrawRectangle", false},
      {"source where masked with a brush", 0xCCAA, BrushKind::Solid, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DrawCall call = Blt(DrawKind::BitBlt, c.rop, {100, 120, 180, 170});
    call.brush.kind = c.brush;
    call.brush.colour = RGB(10, 20, 200);
    std::vector<LONG> answers;
    const std::vector<std::string> names = PrintPage({call}, &answers);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0], TRUE);
    const std::vector<std::string> drawing = {"VR_DrawRectangle", "VR_DrawImage", "VR_DrawImageMask"};
    for (const std::string& d : drawing) EXPECT_EQ(Count(names, d), d == c.draws ? 1 : 0) << d;
    EXPECT_EQ(std::count(engineCalls_.begin(), engineCalls_.end(), "EngBitBlt"), c.punted ? 1 : 0);
  }
}

// Every pattern-and-destination ROP is one brush fill of the target rectangle.
TEST_F(DrawingCallsTest, EveryPatternRopIsABrushFill) {
  for (ROP4 rop : {0x0505, 0x0A0A, 0x0F0F, 0x5050, 0x5555, 0x5A5A, 0x5F5F, 0xA0A0, 0xA5A5, 0xAFAF, 0xF0F0, 0xF5F5,
                   0xFAFA}) {
    SCOPED_TRACE(rop);
    DrawCall call = Blt(DrawKind::BitBlt, rop, {30, 40, 90, 70});
    call.brush.kind = BrushKind::Hatch;
    call.brush.colour = RGB(0, 128, 0);
    const std::vector<std::string> names = PrintPage({call});
    EXPECT_EQ(Count(names, "VR_DrawRectangle"), 1);
    EXPECT_EQ(Count(names, "VR_DrawImage"), 0);
    ASSERT_FALSE(PageLines("VR_SetRopMode").empty());
  }
}

// A ROP whose two bytes differ goes back to the engine with the caller's arguments.
TEST_F(DrawingCallsTest, PuntsReachTheEngineUnchanged) {
  for (DrawKind kind : {DrawKind::BitBlt, DrawKind::StretchBltROP}) {
    DrawCall call = Blt(kind, 0x66CC, {100, 120, 180, 170});
    call.clip.kind = ClipKind::Rect;
    call.clip.rect = {0, 0, 150, 150};
    PrintPage({call});
    const char* engine = kind == DrawKind::BitBlt ? "EngBitBlt" : "EngStretchBltROP";
    const char* driver = kind == DrawKind::BitBlt ? "DrvBitBlt" : "DrvStretchBltROP";
    std::string driverArgs, engineArgs;
    for (const SimEngineCall& entry : SimEngineLog()) {
      if (entry.name == driver) driverArgs = entry.args;
      if (entry.name == engine) engineArgs = entry.args;
    }
    ASSERT_FALSE(engineArgs.empty()) << engine;
    const auto field = [](const std::string& args, const std::string& key) {
      const size_t at = args.find(key + "=");
      return at == std::string::npos ? std::string() : args.substr(at, args.find(' ', at) - at);
    };
    EXPECT_EQ(field(engineArgs, "rop4"), "rop4=0x66CC");
    EXPECT_EQ(field(engineArgs, "rect"), "rect=(100,120,180,170)");
    EXPECT_EQ(field(engineArgs, "src").substr(4), field(driverArgs, "source").substr(7));
    EXPECT_EQ(field(engineArgs, "clip"), field(driverArgs, "clip"));
  }
}

// A negative source origin shrinks the image to the part inside the bitmap.
TEST_F(DrawingCallsTest, NegativeSourceOriginShrinksTheImage) {
  DrawCall call = Blt(DrawKind::StretchBlt, 0xCCCC, {0, 0, 40, 20});
  call.image = Bitmap(BMF_24BPP, 40, 20, 0x11);
  call.source = {-8, -4, 32, 16};
  std::vector<LONG> answers;
  PrintPage({call}, &answers);
  EXPECT_EQ(answers[0], TRUE);
  const std::vector<std::string> images = PageLines("VR_DrawImage");
  ASSERT_EQ(images.size(), 1u);
  EXPECT_NE(images[0].find("w=32, h=16"), std::string::npos) << images[0];
  EXPECT_NE(images[0].find("len=1536"), std::string::npos) << images[0];  // 32 x 3 bytes x 16 rows
}

TEST_F(DrawingCallsTest, EveryDepthBecomesOneImage) {
  struct Case {
    ULONG format;
    const char* colourFormat;  // in the image header's trace
  };
  const Case cases[] = {{BMF_1BPP, "format=11"}, {BMF_4BPP, "format=11"}, {BMF_8BPP, "format=11"},
                        {BMF_16BPP, "format=4"}, {BMF_24BPP, "format=4"}, {BMF_32BPP, "format=4"}};
  for (const Case& c : cases) {
    for (LONG originX : {0, 3}) {
      SCOPED_TRACE(std::to_string(c.format) + " origin " + std::to_string(originX));
      DrawCall call = Blt(DrawKind::CopyBits, 0xCCCC, {50, 60, 90, 80});
      call.image = Bitmap(c.format, 48, 20, 0x5A);
      call.source = {originX, 0, originX + 40, 20};
      std::vector<LONG> answers;
      const std::vector<std::string> names = PrintPage({call}, &answers);
      EXPECT_EQ(answers[0], TRUE);
      ASSERT_EQ(Count(names, "VR_DrawImage"), 1);
      const std::string header = PageLines("VR_DrawImage")[0];
      EXPECT_NE(header.find(c.colourFormat), std::string::npos) << header;
    }
  }
}

TEST_F(DrawingCallsTest, TextLikeSourceBecomesAMaskInTheBrushColour) {
  struct Case {
    const char* name;
    ULONG format;
    BYTE fill;  // every byte of the bitmap
    ROP4 rop;
    bool mask;
  };
  const Case cases[] = {
      {"1-bit, paint", BMF_1BPP, 0xF0, 0xB8B8, true},
      {"1-bit, merge", BMF_1BPP, 0x0F, 0xE2E2, true},
      {"8-bit black and white", BMF_8BPP, 0x01, 0xB8B8, true},
      {"8-bit coloured", BMF_8BPP, 0x07, 0xB8B8, false},
      {"24-bit white", BMF_24BPP, 0xFF, 0xE2E2, true},
      {"1-bit copied", BMF_1BPP, 0xF0, 0xCCCC, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DrawCall call = Blt(DrawKind::BitBlt, c.rop, {10, 10, 42, 26});
    call.image = Bitmap(c.format, 32, 16, c.fill);
    call.brush.kind = BrushKind::Solid;
    call.brush.colour = RGB(0, 0, 255);
    const std::vector<std::string> names = PrintPage({call});
    EXPECT_EQ(Count(names, "VR_DrawImageMask"), c.mask ? 1 : 0);
    EXPECT_EQ(Count(names, "VR_DrawImage"), c.mask ? 0 : 1);
    if (c.mask) {
      EXPECT_EQ(Count(names, "VR_SetSolidColor"), 1);
    }
  }
}

TEST_F(DrawingCallsTest, FillsStickingOutOfARectangleClipAreCutWithoutAClip) {
  const RECTL clip{100, 100, 200, 200};
  DrawCall blt = Blt(DrawKind::BitBlt, 0x0000, {150, 150, 260, 260});
  blt.clip.kind = ClipKind::Rect;
  blt.clip.rect = clip;
  DrawCall fill = Fill(PathRectangle({50, 150, 150, 300}), ClipKind::Rect, clip);
  const std::vector<std::string> names = PrintPage({blt, fill});
  EXPECT_EQ(Count(names, "VR_SetRectangleClip"), 0);
  EXPECT_EQ(Count(names, "VR_ClipPath"), 0);
  ASSERT_EQ(PageLines("VR_DrawRectangle").size(), 2u);
}

TEST_F(DrawingCallsTest, TheSameClipIsSentOnce) {
  DrawClip complex;
  complex.kind = ClipKind::Complex;
  complex.path = PathEllipse({100, 100, 300, 250});
  DrawCall first = Fill(PathRectangle({120, 120, 280, 240}));
  first.clip = complex;
  DrawCall second = first;
  second.path = PathRectangle({130, 130, 260, 230});
  DrawCall inner = Fill(PathEllipse({0, 0, 400, 400}), ClipKind::Rect, {50, 50, 350, 350});
  DrawCall narrower = Fill(PathEllipse({0, 0, 400, 400}), ClipKind::Rect, {60, 60, 340, 340});
  const std::vector<std::string> names = PrintPage({first, second, inner, narrower});
  EXPECT_EQ(Count(names, "VR_ClipPath"), 1);
  EXPECT_EQ(Count(names, "VR_SetRectangleClip"), 2);
  // The page's reset, the switch from the path clip; the narrower rectangle needs no reset.
  EXPECT_EQ(Count(names, "VR_InitClip"), 2);
}

TEST_F(DrawingCallsTest, PathsBecomeEllipsesRectanglesOrGeneralPaths) {
  DrawPath circle = PathEllipse({100, 100, 200, 200});
  circle.ellipse = true;
  DrawPath flat = PathEllipse({100, 100, 200, 100});
  flat.ellipse = true;
  DrawPath curve;
  PathMoveTo(curve, 10, 10);
  PathBezierTo(curve, {40, 0}, {60, 80}, {90, 30});
  PathLineTo(curve, 120, 60);
  PathClose(curve);
  DrawPen dashed;
  dashed.geometric = true;
  dashed.width = 4;
  dashed.join = JOIN_BEVEL;
  dashed.style = {6, 3};
  DrawPen dotted;
  dotted.style = {2, 2};
  DrawPen plain;
  struct Case {
    const char* name;
    DrawCall call;
    const char* draws;
  };
  const Case cases[] = {
      {"filled circle", Fill(circle), "VR_DrawEllipseArc"},
      {"flat ellipse", Fill(flat), "VR_DrawRectangle"},
      {"filled rectangle", Fill(PathRectangle({5, 5, 50, 40})), "VR_DrawRectangle"},
      {"stroked rectangle", Stroke(PathRectangle({5, 5, 50, 40}), plain), "VR_DrawRectangle"},
      {"dashed rectangle", Stroke(PathRectangle({5, 5, 50, 40}), dotted), "VR_DrawPath"},
      {"curve", Fill(curve), "VR_DrawPath"},
      {"dashed geometric curve", Stroke(curve, dashed), "VR_DrawPath"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<LONG> answers;
    const std::vector<std::string> names = PrintPage({c.call}, &answers);
    EXPECT_EQ(answers[0], TRUE);
    for (const char* d : {"VR_DrawEllipseArc", "VR_DrawRectangle", "VR_DrawPath"})
      EXPECT_EQ(Count(names, d), std::string(d) == c.draws ? 1 : 0) << d;
  }
}

TEST_F(DrawingCallsTest, DashedPensSendTheirPattern) {
  DrawPath line;
  PathMoveTo(line, 10, 10);
  PathLineTo(line, 200, 40);
  DrawPen geometric;
  geometric.geometric = true;
  geometric.width = 3;
  geometric.style = {6, 3};
  DrawPen cosmetic;
  cosmetic.style = {2, 1};
  PrintPage({Stroke(line, geometric)});
  std::vector<std::string> types = PageLines("VR_SetLineType");
  ASSERT_EQ(types.size(), 1u);
  EXPECT_NE(types[0].find("kind=6"), std::string::npos) << types[0];
  PrintPage({Stroke(line, cosmetic)});
  types = PageLines("VR_SetLineType");
  ASSERT_EQ(types.size(), 1u);
  EXPECT_NE(types[0].find("kind=6"), std::string::npos) << types[0];
}

TEST_F(DrawingCallsTest, LargeBezierBatchesAreSplit) {
  DrawPath curve;
  PathMoveTo(curve, 0, 0);
  const int curves = 66667;
  for (int i = 0; i < curves; ++i) {
    const float x = static_cast<float>(i % 500);
    PathBezierTo(curve, {x, 1}, {x + 1, 2}, {x + 2, 3});
  }
  std::vector<LONG> answers;
  const std::vector<std::string> names = PrintPage({Fill(curve)}, &answers);
  EXPECT_EQ(answers[0], TRUE);
  const std::vector<std::string> beziers = PageLines("VR_AddBezierPath");
  ASSERT_EQ(beziers.size(), 2u);
  EXPECT_NE(beziers[0].find("21845"), std::string::npos) << beziers[0];
  EXPECT_NE(beziers[1].find("44822"), std::string::npos) << beziers[1];
}

// With the colour library in use, the bands of one picture are held back and drawn together
// before the next drawing, when a new picture starts, or at the page's end.
TEST_F(DrawingCallsTest, PictureBandsAreQueuedAndDrawnTogether) {
  Set(kItemIcmChoice, kTypeUInt8, 2);  // the colour adjustment items apply
  Set(kItemColorLibrary, kTypeUInt8, 1);
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Bands"));
  ASSERT_TRUE(EngineStartPage(dc));
  const auto images = [&] { return static_cast<int>(Lines("VR_DrawImage").size()); };
  const auto band = [](LONG top, LONG width, LONG height, ULONG format) {
    DrawCall call = Blt(DrawKind::BitBlt, 0xCCCC, {100, top, 100 + width, top + height});
    call.image = Bitmap(format, width, height, 0x80);
    call.clip.kind = ClipKind::Rect;
    call.clip.rect = {0, 0, 1200, 2000};
    return call;
  };
  // Three bands of one picture: nothing drawn yet.
  EXPECT_EQ(EngineDraw(dc, band(100, 1000, 100, BMF_24BPP)), TRUE);
  EXPECT_EQ(EngineDraw(dc, band(200, 1000, 100, BMF_24BPP)), TRUE);
  EXPECT_EQ(EngineDraw(dc, band(300, 1000, 37, BMF_24BPP)), TRUE);
  EXPECT_EQ(images(), 0);
  // A fill draws the three first, in order, then itself; the colour library converted the
  // three as one group: one group begun, three parameter passes, three conversions.
  HMODULE colour = LoadLibraryW((std::u16string(SimDriverDirectory()) + u"\\qvcolor.dll").c_str());
  ASSERT_NE(colour, nullptr);
  const auto logCount = reinterpret_cast<SimColorLogCountProc>(GetProcAddress(colour, "SimColorLogCount"));
  const auto logEntry = reinterpret_cast<SimColorLogEntryAtProc>(GetProcAddress(colour, "SimColorLogEntryAt"));
  const DWORD logBefore = logCount();
  EXPECT_EQ(EngineDraw(dc, Fill(PathRectangle({10, 10, 50, 50}))), TRUE);
  std::vector<DWORD> group;
  for (DWORD i = logBefore; i < logCount(); ++i) {
    SimColorLogEntry e{};
    logEntry(i, &e);
    group.push_back(e.Call);
  }
  FreeLibrary(colour);
  EXPECT_EQ(std::count(group.begin(), group.end(), kSimZemBegin), 1);
  EXPECT_EQ(std::count(group.begin(), group.end(), kSimZemCreateParam), 3);
  EXPECT_EQ(std::count(group.begin(), group.end(), kSimZemConvert), 3);
  std::vector<std::string> names = Calls();
  EXPECT_EQ(images(), 3);
  const auto lastImage = std::find(names.rbegin(), names.rend(), "VR_DrawImage");
  const auto lastRectangle = std::find(names.rbegin(), names.rend(), "VR_DrawRectangle");
  EXPECT_LT(lastRectangle - names.rbegin(), lastImage - names.rbegin());
  // A band of another width starts a new picture; an 8-bit band is not a picture band: the
  // queued one is drawn first, then the 8-bit one at once.
  EXPECT_EQ(EngineDraw(dc, band(400, 800, 37, BMF_24BPP)), TRUE);
  EXPECT_EQ(images(), 3);
  EXPECT_EQ(EngineDraw(dc, band(500, 64, 20, BMF_8BPP)), TRUE);
  EXPECT_EQ(images(), 5);
  // The page's end draws what is still queued (this band comes without a clip object).
  DrawCall unclipped = band(600, 900, 64, BMF_24BPP);
  unclipped.clip.kind = ClipKind::None;
  EXPECT_EQ(EngineDraw(dc, unclipped), TRUE);
  EXPECT_EQ(images(), 5);
  ASSERT_TRUE(EngineEndPage(dc));
  EXPECT_EQ(images(), 6);
  ASSERT_TRUE(EngineEndDoc(dc));
}

// A stroked rectangle of no size is a dot: drawn as a rectangle with round joins.
TEST_F(DrawingCallsTest, StrokedRectangleOfNoSizeHasRoundJoins) {
  DrawPen pen;
  pen.geometric = true;
  pen.width = 5;
  pen.join = JOIN_MITER;
  const std::vector<std::string> names = PrintPage({Stroke(PathRectangle({60, 60, 60, 60}), pen)});
  EXPECT_EQ(Count(names, "VR_DrawRectangle"), 1);
  const std::vector<std::string> joins = PageLines("VR_SetLineJoin");
  ASSERT_EQ(joins.size(), 1u);
  EXPECT_NE(joins[0].find("=2)"), std::string::npos) << joins[0];
}

// A new page forgets the library's clip: its first drawing resets it and sends its own again.
TEST_F(DrawingCallsTest, EachPageSendsItsClipAgain) {
  DrawCall fill = Fill(PathRectangle({120, 120, 280, 240}));
  fill.clip.kind = ClipKind::Complex;
  fill.clip.path = PathEllipse({100, 100, 300, 250});
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Two pages"));
  for (int page = 0; page < 2; ++page) {
    ASSERT_TRUE(EngineStartPage(dc));
    EXPECT_EQ(EngineDraw(dc, fill), TRUE);
    EXPECT_EQ(EngineDraw(dc, fill), TRUE);
    ASSERT_TRUE(EngineEndPage(dc));
  }
  ASSERT_TRUE(EngineEndDoc(dc));
  const std::vector<std::string> names = Calls();
  EXPECT_EQ(Count(names, "VR_ClipPath"), 2);
  EXPECT_EQ(Count(names, "VR_InitClip"), 2);
  EXPECT_EQ(Count(names, "VR_DrawRectangle"), 4);
}

// Pages that are replayed from the temporary job store (held for their colour, or kept for
// reverse order) keep a fill whose far corner lies beyond 16 bits (under a complex clip the
// fill is not cut to the page).
TEST_F(DrawingCallsTest, ReplayedPagesKeepFarCornersBeyondSixteenBits) {
  struct Case {
    const char* name;
    LONG colorMode;
    DWORD reverse;  // pages in reverse order
  };
  const Case cases[] = {{"straight through", 2, 0}, {"held for its colour", 0, 0}, {"reverse order", 2, 1}};
  DrawCall black;
  black.kind = DrawKind::BitBlt;
  black.rop4 = 0x0000;
  black.target = {10, 10, 70000, 40};
  black.clip.kind = ClipKind::Complex;
  black.clip.path = PathEllipse({0, 0, 140000, 100});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_();
    Set(kItemColorMode, kTypeUInt8, c.colorMode);
    Set(kItemReverseOrder, kTypeFlag, c.reverse);
    std::vector<LONG> answers;
    PrintPage({black}, &answers);
    EXPECT_EQ(answers, std::vector<LONG>{TRUE});
    const std::vector<std::string> rectangles = Lines("VR_DrawRectangle");
    ASSERT_EQ(rectangles.size(), 1u) << Trace();
    EXPECT_EQ(Field(rectangles[0], "x0"), "10") << rectangles[0];
    EXPECT_EQ(Field(rectangles[0], "x1"), "70000") << rectangles[0];
    EXPECT_EQ(breaches_(), 0u) << Trace();
  }
}

// Automatic colour: an 8-bit bitmap whose palette is black and white alone leaves its page
// monochrome whatever its pixels, while one whose palette has a colour in use makes it colour.
TEST_F(DrawingCallsTest, ShortGreyPaletteLeavesThePageMonochrome) {
  struct Case {
    const char* name;
    std::vector<COLORREF> palette;
    BYTE pixels;
    const char* color;  // of the page start
  };
  const Case cases[] = {
      {"black and white, pixels in the palette", {0x000000, 0xFFFFFF}, 1, "1"},
      {"black and white, pixels past the palette", {0x000000, 0xFFFFFF}, 0x40, "1"},
      {"a colour in use", {0x000000, RGB(200, 0, 0)}, 1, "2"},
  };
  Set(kItemColorMode, kTypeUInt8, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_();
    DrawCall blt = Blt(DrawKind::BitBlt, 0xCCCC, {100, 100, 140, 120});
    blt.image = Bitmap(BMF_8BPP, 40, 20, c.pixels);
    blt.image.palette = c.palette;
    PrintPage({blt});
    const std::vector<std::string> starts = Lines("VR_StartPage");
    ASSERT_EQ(starts.size(), 1u) << Trace();
    EXPECT_EQ(Field(starts[0], "color"), c.color) << starts[0];
  }
}

// A stamp keeps the colours it is drawn in: in grey mode with every object printed black, a
// fill on the page turns black and the same fill in a stamp stays as it is.
TEST_F(DrawingCallsTest, StampFillsKeepTheirColour) {
  constexpr ULONG kStampMode = 0x5003;
  const WCHAR* name = u"Draft";
  const WCHAR* text = u"DRAFT";
  ASSERT_EQ(SetItemValue(kItemStampName, settings_, config_, kTypeString, 12, &name), kItemDone);
  ASSERT_EQ(SetItemValue(kItemStampText, settings_, config_, kTypeString, 12, &text), kItemDone);
  Set(kItemColorMode, kTypeUInt8, 1);     // grey
  Set(kItemBlackObjects, kTypeUInt8, 3);  // text and graphics in black
  DrawCall fill = Fill(PathRectangle({100, 100, 200, 160}));
  fill.brush.colour = RGB(30, 200, 10);
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Stamp"));
  ASSERT_TRUE(EngineStartPage(dc));
  EXPECT_EQ(EngineDraw(dc, fill), TRUE);
  DWORD on = 1, off = 0;
  ASSERT_EQ(EngineEscape(dc, kStampMode, sizeof on, &on, 0, nullptr), 1);
  EXPECT_EQ(EngineDraw(dc, fill), TRUE);
  ASSERT_EQ(EngineEscape(dc, kStampMode, sizeof off, &off, 0, nullptr), 1);
  ASSERT_TRUE(EngineEndPage(dc));
  ASSERT_TRUE(EngineEndDoc(dc));
  std::vector<std::string> colours;
  for (const std::string& line : Lines("VR_SetSolidColor")) colours.push_back(Field(line, "color"));
  ASSERT_EQ(colours.size(), 2u) << Trace();
  EXPECT_EQ(colours[0], "000000") << Trace();
  EXPECT_EQ(colours[1], "1EC80A") << Trace();
}

}  // namespace
