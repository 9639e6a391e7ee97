// Preset favourites made from the model's list 36888, and favourites loaded back, also after
// the model changed and from damaged stored values.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <regex>
#include <string>

#include "core/descriptors/item_defaults.h"
#include "core/persist/favorites.h"
#include "core/store/printer_id.h"
#include "core/store/user_store.h"
#include "items/item_ids.h"
#include "platform/registry/registry_sim.h"
#include "platform/user/format.h"
#include "tests/support/conversion_fixture.h"
#include "tests/support/model_files.h"
#include "tests/support/printer_fixture.h"

namespace {

using namespace printer_test;

constexpr WORD kCapacity = 27;  // the sample's four choices + 23

class FavoritePresets : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    AddPrinter(u"P1");
    printer_ = Open(u"P1");
    store_ = OpenItemStore(printer_);
    ASSERT_NE(store_, nullptr);
    ASSERT_TRUE(ApplyDataFileDefaults(store_, current_.get(), config_.get(), u"P1"));
  }
  void TearDown() override {
    if (store_ != nullptr) CloseItemStore(store_);
    PrinterTest::TearDown();
  }

  // The "Favorite" key as stored, each record shown by its size only.
  std::string DumpFavorites() {
    BYTE id[16];
    EXPECT_EQ(ReadPrinterId(printer_, id), 1);
    WCHAR path[kUserKeyPathChars];
    EXPECT_TRUE(BuildUserKeyPath(kSampleUserBase.c_str(), id, u"Favorite", path, kUserKeyPathChars));
    const std::string dump = SimRegistryDump(HKEY_CURRENT_USER, path);
    const std::string prefix = Utf8(kSampleUserBase);
    std::string shown = std::regex_replace(dump, std::regex("\"DEVMODE\" = REG_BINARY [0-9a-f ]*"), "\"DEVMODE\" = record");
    return std::regex_replace(shown, std::regex("\\[HKEY_CURRENT_USER\\\\[^\\]]*\\\\Favorite"), "[Favorite");
  }

  int Load(WORD number, SettingsRecord* record, std::u16string* name = nullptr, std::u16string* comment = nullptr,
           DWORD* flag = nullptr) {
    WCHAR n[kFavoriteNameChars] = u"unchanged", c[kFavoriteCommentChars] = u"unchanged";
    const int loaded = LoadFavorite(printer_, current_.get(), config_.get(), number, record, n, c, flag, kCapacity);
    if (name != nullptr) *name = n;
    if (comment != nullptr) *comment = c;
    return loaded;
  }

  HANDLE printer_ = nullptr;
  ItemStore* store_ = nullptr;
  std::unique_ptr<SettingsRecord> current_ = std::make_unique<SettingsRecord>();
  std::unique_ptr<PrinterConfiguration> config_ = std::make_unique<PrinterConfiguration>();
};

TEST_F(FavoritePresets, EveryChoiceButTheFirstBecomesAPresetOfDefaultsAndItsValues) {
  WORD list[kCapacity];
  BYTE position = 7;
  ASSERT_EQ(CreatePresetFavorites(printer_, store_, u"P1", list, &position, kCapacity), 1);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(std::vector<WORD>(list, list + 4), (std::vector<WORD>{2, 3, 4, 0}));
  EXPECT_EQ(DumpFavorites(),
            "[Favorite]\n"
            "\"UserIndex\" = REG_BINARY 02 00 03 00 04 00 00 00\n"
            "[Favorite\\UserSel02]\n"
            "\"DEVMODE\" = record\n"
            "\"Name\" = REG_SZ \"Standard\"\n"
            "\"Comment\" = REG_SZ \"Everyday printing\"\n"
            "\"Flag\" = REG_DWORD 0x00000000\n"
            "[Favorite\\UserSel03]\n"
            "\"DEVMODE\" = record\n"
            "\"Name\" = REG_SZ \"Eco: Two-sided Grayscale\"\n"
            "\"Comment\" = REG_SZ \"Saves paper and toner\"\n"
            "\"Flag\" = REG_DWORD 0x00000000\n"
            "[Favorite\\UserSel04]\n"
            "\"DEVMODE\" = record\n"
            "\"Name\" = REG_SZ \"Stapled Report\"\n"
            "\"Comment\" = REG_SZ \"\"\n"
            "\"Flag\" = REG_DWORD 0x00000000\n");
  // Each record is the defaults with its preset's values.
  struct Case {
    WORD number;
    SettingItemId item;
    DWORD value;
  } const cases[] = {{2, 16, 1}, {2, 270, 0}, {3, 16, 2},  {3, 270, 1},
                     {4, 16, 2}, {4, 320, 1}, {4, 386, 2}, {4, 270, ItemOf(current_.get(), nullptr, kItemColorMode)}};
  auto record = std::make_unique<SettingsRecord>();
  for (const Case& c : cases) {
    ASSERT_EQ(Load(c.number, record.get()), 1) << c.number;
    EXPECT_EQ(ItemOf(record.get(), nullptr, c.item), c.value) << c.number << " item " << c.item;
    EXPECT_EQ(TextOf(record.get(), kItemDeviceName), u"P1");
  }
}

