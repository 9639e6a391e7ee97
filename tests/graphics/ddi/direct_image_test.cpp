// Images an application sends in direct mode (escape 4210) to qorvexgr.dll through the engine
// host: encoded JPEG and PNG data in numbered chunks, the drawing library's image call once all
// chunks are in (the chunks joined in order), its placement for each quarter turn, the clip
// and raster mode of the first chunk, and chunks that are refused before anything is sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "items/item_ids.h"
#include "tests/graphics/ddi/document_fixture.h"

namespace {

using Bytes = std::vector<BYTE>;

constexpr ULONG kDirect = 4209, kDirectImage = 4210;
constexpr DWORD kSourceCopy = 0x00CC0020;
constexpr DWORD kJpeg = 4, kPng = 5;

template <typename T>
void Put(Bytes& b, size_t at, T v) {
  std::memcpy(b.data() + at, &v, sizeof v);
}

// What an application describes of its image.
struct ImageLayout {
  WORD turn = 0;
  DWORD compression = kJpeg;
  WORD bits = 24;
  DWORD colorsUsed = 0;
  WORD sourceWidth = 100, sourceHeight = 50;
  WORD targetWidth = 200, targetHeight = 100;
  SHORT x = 10, y = 20;
  bool clip = false;
  SHORT clipRect[4] = {5, 6, 300, 400};
  DWORD rasterOperation = kSourceCopy;
  WORD reserved = 0;
  LONG bitmapHeight = 50;  // the bitmap information's height
  WORD marker = 0xFFFF;    // first-chunk marker; 0xFFFF: 0 exactly for a first chunk
};

// The 4210 input of one chunk: a 32-byte header, the 36-byte description, the bitmap
// information with its colour table, the clip rectangle and the chunk's bytes.
Bytes Chunk(const ImageLayout& layout, const Bytes& image, DWORD offset, DWORD length, WORD id) {
  constexpr DWORD kDescription = 32, kInfo = 68;
  const DWORD tableEntries = layout.compression == kPng && layout.bits == 8
                                 ? (layout.colorsUsed >= 1 && layout.colorsUsed <= 255 ? layout.colorsUsed : 256)
                                 : 0;
  const DWORD clipAt = kInfo + 40 + tableEntries * 4;
  const DWORD dataAt = clipAt + 8;
  Bytes b(dataAt + length);
  Put<DWORD>(b, 0, static_cast<DWORD>(b.size()));
  Put<DWORD>(b, 8, kDescription);
  Put<DWORD>(b, 12, static_cast<DWORD>(image.size()));
  Put<DWORD>(b, 16, offset);
  Put<DWORD>(b, 20, length);
  Put<WORD>(b, 24, id);
  Put<WORD>(b, 26, layout.marker != 0xFFFF ? layout.marker : (id == 0 ? 0 : 1));
  Put<WORD>(b, 28, layout.turn);
  Put<SHORT>(b, kDescription + 0, layout.x);
  Put<SHORT>(b, kDescription + 2, layout.y);
  Put<WORD>(b, kDescription + 4, layout.reserved);
  Put<WORD>(b, kDescription + 8, layout.sourceWidth);
  Put<WORD>(b, kDescription + 10, layout.sourceHeight);
  Put<WORD>(b, kDescription + 12, layout.targetWidth);
  Put<WORD>(b, kDescription + 14, layout.targetHeight);
  Put<DWORD>(b, kDescription + 16, kInfo);
  Put<DWORD>(b, kDescription + 20, dataAt);
  Put<WORD>(b, kDescription + 24, 0xCC);
  Put<DWORD>(b, kDescription + 28, layout.rasterOperation);
  Put<DWORD>(b, kDescription + 32, layout.clip ? clipAt : 0);
  Put<DWORD>(b, kInfo + 0, 40);
  Put<LONG>(b, kInfo + 4, layout.sourceWidth);
  Put<LONG>(b, kInfo + 8, layout.bitmapHeight);
  Put<WORD>(b, kInfo + 12, 1);
  Put<WORD>(b, kInfo + 14, layout.bits);
  Put<DWORD>(b, kInfo + 16, layout.compression);
  Put<DWORD>(b, kInfo + 32, layout.colorsUsed);
  for (DWORD i = 0; i < tableEntries; ++i) {
    // Blue, green, red and a reserved byte that the table must not carry.
    b[kInfo + 40 + 4 * i] = static_cast<BYTE>(i);
    b[kInfo + 40 + 4 * i + 1] = static_cast<BYTE>(255 - i);
    b[kInfo + 40 + 4 * i + 2] = static_cast<BYTE>(i / 2);
    b[kInfo + 40 + 4 * i + 3] = 0xAA;
  }
  for (int i = 0; i < 4; ++i) Put<SHORT>(b, clipAt + 2 * i, layout.clipRect[i]);
  std::memcpy(b.data() + dataAt, image.data() + offset, length);
  return b;
}

Bytes ImageBytes(size_t n, BYTE seed) {
  Bytes image(n);
  for (size_t i = 0; i < n; ++i) image[i] = static_cast<BYTE>(seed + i * 7 + i / 251);
  return image;
}

class DirectImageTest : public DocumentTest {
 protected:
  LONG Escape(EngineDc* dc, ULONG code, Bytes in) {
    return EngineEscape(dc, code, static_cast<ULONG>(in.size()), in.empty() ? nullptr : in.data(), 0, nullptr);
  }
  // A document begun and direct mode switched on.
  EngineDc* StartDirectDocument() {
    EngineDc* dc = CreateDc();
    if (dc == nullptr) return nullptr;
    Bytes on(8);
    Put<DWORD>(on, 0, 8);
    Put<WORD>(on, 4, 1);
    EXPECT_EQ(Escape(dc, kDirect, on), 1);
    EXPECT_TRUE(EngineStartDoc(dc, u"Direct"));
    EXPECT_TRUE(EngineStartPage(dc));
    return dc;
  }
  // Sends the image in chunks of the given sizes; the answers.
  std::vector<LONG> SendImage(EngineDc* dc, const ImageLayout& layout, const Bytes& image, std::vector<DWORD> sizes) {
    std::vector<LONG> answers;
    DWORD offset = 0;
    WORD id = 0;
    for (DWORD size : sizes) {
      const LONG answer = Escape(dc, kDirectImage, Chunk(layout, image, offset, size, id));
      answers.push_back(answer);
      if (answer > 0) id = static_cast<WORD>(answer);
      offset += size;
    }
    return answers;
  }
  // Ends the page and the document; the library saw no breach of its protocol.
  void FinishDocument(EngineDc* dc) {
    EXPECT_TRUE(EngineEndPage(dc));
    EXPECT_TRUE(EngineEndDoc(dc));
    EXPECT_EQ(breaches_(), 0u) << Trace();
  }
  // The library calls since `mark` lines of the trace (the library's session lives on).
  std::vector<std::string> CallsSince(size_t mark) {
    std::vector<std::string> names;
    const std::vector<std::string> lines = Lines();
    for (size_t i = mark; i < lines.size(); ++i)
      if (lines[i].rfind("VR_", 0) == 0) names.push_back(lines[i].substr(0, lines[i].find('(')));
    return names;
  }
  std::vector<std::string> LinesSince(size_t mark, const std::string& name) {
    std::vector<std::string> found;
    const std::vector<std::string> lines = Lines();
    for (size_t i = mark; i < lines.size(); ++i)
      if (lines[i].rfind(name + "(", 0) == 0) found.push_back(lines[i]);
    return found;
  }
  // The value of `name=` in a trace line, up to the next ", " (or the closing parenthesis).
  static std::string Field(const std::string& line, const std::string& name) {
    const size_t at = line.find(", " + name + "=");
    if (at == std::string::npos) return "";
    const size_t from = at + name.size() + 3;
    size_t to = line.find(", ", from);
    if (line[from] == '[') to = line.find(']', from) + 1;
    if (to == std::string::npos) to = line.rfind(')');
    return line.substr(from, to - from);
  }
};

TEST_F(DirectImageTest, ChunksJoinIntoOneImageForEachQuarterTurn) {
  struct Case {
    WORD turn;
    const char* matrix;
  };
  // 100 x 50 source pixels drawn at 200 x 100.
  const Case cases[] = {{0, "[2,0,0,2,0,0]"},
                        {90, "[0,-2,2,0,0,50]"},
                        {180, "[-2,0,0,-2,100,50]"},
                        {270, "[0,2,-2,0,100,0]"}};
  const Bytes image = ImageBytes(2500, 3);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.turn);
    reset_();
    EngineDc* dc = StartDirectDocument();
    ASSERT_NE(dc, nullptr);
    ImageLayout layout;
    layout.turn = c.turn;
    const std::vector<LONG> answers = SendImage(dc, layout, image, {1000, 1000, 500});
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_GT(answers[0], 0);
    EXPECT_EQ(answers[1], answers[0]);
    EXPECT_EQ(answers[2], answers[0]);
    // The same image in one chunk, for the data's checksum; it gets the next transfer id.
    EXPECT_EQ(SendImage(dc, layout, image, {2500}), std::vector<LONG>{answers[0] + 1});
    const std::vector<std::string> draws = Lines("VR_DrawImage");
    ASSERT_EQ(draws.size(), 2u) << Trace();
    EXPECT_EQ(Field(draws[0], "m"), c.matrix);
    EXPECT_EQ(Field(draws[0], "x"), "10");
    EXPECT_EQ(Field(draws[0], "y"), "20");
    EXPECT_EQ(Field(draws[0], "w"), "100");
    EXPECT_EQ(Field(draws[0], "h"), "50");
    EXPECT_EQ(Field(draws[0], "format"), "5");
    EXPECT_EQ(Field(draws[0], "encoding"), "4");
    EXPECT_EQ(Field(draws[0], "bits"), "8");
    EXPECT_EQ(Field(draws[0], "len"), "2500");
    EXPECT_EQ(Field(draws[0], "image"), Field(draws[1], "image"));
    EXPECT_NE(Field(draws[0], "image").find("2500b"), std::string::npos);
    // The first chunk's raster mode comes before the image.
    const std::vector<std::string> calls = Calls();
    const auto rop = std::find(calls.begin(), calls.end(), "VR_SetRopMode");
    const auto draw = std::find(calls.begin(), calls.end(), "VR_DrawImage");
    EXPECT_LT(rop - calls.begin(), draw - calls.begin());
    FinishDocument(dc);
    DeleteDc(dc);
  }
}

