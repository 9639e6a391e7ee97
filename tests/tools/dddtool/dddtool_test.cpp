// The text model compiler: the sample round-trips byte for byte through dump and build, and
// models that break a rule of the format are refused with a message naming the record.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/dddtool/ddd_model.h"

namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DddImage BuildSample() {
  auto text = ReadBytes(QV_SOURCE_DIR "/models/sample.txt");
  DddModel model;
  DddImage image;
  std::string error;
  EXPECT_TRUE(ParseDddModel(std::string(text.begin(), text.end()), QV_SOURCE_DIR "/models", &model, &error)) << error;
  EXPECT_TRUE(BuildDddImage(model, &image, &error)) << error;
  return image;
}

TEST(DddTool, SampleRoundTripsThroughDumpAndBuild) {
  DddImage image = BuildSample();
  ASSERT_FALSE(image.main.empty());
  ASSERT_FALSE(image.linked.empty());
  // The build step of the driver directory wrote the same bytes.
  EXPECT_EQ(ReadBytes(QV_DRIVER_DIR "/QX4500.DDD"), image.main);
  EXPECT_EQ(ReadBytes(QV_DRIVER_DIR "/QX4500.DAT"), image.linked);

  DddModel decoded;
  std::string error;
  ASSERT_TRUE(DecodeDddImage(image.main, &image.linked, &decoded, &error)) << error;
  std::string text = FormatDddModel(decoded);
  DddImage rebuilt;
  ASSERT_TRUE(BuildDddImageFromText(text, &rebuilt, &error)) << error;
  EXPECT_EQ(rebuilt.main, image.main);
  EXPECT_EQ(rebuilt.linked, image.linked);
  DddModel again;
  ASSERT_TRUE(DecodeDddImage(rebuilt.main, &rebuilt.linked, &again, &error)) << error;
  EXPECT_EQ(FormatDddModel(again), text);
}

TEST(DddTool, DecodeRefusesEveryTruncation) {
  DddImage image = BuildSample();
  DddModel model;
  std::string error;
  for (std::size_t size : {std::size_t{0}, std::size_t{100}, std::size_t{224}, std::size_t{300}, image.main.size() / 2,
                           image.main.size() - 1}) {
    std::vector<std::uint8_t> cut(image.main.begin(), image.main.begin() + static_cast<long>(size));
    EXPECT_FALSE(DecodeDddImage(cut, &image.linked, &model, &error)) << size;
  }
}

struct RefusedCase {
  const char* body;
  const char* message;
};