TEST_F(FavoritePresets, IndexKeepsRoomForItsEnd) {
  WORD list[3];
  BYTE position;
  ASSERT_EQ(CreatePresetFavorites(printer_, store_, u"P1", list, &position, 3), 1);
  EXPECT_EQ(std::vector<WORD>(list, list + 3), (std::vector<WORD>{2, 3, 0}));
  EXPECT_EQ(DumpFavorites().find("UserSel04"), std::string::npos) << "no preset beyond the index";
}

// A favourite saved for another model: a preset is made again for this model, a user's own
// favourite (or a preset this model lacks) is not loaded.
TEST_F(FavoritePresets, FavoriteOfAnotherModelRecreatesThePresets) {
  WORD list[kCapacity];
  BYTE position;
  ASSERT_EQ(CreatePresetFavorites(printer_, store_, u"P1", list, &position, kCapacity), 1);
  auto other = std::make_unique<SettingsRecord>(*current_);
  PutText(other.get(), kItemModelName, u"Qorvex QX-2000");
  PutItem(other.get(), nullptr, kItemDuplex, 3);
  const DWORD preset = 0, own = 1;
  ASSERT_EQ(SaveFavorite(printer_, 2, other.get(), u"Old preset", u"", &preset), 1);
  ASSERT_EQ(SaveFavorite(printer_, 7, other.get(), u"Mine", u"", &own), 1);
  ASSERT_EQ(SaveFavorite(printer_, 9, other.get(), u"Old fourth preset", u"", &preset), 1);
  const WORD index[] = {2, 7, 9};
  ASSERT_EQ(SaveFavoriteIndex(printer_, index, 3), 1);

  auto record = std::make_unique<SettingsRecord>();
  std::u16string name;
  DWORD flag = 5;
  ASSERT_EQ(Load(2, record.get(), &name, nullptr, &flag), 1);
  EXPECT_EQ(name, u"Standard");
  EXPECT_EQ(flag, 0u);
  EXPECT_EQ(TextOf(record.get(), kItemModelName), u"Qorvex QX-4500");
  EXPECT_EQ(ItemOf(record.get(), nullptr, kItemDuplex), 1u) << "the preset's value, not the other model's";
  WORD read[8];
  EXPECT_EQ(LoadFavoriteIndex(printer_, read, 8), 3);
  EXPECT_EQ(std::vector<WORD>(read, read + 4), (std::vector<WORD>{2, 3, 4, 0}));

  ASSERT_EQ(SaveFavorite(printer_, 2, other.get(), nullptr, nullptr, nullptr), 1);
  for (WORD number : {7, 9}) {
    record->bytes[0] = 0xAB;
    name = u"";
    EXPECT_EQ(Load(number, record.get(), &name), 0) << number;
    EXPECT_EQ(record->bytes[0], 0xAB) << "outputs unchanged";
    EXPECT_EQ(name, u"unchanged");
  }
}

