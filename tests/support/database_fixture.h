// Fixture for the database reader tests: a fresh sandbox, databases built in-process from text
// models (or the compiled sample in the driver directory), both streams opened and closed, and
// the sandbox's check that every block the reader handed out was given back.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "core/database/dbrecords.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/sandbox_test.h"
#include "tools/dddtool/ddd_model.h"

class DatabaseTest : public SandboxTest {
 protected:
  void TearDown() override {
    CloseDatabaseStreams(&main_, &linked_);
    SandboxTest::TearDown();
  }

  static std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }
  static std::string Narrow(LPCWSTR s) {
    std::string out;
    for (; s && *s; ++s) out += static_cast<char>(*s);
    return out;
  }

  static DddImage Build(const std::string& text) {
    DddImage image;
    std::string error;
    EXPECT_TRUE(BuildDddImageFromText(text, &image, &error)) << error;
    return image;
  }

  static void WriteHostFile(const std::u16string& platformPath, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(SimHostPath(platformPath.c_str()), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  // Writes the database (and its linked database, when the header names one) into C:\models
  // and answers the main file's platform path.
  std::u16string Install(const DddImage& image, const std::u16string& name = u"TEST.DDD") {
    CreateDirectoryW(u"C:\\models", nullptr);
    std::u16string path = u"C:\\models\\" + name;
    WriteHostFile(path, image.main);
    std::string linkedName;
    for (std::uint32_t i = 0; i < DDD_HEADER_TEXT_SIZE && image.main.size() >= DDD_HEADER_SIZE; ++i) {
      char c = static_cast<char>(image.main[DDD_LINKED_NAME_OFFSET + i]);
      if (!c) break;
      linkedName += c;
    }
    if (!linkedName.empty() && !image.linked.empty()) WriteHostFile(u"C:\\models\\" + Wide(linkedName), image.linked);
    return path;
  }

  WORD Open(const std::u16string& path) { return OpenDescriptionDatabase(path.c_str(), 0, &main_, &linked_); }
  WORD OpenText(const std::string& text) { return Open(Install(Build(text))); }

  // The sample model as the build compiled it into the driver directory.
  static std::u16string SamplePath() { return std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD"; }

  DatabaseStream main_ = {};
  DatabaseStream linked_ = {};
};

// Element i of a value: values that point into the file copy are not aligned.
template <typename T>
T ValueAt(const void* value, std::size_t i = 0) {
  T out;
  std::memcpy(&out, static_cast<const BYTE*>(value) + i * sizeof(T), sizeof(T));
  return out;
}

// Frees a record at the end of a scope.
struct RecordHolder {
  DatabaseRecord* record = nullptr;
  ~RecordHolder() { FreeRecord(&record, kDbAnyType); }
  template <typename T>
  const T* As() const {
    return reinterpret_cast<const T*>(record);
  }
};