TEST(DddTool, RefusesModelsThatBreakTheFormat) {
  const std::string head = "model \"M\"\nversion \"V:1.2.3\"\n";
  const RefusedCase cases[] = {
      {"rule 2 watch=(16 = i16:1)\n", "record rule 2 (line 3): key must equal its position 1"},
      {"choice 1 value=i16:1\nchoice 3 value=i16:2\n", "record choice 3 (line 4): key must equal its position 2"},
      {"sizerange 1\nsizerange 1\n", "record sizerange 1 (line 4): key is used twice"},
      {"sizerange 1\npaper 9 size=1 limits=1 margins=2\n", "record paper 9 (line 4): field margins must name"},
      {"list 8 choices=[1]\n", "record list 8 (line 3): field choices names choice 1"},
      {"list 8 requires=[4]\n", "names requirement 4, which does not exist"},
      {"level 0x100\nsizerange 1\npaper 9 size=1 limits=1 margins=1 extra=1\n", "field extra needs format level 0x200"},
      {"level 0x100\nmediatype 1 name=\"x\"\n", "record mediatype 1 (line 4): the record type needs format level 0x200"},
      {"choice 1 value=array:1\n", "array reference 1 names no array record"},
      {"linked \"L.DAT\"\narray 1 linked type=3 size=2 values=[1]\n", "array records must lie in the main database"},
      {"sizerange 1 linked\n", "lies in the linked database, but the model names none"},
      {"linked \"NODOT\"\n", "linked database name needs an extension"},
      {"section 35 [str(1 2)]\n", "section 35 names string libraries and must hold plain texts"},
      {"list 8 name=\"ab\\xFF\\x01\\xFF\\x02\\xFF\"\n", "would read as a string reference"},
      {"picture 1 kind=1 bitmap=hex:0102\n", "must start with the 14-byte file header"},
      {"array 1 type=3 size=3 values=[1]\n", "numbers need an element size of 1, 2 or 4"},
      {"paper 9 colour=1\n", "line 3: record type paper has no field \"colour\""},
      {"choice 1 value=i16:40000\n", "line 3: number 40000 is out of range"},
      // Library references the reader cannot resolve, and a model picture that is missing.
      {"section 35 [\"A.QRS\" \"B.QRS\"]\nlinked \"L.DAT\"\nfont 1 linked name=str(2 5)\n",
       "record font 1 (line 5): field name: str(2 5) lies in the linked database"},
      {"section 35 [\"A.QRS\"]\nlist 8 name=str(2 5)\n", "str(2 5) names string library 2, but section 35 lists 1"},
      {"list 8 name=str(1 5)\n", "names string library 1, but section 35 lists 0"},
      {"section 1 7\n", "section 1 names picture 7, which does not exist"},
      // Pictures, paper-source attributes and list types the reader would misread.
      {"picture 1 width=1 height=1 bitmap=hex:424D0000000000000000000000000000\n", "picture kind must be 1 or 2"},
      {"picture 1 kind=3 width=1 height=1 bitmap=hex:424D0000000000000000000000000000\n", "picture kind must be 1 or 2"},
      {"sizerange 1\nsizerange 2\npaper 9 size=1 limits=1 margins=1\nsource 1 range=2 papers=[9] attributes=[4]\n",
       "paper attribute 4 is not 0 to 3"},
      {"sizerange 1\nsizerange 2\npaper 9 size=1 limits=1 margins=1\nsource 1 range=2 papers=[9] attributes=[1 2]\n",
       "more attributes than papers"},
      {"flaglist 16\n", "a flaglist key must be a flag item"},
      {"list 4100\n", "items 4097 to 4362 keep their choices in a flaglist"},
      // Array numbers that do not fit their elements.
      {"array 1 type=2 size=1 values=[256]\n", "array value 256 does not fit an element of 1 byte(s)"},
      {"array 1 type=2 size=2 values=[-32769]\n", "array value -32769 does not fit an element of 2 byte(s)"},
  };
  for (const auto& c : cases) {
    DddImage image;
    std::string error;
    EXPECT_FALSE(BuildDddImageFromText(head + c.body, &image, &error)) << c.body;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.body << " gave: " << error;
  }
  DddImage image;
  std::string error;
  EXPECT_FALSE(BuildDddImageFromText("model \"M\"\nversion \"V:256.0.0\"\n", &image, &error));
  EXPECT_NE(error.find("version text"), std::string::npos) << error;
  // A NUL inside the version text would cut it short for every reader.
  EXPECT_FALSE(BuildDddImageFromText("model \"M\"\nversion \"V:1.2.3\\x00x\"\n", &image, &error));
  EXPECT_NE(error.find("version text"), std::string::npos) << error;
}

