// dddtool build MODEL.txt -o NAME.DDD   writes NAME.DDD and, when the model names one, its
//                                       linked database beside it
// dddtool dump NAME.DDD                 prints the database (and its linked one) as a text model
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/kernel/files.h"
#include "tools/dddtool/ddd_model.h"

namespace {

bool ReadFile(const std::filesystem::path& path, std::vector<std::uint8_t>* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool SameFileName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

int Usage() {
  std::fprintf(stderr, "usage: dddtool build MODEL.txt -o NAME.DDD\n       dddtool dump NAME.DDD\n");
  return 2;
}

int Build(const std::filesystem::path& modelPath, const std::filesystem::path& outPath) {
  std::vector<std::uint8_t> text;
  if (!ReadFile(modelPath, &text)) {
    std::fprintf(stderr, "dddtool: cannot read %s\n", modelPath.c_str());
    return 1;
  }
  DddModel model;
  DddImage image;
  std::string error;
  std::string base = modelPath.parent_path().empty() ? "." : modelPath.parent_path().string();
  if (!ParseDddModel(std::string(text.begin(), text.end()), base, &model, &error) || !BuildDddImage(model, &image, &error)) {
    std::fprintf(stderr, "%s: %s\n", modelPath.c_str(), error.c_str());
    return 1;
  }
  // The linked database lies beside the main one; under the same name (names compare without
  // case, as the driver's platform compares them) it would overwrite it.
  if (!model.linkedName.empty() && SameFileName(model.linkedName, outPath.filename().string())) {
    std::fprintf(stderr, "%s: the linked database \"%s\" has the output's own name\n", modelPath.c_str(),
                 model.linkedName.c_str());
    return 1;
  }
  if (!WriteFile(outPath, image.main)) {
    std::fprintf(stderr, "dddtool: cannot write %s\n", outPath.c_str());
    return 1;
  }
  if (!model.linkedName.empty()) {
    std::filesystem::path linked = outPath.parent_path() / model.linkedName;
    if (!WriteFile(linked, image.linked)) {
      std::fprintf(stderr, "dddtool: cannot write %s\n", linked.c_str());
      return 1;
    }
  }
  return 0;
}

int Dump(const std::filesystem::path& path) {
  std::vector<std::uint8_t> main, linked;
  if (!ReadFile(path, &main)) {
    std::fprintf(stderr, "dddtool: cannot read %s\n", path.c_str());
    return 1;
  }
  // The linked database's name is in the header; it lies beside the main file.
  std::string linkedName;
  if (main.size() >= DDD_HEADER_SIZE)
    for (std::uint32_t i = 0; i < DDD_HEADER_TEXT_SIZE && main[DDD_LINKED_NAME_OFFSET + i]; ++i)
      linkedName += static_cast<char>(main[DDD_LINKED_NAME_OFFSET + i]);
  if (!linkedName.empty() && !ReadFile(path.parent_path() / linkedName, &linked)) {
    std::fprintf(stderr, "dddtool: cannot read the linked database %s\n", (path.parent_path() / linkedName).c_str());
    return 1;
  }
  DddModel model;
  std::string error;
  if (!DecodeDddImage(main, linkedName.empty() ? nullptr : &linked, &model, &error)) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
    return 1;
  }
  std::fputs(FormatDddModel(model).c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string verb = argc > 1 ? argv[1] : "";
  if (verb == "build" && argc == 5 && std::string(argv[3]) == "-o") return Build(argv[2], argv[4]);
  if (verb == "dump" && argc == 3) return Dump(argv[2]);
  return Usage();
}
