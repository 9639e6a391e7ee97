// Every path a README of the tree names, in backquotes or as a command of a code block, exists:
// relative to the top of the tree or to the README's own folder. Build outputs (build/...),
// platform paths and patterns (<page>, NNN, *) are not files of the tree and are left out.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct NamedPath {
  fs::path readme;
  int line;
  std::string path;
};

bool IsTreePath(const std::string& token) {
  if (token.find('/') == std::string::npos) return false;
  if (token.rfind("build/", 0) == 0 || token.rfind("/", 0) == 0 || token.find("://") != std::string::npos) return false;
  for (const char* pattern : {"<", "*", "NNN", "$", "\\", "..."})
    if (token.find(pattern) != std::string::npos) return false;
  return true;
}

// A token without the punctuation that the prose puts around it.
std::string Trimmed(std::string token) {
  while (!token.empty() && std::string("(,;:.)'\"").find(token.back()) != std::string::npos) token.pop_back();
  while (!token.empty() && std::string("('\"").find(token.front()) != std::string::npos) token.erase(0, 1);
  return token;
}

void AddTokens(const std::string& text, const fs::path& readme, int line, std::vector<NamedPath>& out) {
  size_t at = 0;
  while (at < text.size()) {
    const size_t start = text.find_first_not_of(" \t", at);
    if (start == std::string::npos) break;
    const size_t end = std::min(text.find_first_of(" \t", start), text.size());
    const std::string token = Trimmed(text.substr(start, end - start));
    if (IsTreePath(token)) out.push_back({readme, line, token});
    at = end;
  }
}

// The paths one README names: each backquoted span's words, and the first word of each line of
// an indented code block (the command it shows).
std::vector<NamedPath> NamedPaths(const fs::path& readme) {
  std::vector<NamedPath> paths;
  std::ifstream in(readme);
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    if (text.rfind("    ", 0) == 0) {
      const size_t start = text.find_first_not_of(' ');
      AddTokens(text.substr(start, text.find_first_of(" #", start) - start), readme, line, paths);
      continue;
    }
    for (size_t open = text.find('`'); open != std::string::npos;) {
      const size_t close = text.find('`', open + 1);
      if (close == std::string::npos) break;
      AddTokens(text.substr(open + 1, close - open - 1), readme, line, paths);
      open = text.find('`', close + 1);
    }
  }
  return paths;
}

std::vector<fs::path> Readmes(const fs::path& root) {
  std::vector<fs::path> readmes;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string name = it->path().filename().string();
    if (it->is_directory() && (name == "build" || name.front() == '.')) {
      it.disable_recursion_pending();
    } else if (name == "README.md") {
      readmes.push_back(it->path());
    }
  }
  return readmes;
}

TEST(ReadmePaths, EveryNamedPathExists) {
  const fs::path root = QV_SOURCE_DIR;
  const std::vector<fs::path> readmes = Readmes(root);
  ASSERT_FALSE(readmes.empty());
  for (const fs::path& readme : readmes) {
    for (const NamedPath& named : NamedPaths(readme)) {
      const bool exists = fs::exists(root / named.path) || fs::exists(readme.parent_path() / named.path);
      EXPECT_TRUE(exists) << fs::relative(readme, root).string() << ":" << named.line << " names " << named.path;
    }
  }
}

// The reader of the test above finds what it must and leaves out what is not a tree path.
TEST(ReadmePaths, ReaderTakesTreePathsOnly) {
  const fs::path file = fs::temp_directory_path() / ("readme-paths-" + std::to_string(::getpid()) + ".md");
  {
    std::ofstream out(file);
    out << "See `core/job/` and (`tools/qrc/README.md`), `qorvexui.dll`, `build/release/pages/`,\n"
           "`C:\\Windows\\Temp`, `tests/ui/pages/<page>/` and `bench/a*.cpp`.\n"
           "\n"
           "    scripts/demo    # runs the demo in build/release\n";
  }
  std::vector<std::string> found;
  for (const NamedPath& named : NamedPaths(file)) found.push_back(named.path);
  fs::remove(file);
  EXPECT_EQ(found, (std::vector<std::string>{"core/job/", "tools/qrc/README.md", "scripts/demo"}));
}

}  // namespace