TEST_F(DirectImageTest, PngImagesCarryTheirFormatAndColourTable) {
  EngineDc* dc = StartDirectDocument();
  ASSERT_NE(dc, nullptr);
  const Bytes image = ImageBytes(700, 9);
  ImageLayout rgb;
  rgb.compression = kPng;
  ASSERT_GT(SendImage(dc, rgb, image, {700})[0], 0);
  ImageLayout indexed = rgb;
  indexed.bits = 8;
  indexed.colorsUsed = 0;  // a full table of 256
  ASSERT_GT(SendImage(dc, indexed, image, {300, 400})[1], 0);
  ImageLayout few = indexed;
  few.colorsUsed = 4;
  ASSERT_GT(SendImage(dc, few, image, {700})[0], 0);
  const std::vector<std::string> draws = Lines("VR_DrawImage");
  ASSERT_EQ(draws.size(), 3u) << Trace();
  EXPECT_EQ(Field(draws[0], "format"), "4");
  EXPECT_EQ(Field(draws[0], "encoding"), "8");
  EXPECT_EQ(Field(draws[0], "tableLen"), "0");
  EXPECT_EQ(Field(draws[1], "format"), "11");
  EXPECT_EQ(Field(draws[1], "entries"), "256");
  EXPECT_EQ(Field(draws[1], "tableLen"), "768");
  // Four entries of blue, green, red, without the reserved bytes.
  EXPECT_EQ(Field(draws[2], "entries"), "4");
  EXPECT_EQ(Field(draws[2], "tableLen"), "12");
  EXPECT_EQ(Field(draws[2], "table"), "[00FF0001FE0002FD0103FC01]");
  FinishDocument(dc);
}

