// Text printed by qorvexgr.dll through the engine host: the glyph records the drawing library
// receives for outline text (plain, simulated bold and italic, turned), fixed-pitch and
// reversed strings, the bitmap road of the two Chinese faces, and the background and extra
// rectangles around the glyphs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/byte_order.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/graphics/ddi/document_fixture.h"
#include "tools/spoolview/spool_stream.h"

namespace {

constexpr BYTE kDrawDataFontSlot = 55;

struct SentGlyph {
  float x, y;
  DWORD code;
  std::vector<BYTE> record;
  BYTE Kind() const { return record.at(0); }
  float Em() const {
    const DWORD bits = GetLE32(record.data() + 8);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
};

DrawCall TextCall(DrawText text) {
  DrawCall call;
  call.kind = DrawKind::TextOut;
  call.text = std::move(text);
  return call;
}

DrawText Text(std::u16string s, std::u16string face = u"Arial", LONG em = 100) {
  DrawText t;
  t.text = std::move(s);
  t.face = std::move(face);
  t.emHeight = em;
  t.origin = {600, 900};
  return t;
}

class TextOutputTest : public DocumentTest {
 protected:
  // Prints one page of the calls; the glyph records the job carries.
  std::vector<SentGlyph> PrintPage(const std::vector<DrawCall>& calls) {
    dc_ = CreateDc();
    EXPECT_NE(dc_, nullptr);
    if (dc_ == nullptr) return {};
    EXPECT_TRUE(EngineStartDoc(dc_, u"Text"));
    EXPECT_TRUE(EngineStartPage(dc_));
    for (const DrawCall& call : calls) EngineDraw(dc_, call);
    EXPECT_TRUE(EngineEndPage(dc_));
    EXPECT_TRUE(EngineEndDoc(dc_));
    EXPECT_EQ(breaches_(), 0u) << Trace();
    spool_ = LastSpoolJob();
    std::vector<SentGlyph> glyphs;
    for (const SpoolRecord& r : ScanSpoolStream(spool_).records) {
      if (r.slot != kDrawDataFontSlot) continue;
      PayloadReader p(r.payload);
      SentGlyph g{p.F32(), p.F32(), p.U32(), {}};
      const std::span<const BYTE> rest = p.Bytes(p.remaining());
      g.record.assign(rest.begin(), rest.end());
      glyphs.push_back(std::move(g));
    }
    return glyphs;
  }

  // The driver's answers to its DrvTextOut calls.
  std::vector<std::string> TextOutResults() {
    std::vector<std::string> results;
    for (const SimEngineCall& c : SimEngineLog())
      if (c.kind == SimEngineCallKind::Ddi && c.name == "DrvTextOut") results.push_back(c.result);
    return results;
  }

  float Resolution() { return static_cast<float>(EngineDcGdiInfo(dc_)->ulLogPixelsX); }

