// Models built in-process for tests: the model text compiled with the model builder and its
// databases written into the sandbox's C:\models folder, where an item store can open them.
// Tests that use it link the builder (dddmodel).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/store/item_store.h"
#include "platform/platform.h"
#include "tools/dddtool/ddd_model.h"

// The model's databases; a build error fails the test and gives empty ones.
inline DddImage BuildModelImage(const std::string& text) {
  DddImage image;
  std::string error;
  EXPECT_TRUE(BuildDddImageFromText(text, &image, &error)) << error;
  return image;
}

// Writes the main database as C:\models\<name> and, when a name is given, the linked one
// beside it; answers the main database's platform path.
inline std::u16string InstallModelImage(const DddImage& image, const std::u16string& name,
                                        const std::u16string& linkedName = u"") {
  CreateDirectoryW(u"C:\\models", nullptr);
  const std::u16string path = u"C:\\models\\" + name;
  auto write = [](const std::u16string& to, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(SimHostPath(to.c_str()), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  write(path, image.main);
  if (!linkedName.empty()) write(u"C:\\models\\" + linkedName, image.linked);
  return path;
}

// One change of the sample model's text: `from` must stand in it and its first place becomes `to`.
struct ModelTextEdit {
  std::string from;
  std::string to;
};

// The sample model (models/sample.txt) with the edits made in order, built against the sample's
// folder and installed as C:\models\QX4500.DDD (or under the name given) with its linked
// database; answers the main database's path. An edit whose text is missing fails the test.
inline std::u16string InstallSampleVariant(const std::vector<ModelTextEdit>& edits,
                                           const std::u16string& name = u"QX4500.DDD") {
  std::ifstream in(QV_SOURCE_DIR "/models/sample.txt", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const ModelTextEdit& edit : edits) {
    const size_t at = text.find(edit.from);
    EXPECT_NE(at, std::string::npos) << edit.from;
    if (at != std::string::npos) text.replace(at, edit.from.size(), edit.to);
  }
  DddModel model;
  DddImage image;
  std::string error;
  EXPECT_TRUE(ParseDddModel(text, QV_SOURCE_DIR "/models", &model, &error) && BuildDddImage(model, &image, &error))
      << error;
  return InstallModelImage(image, name, u"QX4500.DAT");
}

// Builds the model text, installs it under the name and opens it (NULL on failure).
inline ItemStore* OpenModelText(const std::string& text, const std::u16string& name) {
  return OpenItemStoreAtPath(InstallModelImage(BuildModelImage(text), name).c_str());
}