TEST_F(DirectImageTest, FirstChunkSetsTheClip) {
  EngineDc* dc = StartDirectDocument();
  ASSERT_NE(dc, nullptr);
  const Bytes image = ImageBytes(100, 1);
  ImageLayout clipped;
  clipped.clip = true;
  size_t mark = Lines().size();
  ASSERT_GT(SendImage(dc, clipped, image, {100})[0], 0);
  const std::vector<std::string> rects = LinesSince(mark, "VR_SetRectangleClip");
  ASSERT_EQ(rects.size(), 1u) << Trace();
  EXPECT_NE(rects[0].find("5"), std::string::npos);
  EXPECT_NE(rects[0].find("400"), std::string::npos);
  // Without a rectangle the clip is reset and is then the whole page.
  mark = Lines().size();
  ASSERT_GT(SendImage(dc, ImageLayout{}, image, {100})[0], 0);
  const std::vector<std::string> calls = CallsSince(mark);
  ASSERT_GE(calls.size(), 3u) << Trace();
  EXPECT_EQ(calls[0], "VR_InitClip") << Trace();
  EXPECT_EQ(calls[1], "VR_SetRectangleClip") << Trace();
  FinishDocument(dc);
}

// Chunks that cannot be drawn: each is answered as the table says before anything reaches the
// drawing library, and an image sent afterwards still gets its transfer.
TEST_F(DirectImageTest, RefusedChunksSendNothing) {
  EngineDc* dc = StartDirectDocument();
  ASSERT_NE(dc, nullptr);
  const Bytes image = ImageBytes(70000, 5);
  auto with = [](auto change) {
    ImageLayout layout;
    change(layout);
    return layout;
  };
  Bytes truncated = Chunk(ImageLayout{}, image, 0, 100, 0);
  truncated.resize(truncated.size() - 1);
  Put<DWORD>(truncated, 0, 0);  // no size given: the bytes really present still count
  Bytes descriptionOutside = Chunk(ImageLayout{}, image, 0, 100, 0);
  Put<DWORD>(descriptionOutside, 8, static_cast<DWORD>(descriptionOutside.size() - 10));
  Bytes sizeMismatch = Chunk(ImageLayout{}, image, 0, 100, 0);
  Put<DWORD>(sizeMismatch, 0, 12345);
  Bytes dataOutside = Chunk(ImageLayout{}, image, 0, 100, 0);
  Put<DWORD>(dataOutside, 20, 5000);
  Bytes tableOutside = Chunk(with([](ImageLayout& s) { s.compression = kPng, s.bits = 8; }), image, 0, 100, 0);
  Put<DWORD>(tableOutside, 68 + 32, 0);  // the 256-entry table does not fit the 4 bytes of room
  tableOutside.resize(68 + 40 + 4);
  Put<DWORD>(tableOutside, 0, static_cast<DWORD>(tableOutside.size()));
  Bytes hugeImage = Chunk(ImageLayout{}, image, 0, 100, 0);
  Put<DWORD>(hugeImage, 12, 0xFFFFFFF0);
  struct Case {
    const char* name;
    Bytes in;
    LONG answer;
  };
  const Case cases[] = {
      {"no input", {}, -1},
      {"header short", Bytes(31), -4},
      {"input truncated", truncated, -5},
      {"input size not the bytes given", sizeMismatch, -4},
      {"description outside the input", descriptionOutside, -4},
      {"image too large", hugeImage, -4},
      {"not source copy", Chunk(with([](ImageLayout& s) { s.rasterOperation = 0x00660046; }), image, 0, 100, 0), 0},
      {"turn of 45 degrees", Chunk(with([](ImageLayout& s) { s.turn = 45; }), image, 0, 100, 0), -5},
      {"reserved word", Chunk(with([](ImageLayout& s) { s.reserved = 1; }), image, 0, 100, 0), -5},
      {"bitmap height differs", Chunk(with([](ImageLayout& s) { s.bitmapHeight = 49; }), image, 0, 100, 0), -5},
      {"empty source", Chunk(with([](ImageLayout& s) { s.sourceWidth = 0; }), image, 0, 100, 0), -5},
      {"data outside the input", dataOutside, -5},
      {"colour table outside the input", tableOutside, -5},
      {"plain rows", Chunk(with([](ImageLayout& s) { s.compression = 0; }), image, 0, 100, 0), -1},
      {"png of 16 bits", Chunk(with([](ImageLayout& s) { s.compression = kPng, s.bits = 16; }), image, 0, 100, 0),
       -1},
      {"chunk too large", Chunk(ImageLayout{}, image, 0, 65281, 0), -1},
      {"first chunk not at 0", Chunk(ImageLayout{}, image, 100, 100, 0), -4},
      {"marker contradicts the id", Chunk(with([](ImageLayout& s) { s.marker = 1; }), image, 0, 100, 0), -4},
      {"chunk of no transfer", Chunk(ImageLayout{}, image, 100, 100, 7), -4},
  };
  const size_t mark = Lines().size();
  for (const Case& c : cases) {
    EXPECT_EQ(Escape(dc, kDirectImage, c.in), c.answer) << c.name;
    EXPECT_EQ(CallsSince(mark), std::vector<std::string>{}) << c.name << "\n" << Trace();
  }
  // A transfer that runs takes its chunks only in order.
  const Bytes small = ImageBytes(2500, 7);
  const LONG id = Escape(dc, kDirectImage, Chunk(ImageLayout{}, small, 0, 1000, 0));
  ASSERT_GT(id, 0);
  EXPECT_EQ(Escape(dc, kDirectImage, Chunk(ImageLayout{}, small, 900, 1000, static_cast<WORD>(id))), -4);
  EXPECT_EQ(Escape(dc, kDirectImage, Chunk(ImageLayout{}, small, 1000, 1000, static_cast<WORD>(id))), id);
  EXPECT_EQ(Escape(dc, kDirectImage, Chunk(ImageLayout{}, small, 2000, 500, static_cast<WORD>(id))), id);
  EXPECT_EQ(Escape(dc, kDirectImage, Chunk(ImageLayout{}, small, 0, 2500, 0)), id + 1);
  EXPECT_EQ(Lines("VR_DrawImage").size(), 2u) << Trace();
  FinishDocument(dc);
}