// Stored values are taken only in their own type and size.
TEST_F(FavoritePresets, DamagedStoredValuesAreRefused) {
  const DWORD own = 1;
  ASSERT_EQ(SaveFavorite(printer_, 4, current_.get(), u"Mine", u"Note", &own), 1);
  auto record = std::make_unique<SettingsRecord>();
  std::u16string name, comment;
  DWORD flag = 0;
  ASSERT_EQ(Load(4, record.get(), &name, &comment, &flag), 1);
  EXPECT_EQ(name, u"Mine");
  EXPECT_EQ(comment, u"Note");
  EXPECT_EQ(flag, 1u);

  const std::u16string longName(kFavoriteNameChars, u'x');  // one more than the room
  struct Case {
    const char16_t* value;
    DWORD type;
    DWORD size;
  } const cases[] = {
      {u"DEVMODE", REG_BINARY, sizeof(SettingsRecord) - 1},
      {u"DEVMODE", REG_SZ, 64},
      {u"Flag", REG_DWORD, 2},
      {u"Flag", REG_BINARY, 4},
      {u"Name", REG_BINARY, 10},
      {u"Name", REG_SZ, DWORD(2 * longName.size() + 2)},
      {u"Name", REG_SZ, DWORD(2 * longName.size())},  // no terminator: still one too many
      {u"Comment", REG_DWORD, 4},
  };
  std::vector<BYTE> bytes(sizeof(SettingsRecord));
  std::memcpy(bytes.data(), current_.get(), bytes.size());
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.value) + " " + std::to_string(c.type) + " " + std::to_string(c.size));
    ASSERT_EQ(SaveFavorite(printer_, 4, current_.get(), u"Mine", u"Note", &own), 1);
    const void* data = c.type == REG_SZ && c.size != 64 ? static_cast<const void*>(longName.c_str()) : bytes.data();
    ASSERT_EQ(WriteUserValue(printer_, data, c.size, c.type, u"Favorite\\UserSel04", c.value), 1);
    flag = 9;
    EXPECT_EQ(Load(4, record.get(), &name, &comment, &flag), 0);
    EXPECT_EQ(flag, 9u);
  }
}

// The sample model with another favourites list, built in-process: choices 109-111 are
// added behind the sample's own (105-108), with a fourth preset record.
const char kExtraChoices[] = R"(choice 115 name="Night\x0Dshift\x0DQuiet and slow" reftype=21 refkey=1
choice 116 name="No preset record"
choice 117 name="Tone" reftype=21 refkey=4
preset 4 linked name="Tone" entries=[(16 str:"two")]
)";

ItemStore* OpenSampleWithFavoritesList(const std::string& choices) {
  std::ifstream in(QV_SOURCE_DIR "/models/sample.txt", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string list = "choices=[108 105 106 107]";
  const size_t at = text.find(list);
  EXPECT_NE(at, std::string::npos);
  text.replace(at, list.size(), "choices=[" + choices + "]");
  const std::string last = "choice 114 name=\"32\" value=u16:32\n";  // the sample's last choice
  const size_t after = text.find(last);
  EXPECT_NE(after, std::string::npos);
  text.insert(after + last.size(), kExtraChoices);
  DddModel model;
  DddImage image;
  std::string error;
  EXPECT_TRUE(ParseDddModel(text, QV_SOURCE_DIR "/models", &model, &error) && BuildDddImage(model, &image, &error))
      << error;
  return OpenItemStoreAtPath(InstallModelImage(image, u"ODD.DDD", u"QX4500.DAT").c_str());
}

TEST_F(FavoritePresets, PresetListsOfOddModels) {
  struct Case {
    const char* choices;
    int result;
    const char* favorites;  // name|comment| of favourites 2 and 3
    WORD indexed;
  } const cases[] = {
      // split at the last CR; the first choice is no preset
      {"108 115 106", 1, "Night\rshift|Quiet and slow|Eco: Two-sided Grayscale|Saves paper and toner|", 2},
      {"108", 1, "", 0},                                            // one choice: an empty index
      {"108 115 116 106", 0, "Night\rshift|Quiet and slow|", 0},  // a choice naming no preset fails
      {"108 117 105", 0, "", 0},                                    // a value its item refuses
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.choices);
    DeleteUserKey(printer_, u"Favorite\\UserSel02");
    DeleteUserKey(printer_, u"Favorite\\UserSel03");
    DeleteUserKey(printer_, u"Favorite");
    ItemStore* odd = OpenSampleWithFavoritesList(c.choices);
    ASSERT_NE(odd, nullptr);
    WORD list[8];
    BYTE position;
    EXPECT_EQ(CreatePresetFavorites(printer_, odd, u"P1", list, &position, 8), c.result);
    CloseItemStore(odd);
    std::string names;
    for (WORD n = 2; n <= 3; ++n) {
      WCHAR name[kFavoriteNameChars], comment[kFavoriteCommentChars];
      DWORD size = sizeof name;
      WCHAR key[32];
      wsprintfW(key, u"Favorite\\UserSel%02d", int(n));
      if (ReadUserValue(printer_, name, &size, REG_SZ, key, u"Name") != kUserValueRead) continue;
      size = sizeof comment;
      ASSERT_EQ(ReadUserValue(printer_, comment, &size, REG_SZ, key, u"Comment"), kUserValueRead);
      names += Utf8(name) + "|" + Utf8(comment) + "|";
    }
    EXPECT_EQ(names, c.favorites);
    WORD index[8] = {9};
    EXPECT_EQ(LoadFavoriteIndex(printer_, index, 8), c.indexed);
  }
}

}  // namespace