// A model may include files relative to itself, and positional records (choices, rules) may be
// named: a name stands for the record's position wherever it is used, so that files written
// apart can add choices without agreeing on numbers.
TEST(DddTool, IncludesAndNamedKeys) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("dddtool-include-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir / "parts");
  auto write = [&](const char* name, const std::string& text) { std::ofstream(dir / name) << text; };
  write("parts/zoom.txt", "list 263 name=\"Zoom\" kind=4 default=1 choices=[@zoomLow @zoomHigh]\n"
                          "choice @zoomLow value=i16:25\nchoice @zoomHigh value=i16:400\n");
  write("parts/bad.txt", "choice @bad value=i16:1\nlist 8 choices=[@missing]\n");
  write("parts/self.txt", "include \"self.txt\"\n");
  const std::string head = "model \"M\"\nversion \"V:1.2.3\"\nchoice 1 value=i16:1\n";

  DddModel named, numbered;
  std::string error;
  ASSERT_TRUE(ParseDddModel(head + "include \"parts/zoom.txt\"\n", dir.string(), &named, &error)) << error;
  ASSERT_TRUE(ParseDddModel(head + "list 263 name=\"Zoom\" kind=4 default=1 choices=[2 3]\n"
                                   "choice 2 value=i16:25\nchoice 3 value=i16:400\n",
                            dir.string(), &numbered, &error))
      << error;
  DddImage a, b;
  ASSERT_TRUE(BuildDddImage(named, &a, &error)) << error;
  ASSERT_TRUE(BuildDddImage(numbered, &b, &error)) << error;
  EXPECT_EQ(a.main, b.main) << "names stand for the positions the numbers give";

  const struct {
    std::string body;
    const char* message;
  } refused[] = {
      {"include \"parts/bad.txt\"\n", "parts/bad.txt line 2: unknown key name @missing"},
      {"include \"parts/self.txt\"\n", "includes nest too deep"},
      {"include \"parts/none.txt\"\n", "line 4: cannot read file"},
      {"choice @x value=i16:1\nchoice @x value=i16:2\n", "line 5: key name @x given twice"},
  };
  for (const auto& c : refused) {
    DddModel model;
    EXPECT_FALSE(ParseDddModel(head + c.body, dir.string(), &model, &error)) << c.body;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.body << " gave: " << error;
  }
  std::filesystem::remove_all(dir);
}

TEST(DddTool, LinkedDatabaseMayNotHaveTheOutputsName) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("dddtool-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "m.txt") << "model \"M\"\nversion \"V:1.2.3\"\nlinked \"out.ddd\"\n";
  const std::string tool = std::string(QV_DRIVER_DIR) + "/dddtool";
  const std::string command = tool + " build " + (dir / "m.txt").string() + " -o " + (dir / "OUT.DDD").string() + " 2>/dev/null";
  EXPECT_NE(std::system(command.c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "OUT.DDD"));
  std::filesystem::remove_all(dir);
}

// Model files are UTF-8; their texts are stored in the model's code page (1252 unless a
// "codepage" line names another), and a text the code page cannot hold is refused.
TEST(DddTool, TextsAreStoredInTheModelsCodePage) {
  struct Case {
    std::string model;
    std::string stored;  // the name's bytes in the database, empty when refused
  } const cases[] = {
      {"list 8 name=\"Caf\xC3\xA9 \xE2\x82\xAC\"\n", "Caf\xE9 \x80"},
      {"codepage 932\nlist 8 name=\"\xE6\x97\xA5\xE6\x9C\xAC\"\n", "\x93\xFA\x96\x7B"},
      {"list 8 name=\"\xE6\x97\xA5\"\n", ""},        // not in code page 1252
      {"list 8 name=\"\xC3\"\n", ""},                  // not UTF-8
      {"codepage 437\nlist 8 name=\"x\"\n", ""},      // not a code page the driver reads
      {"list 8 name=\"\\xE9\"\n", "\xE9"},             // an escape is the byte it names
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    DddImage image;
    std::string error;
    const bool built = BuildDddImageFromText("model \"M\"\nversion \"V:1.2.3\"\n" + c.model, &image, &error);
    ASSERT_EQ(built, !c.stored.empty()) << error;
    if (!built) continue;
    DddModel model;
    ASSERT_TRUE(DecodeDddImage(image.main, nullptr, &model, &error)) << error;
    ASSERT_EQ(model.records.size(), 1u);
    EXPECT_EQ(model.records[0].fields[0].text.text, c.stored);
  }
}

TEST(DddTool, VersionTextMayFillItsWholeField) {
  const std::string version = "ABCDEFGHIJKLMNOPQ:1.2.33";  // 24 characters, no terminator
  ASSERT_EQ(version.size(), DDD_VERSION_TEXT_SIZE);
  DddImage image;
  std::string error;
  ASSERT_TRUE(BuildDddImageFromText("model \"M\"\nversion \"" + version + "\"\n", &image, &error)) << error;
  DddModel model;
  ASSERT_TRUE(DecodeDddImage(image.main, nullptr, &model, &error)) << error;
  EXPECT_EQ(model.version, version);
}

}  // namespace