// An image whose chunks come with other drawing between them, on pages that print straight
// through, are held for their colour or are stored for reverse order: the image is drawn once
// when whole, every rectangle of both pages prints, and an image the application abandons is
// not drawn, leaving the rest of the page and the next page whole.
TEST_F(DirectImageTest, ChunksBetweenOtherDrawingOnHeldAndStoredPages) {
  struct Case {
    const char* name;
    LONG colorMode;  // 0 automatic, 2 colour
    DWORD reverse;   // pages in reverse order
    bool complete;   // the image's last two chunks come
  };
  const Case cases[] = {
      {"straight through", 2, 0, true},          {"straight through, abandoned", 2, 0, false},
      {"automatic colour", 0, 0, true},          {"automatic colour, abandoned", 0, 0, false},
      {"reverse order", 2, 1, true},             {"reverse order, abandoned", 2, 1, false},
      {"reverse order, automatic colour", 0, 1, true},
  };
  const Bytes image = ImageBytes(2500, 11);
  DrawCall rectangle;
  rectangle.kind = DrawKind::FillPath;
  rectangle.brush.kind = BrushKind::Solid;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_();
    Set(kItemColorMode, kTypeUInt8, c.colorMode);
    Set(kItemReverseOrder, kTypeFlag, c.reverse);
    EngineDc* dc = StartDirectDocument();
    ASSERT_NE(dc, nullptr);
    const LONG id = Escape(dc, kDirectImage, Chunk(ImageLayout{}, image, 0, 1000, 0));
    ASSERT_GT(id, 0);
    for (LONG i = 0; i < 40; ++i) {
      rectangle.path = PathRectangle({10 + 20 * i, 300, 25 + 20 * i, 340});
      EXPECT_EQ(EngineDraw(dc, rectangle), TRUE) << i;
    }
    if (c.complete) {
      EXPECT_EQ(Escape(dc, kDirectImage, Chunk(ImageLayout{}, image, 1000, 1000, static_cast<WORD>(id))), id);
      EXPECT_EQ(Escape(dc, kDirectImage, Chunk(ImageLayout{}, image, 2000, 500, static_cast<WORD>(id))), id);
    }
    EXPECT_TRUE(EngineEndPage(dc));
    ASSERT_TRUE(EngineStartPage(dc));
    // The abandoned transfer ended with its page.
    if (!c.complete) {
      EXPECT_EQ(Escape(dc, kDirectImage, Chunk(ImageLayout{}, image, 1000, 1000, static_cast<WORD>(id))), -4);
    }
    rectangle.path = PathRectangle({10, 500, 60, 540});
    EXPECT_EQ(EngineDraw(dc, rectangle), TRUE);
    FinishDocument(dc);
    const std::vector<std::string> draws = Lines("VR_DrawImage");
    ASSERT_EQ(draws.size(), c.complete ? 1u : 0u) << Trace();
    if (c.complete) {
      EXPECT_EQ(Field(draws[0], "len"), "2500");
    }
    EXPECT_EQ(Lines("VR_DrawRectangle").size(), 41u) << Trace();
    DeleteDc(dc);
  }
}

TEST_F(DirectImageTest, OffWithoutDirectMode) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Direct"));
  ASSERT_TRUE(EngineStartPage(dc));
  EXPECT_EQ(Escape(dc, kDirectImage, Chunk(ImageLayout{}, ImageBytes(10, 0), 0, 10, 0)), 0);
  EXPECT_TRUE(Lines("VR_DrawImage").empty());
  FinishDocument(dc);
}

}  // namespace