  EngineDc* dc_ = nullptr;
  std::vector<BYTE> spool_;
};

enum class Placement { Proportional, Fixed, Reversed, Upwards };

struct OutlineCase {
  const char* name;
  DrawText text;
  BYTE bold;
  BYTE italic;
  Placement placement;
};

TEST_F(TextOutputTest, OutlineGlyphsCarryTheirFontAndPlace) {
  auto with = [](DrawText t, auto change) {
    change(t);
    return t;
  };
  const OutlineCase cases[] = {
      {"plain sans", Text(u"Hello"), 0, 0, Placement::Proportional},
      {"serif, real bold face", with(Text(u"Bold", u"Times New Roman"), [](DrawText& t) { t.bold = true; }), 0, 0,
       Placement::Proportional},
      // 5.1 and later without a bold strength setting: simulated bold carries strength 0.
      {"simulated bold", with(Text(u"Sim"), [](DrawText& t) { t.bold = t.simulateBold = true; }), 0, 0,
       Placement::Proportional},
      {"simulated italic", with(Text(u"Lean"), [](DrawText& t) { t.italic = true; }), 0, 1, Placement::Proportional},
      {"fixed pitch", with(Text(u"abc", u"Courier New"), [](DrawText& t) { t.fixedPitch = 60; }), 0, 0,
       Placement::Fixed},
      {"fixed pitch reversed", with(Text(u"xyz", u"Courier New"), [](DrawText& t) { t.fixedPitch = 60, t.reversed = true; }),
       0, 0, Placement::Reversed},
      {"turned a quarter", with(Text(u"Up"), [](DrawText& t) { t.escapement = 900; }), 0, 0, Placement::Upwards},
      // A string longer than one batch is enumerated; its characters follow the batches.
      {"enumerated string", Text(u"The quick brown fox jumps over the lazy dog", u"Arial", 40), 0, 0,
       Placement::Proportional},
  };
  for (const OutlineCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<SentGlyph> glyphs = PrintPage({TextCall(c.text)});
    EXPECT_EQ(TextOutResults(), std::vector<std::string>{"TRUE"}) << Trace();
    ASSERT_EQ(glyphs.size(), c.text.text.size());
    // The em size is the length of the font's transformed em: a slanted em is that much longer.
    const float em = c.text.emHeight * 72.0f / Resolution() * (c.italic ? std::hypot(1.0f, 0.2f) : 1.0f);
    for (size_t i = 0; i < glyphs.size(); ++i) {
      const SentGlyph& g = glyphs[i];
      EXPECT_EQ(g.Kind(), 1) << i;
      EXPECT_EQ(g.record.at(1), c.bold) << i;
      EXPECT_EQ(g.record.at(3), c.italic) << i;
      EXPECT_NEAR(g.Em(), em, 0.2f) << i;
      EXPECT_EQ(g.code & 0xFFFF, c.text.text[i]) << i;
      EXPECT_EQ(g.code >> 16, glyphs[0].code >> 16) << "one font number for the string";
      EXPECT_NE(g.code >> 16, 0u);
    }
    const float x0 = static_cast<float>(c.text.origin.x), y0 = static_cast<float>(c.text.origin.y);
    EXPECT_EQ(glyphs[0].x, x0);
    EXPECT_EQ(glyphs[0].y, y0);
    for (size_t i = 1; i < glyphs.size(); ++i) {
      switch (c.placement) {
        case Placement::Proportional:
          EXPECT_GT(glyphs[i].x, glyphs[i - 1].x);
          EXPECT_EQ(glyphs[i].y, y0);
          break;
        case Placement::Fixed: EXPECT_EQ(glyphs[i].x, x0 + 60.0f * i); break;
        case Placement::Reversed: EXPECT_EQ(glyphs[i].x, x0 - 60.0f * i); break;
        case Placement::Upwards:
          EXPECT_NEAR(glyphs[i].x, x0, 1.0f);
          EXPECT_LT(glyphs[i].y, glyphs[i - 1].y);
          break;
      }
    }
    EngineDeleteDC(dc_);
    std::erase(dcs_, dc_);
    reset_();
    SimEngineLogReset();
  }
}

// The two Chinese faces with simulated bold go as bitmaps on 5.1 and later, with or without
// the vertical "@"; without simulated bold they go as outlines.
TEST_F(TextOutputTest, ChineseFacesWithSimulatedBoldGoAsBitmaps) {
  struct Case {
    std::u16string face;
    bool simulatedBold;
    BYTE kind;
    std::u16string text = u"AB";
    LONG em = 60;
  } cases[] = {{u"仿宋_GB2312", true, 2}, {u"@仿宋_GB2312", true, 2}, {u"楷体_GB2312", true, 2},
               {u"仿宋_GB2312", false, 1}, {u"宋体", true, 1},
               // Glyphs wider than a bitmap record can say (2,040 pixels) go as outlines.
               {u"仿宋_GB2312", true, 1, u"WW", 2400}};
  for (const Case& c : cases) {
    DrawText t = Text(c.text, c.face, c.em);
    t.bold = true;
    t.simulateBold = c.simulatedBold;
    const std::vector<SentGlyph> glyphs = PrintPage({TextCall(t)});
    ASSERT_EQ(glyphs.size(), 2u);
    for (const SentGlyph& g : glyphs) {
      EXPECT_EQ(g.Kind(), c.kind);
      if (c.kind == 2) {
        EXPECT_EQ(GetLE32(g.record.data()), 2u);
        const WORD rows = GetLE16(g.record.data() + 16), width = GetLE16(g.record.data() + 18);
        EXPECT_GT(rows, 10);
        EXPECT_EQ(g.record.at(20), (width + 7) / 8);
        EXPECT_EQ(GetLE32(g.record.data() + 4), (g.record.at(20) * rows + 25u) & ~3u);
        EXPECT_EQ(g.code, 0u);
      }
    }
    EngineDeleteDC(dc_);
    std::erase(dcs_, dc_);
    reset_();
  }
}

// On 5.0 the same faces go as outlines, and simulated bold takes the older divisor: a 10-point
// font at the device's resolution without the strength setting is 2 + 8.
TEST_F(TextOutputTest, OlderSystemsDrawSimulatedBoldAsOutlines) {
  SimSetVersion(5, 0, 2195);
  dc_ = CreateDc();
  ASSERT_NE(dc_, nullptr);
  const LONG em = std::lround(10 * Resolution() / 72);
  EngineDeleteDC(dc_);
  std::erase(dcs_, dc_);
  for (const char16_t* face : {u"仿宋_GB2312", u"Arial"}) {
    DrawText t = Text(u"Ab", face, em);
    t.bold = t.simulateBold = true;
    const std::vector<SentGlyph> glyphs = PrintPage({TextCall(t)});
    ASSERT_EQ(glyphs.size(), 2u);
    for (const SentGlyph& g : glyphs) {
      EXPECT_EQ(g.Kind(), 1);
      EXPECT_EQ(g.record.at(1), 10);
    }
    EngineDeleteDC(dc_);
    std::erase(dcs_, dc_);
  }
}

// The opaque background comes before the text colour and the glyphs, the underline after them,
// each as a filled rectangle.
TEST_F(TextOutputTest, BackgroundAndUnderlineFrameTheGlyphs) {
  DrawText t = Text(u"Hi");
  t.opaque = true;
  t.background = RGB(255, 255, 0);
  t.underline = true;
  t.colour = RGB(255, 0, 0);
  ASSERT_EQ(PrintPage({TextCall(t)}).size(), 2u);
  EXPECT_EQ(TextOutResults(), std::vector<std::string>{"TRUE"});
  std::vector<std::string> page;
  bool open = false;
  for (const std::string& line : Lines()) {
    if (line.rfind("VR_StartPage", 0) == 0) open = true;
    else if (line.rfind("VR_EndPage", 0) == 0) open = false;
    else if (open && line.rfind("VR_", 0) == 0) page.push_back(line.substr(0, line.rfind(" = ")));
  }
  // The page's own set-up goes first; the text starts with its raster operation.
  const auto first = std::find_if(page.begin(), page.end(), [](const std::string& l) { return l.rfind("VR_SetRopMode", 0) == 0; });
  page.erase(page.begin(), first);
  const std::vector<std::string> expected = {
      "VR_SetRopMode(h1, code=1, value=13)",
      "VR_SetSolidColor(h1, kind=2, cs=4, color=FFFF00)",
      "VR_SetFillMode(h1, mode=1)",
      "VR_SetDrawMode(h1, mode=2)",
  };
  ASSERT_GE(page.size(), 8u) << Trace();
  EXPECT_EQ(std::vector<std::string>(page.begin(), page.begin() + 4), expected) << Trace();
  EXPECT_EQ(page[4].substr(0, page[4].find('(')), "VR_DrawRectangle") << Trace();
  EXPECT_EQ(page[5], "VR_SetSolidColor(h1, kind=2, cs=4, color=FF0000)") << Trace();
  EXPECT_EQ(page[6].substr(0, page[6].find('(')), "VR_DrawDataFont");
  EXPECT_EQ(page[7].substr(0, page[7].find('(')), "VR_DrawDataFont");
  EXPECT_EQ(page.back().substr(0, page.back().find('(')), "VR_DrawRectangle") << Trace();
}

// A string drawn by glyph index has no characters: each glyph's code carries its glyph handle.
TEST_F(TextOutputTest, GlyphIndexStringsCodeTheirGlyphHandles) {
  DrawText t = Text(u"AB");
  const std::vector<SentGlyph> byCharacter = PrintPage({TextCall(t)});
  EngineDeleteDC(dc_);
  std::erase(dcs_, dc_);
  t.glyphIndexes = true;
  const std::vector<SentGlyph> byIndex = PrintPage({TextCall(t)});
  ASSERT_EQ(byCharacter.size(), 2u);
  ASSERT_EQ(byIndex.size(), 2u);
  std::vector<HGLYPH> handles;
  for (const SimEngineCall& c : SimEngineLog())
    if (c.name == "FONTOBJ_cGetGlyphs" && c.args.find("mode=2") != std::string::npos && c.args.find(" hg=") != std::string::npos)
      handles.push_back(static_cast<HGLYPH>(std::stoul(c.args.substr(c.args.find(" hg=") + 4))));
  ASSERT_GE(handles.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(byCharacter[i].code & 0xFFFF, t.text[i]);
    EXPECT_EQ(byIndex[i].code & 0xFFFF, handles[handles.size() - 2 + i]);
    EXPECT_NE(byIndex[i].code & 0xFFFF, t.text[i]);
    EXPECT_EQ(byIndex[i].record, byCharacter[i].record) << "the same outline either way";
  }
}

// A glyph the library refuses stops the string: the call fails, the glyphs before it stay sent.
TEST_F(TextOutputTest, ARefusedGlyphFailsTheCall) {
  fail_("VR_DrawDataFont", 3, -1);
  EXPECT_EQ(PrintPage({TextCall(Text(u"Refused"))}).size(), 2u);
  EXPECT_EQ(TextOutResults(), std::vector<std::string>{"FALSE"});
}

// A clip the text module cannot hand on yet fails the call plainly and sends no glyph.
TEST_F(TextOutputTest, ARectangleClipIsSentBeforeTheGlyphs) {
  DrawCall call = TextCall(Text(u"Clip"));
  call.clip.kind = ClipKind::Rect;
  call.clip.rect = {0, 0, 700, 1000};
  EXPECT_EQ(PrintPage({call}).size(), 4u);
  EXPECT_EQ(TextOutResults(), std::vector<std::string>{"TRUE"});
  const std::string trace = Trace();
  const size_t clip = trace.find("VR_SetRectangleClip");
  ASSERT_NE(clip, std::string::npos);
  EXPECT_LT(clip, trace.find("VR_DrawDataFont"));
}

}  // namespace
