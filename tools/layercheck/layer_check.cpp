#include "layer_check.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string_view>

namespace fs = std::filesystem;

namespace {

// A tree the check reads, and the other trees its files may include.
struct TreeRule {
  std::string_view tree;
  std::vector<std::string_view> mayInclude;
};

// The trees from the ground up: the platform layer stands alone; the core builds on the platform
// and the item tables; the modules build on what lies below them and never on each other.
const std::vector<TreeRule> kTrees = {
    {"platform", {}},
    {"core", {"platform", "items"}},
    {"scanner", {"platform"}},
    {"ui", {"platform", "items", "core"}},
    {"graphics", {"platform", "items", "core"}},
};

// Trees whose files are product code: they include neither test-control headers nor the
// platform's umbrella header.
constexpr std::string_view kProductTrees[] = {"core", "scanner", "ui", "graphics"};
// The comment that marks an include against its tree's order as a known exception; the text
// after it says why. Such an include is left out of the order and circle checks.
constexpr std::string_view kUpwardMark = "// up:";
constexpr std::string_view kUmbrellaHeader = "platform/platform.h";
constexpr std::string_view kSimSuffix = "_sim.h";

struct Include {
  std::string from;  // the including file, from the root
  std::string to;    // the included file, from the root
  bool upward;       // marked as a known exception to the order (kUpwardMark)
};

struct Tree {
  std::string name;
  std::vector<std::string> layers;  // folders from the root, lowest first
  std::vector<std::string> files;   // sources from the root, sorted
};

bool IsSource(const fs::path& path) {
  const std::string ext = path.extension().string();
  return ext == ".h" || ext == ".cpp" || ext == ".c" || ext == ".inc";
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::string FolderOf(const std::string& file) {
  const size_t slash = file.rfind('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

std::string TopOf(const std::string& path) { return path.substr(0, path.find('/')); }

// The folders of the README's "## Layers" section, in order; empty when it has none.
std::vector<std::string> ReadLayers(const fs::path& readme) {
  std::ifstream in(readme);
  std::vector<std::string> layers;
  static const std::regex kItem(R"(^\s*(?:[-*]|\d+\.)\s+`([^`]+)`)");
  bool inSection = false;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("## ")) {
      inSection = line.starts_with("## Layers");
      continue;
    }
    std::smatch match;
    if (!inSection || !std::regex_search(line, match, kItem)) continue;
    std::string folder = match[1].str();
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    layers.push_back(folder);
  }
  return layers;
}

// The layer that holds the folder: the longest listed folder that is it or holds it, where the
// tree's own folder holds only the files directly in it. -1 for none.
int LayerOf(const Tree& tree, const std::string& folder) {
  int best = -1;
  size_t bestLength = 0;
  for (size_t i = 0; i < tree.layers.size(); ++i) {
    const std::string& layer = tree.layers[i];
    const bool holds = folder == layer || (layer != tree.name && folder.starts_with(layer + "/"));
    if (holds && layer.size() >= bestLength) {
      best = static_cast<int>(i);
      bestLength = layer.size();
    }
  }
  return best;
}

// The file an include names, from the root: the path as written when it exists from the root,
// else beside the including file.
std::string ResolveInclude(const fs::path& root, const std::string& from, const std::string& written) {
  if (fs::exists(root / written)) return fs::path(written).lexically_normal().generic_string();
  const fs::path beside = fs::path(FolderOf(from)) / written;
  if (fs::exists(root / beside)) return beside.lexically_normal().generic_string();
  return fs::path(written).lexically_normal().generic_string();
}

std::vector<Include> ReadIncludes(const fs::path& root, const std::string& file) {
  static const std::regex kInclude(R"re(^\s*#\s*include\s*"([^"]+)"\s*(.*)$)re");
  std::ifstream in(root / file);
  std::vector<Include> includes;
  for (std::string line; std::getline(in, line);) {
    std::smatch match;
    if (std::regex_search(line, match, kInclude))
      includes.push_back({file, ResolveInclude(root, file, match[1].str()), match[2].str().starts_with(kUpwardMark)});
  }
  return includes;
}

std::vector<std::string> ListSources(const fs::path& root, const std::string& tree) {
  std::vector<std::string> files;
  if (!fs::is_directory(root / tree)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root / tree)) {
    if (entry.is_regular_file() && IsSource(entry.path()))
      files.push_back(fs::relative(entry.path(), root).generic_string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Folders that include each other through any chain: the strongly connected components of the
// folder graph with more than one folder (Tarjan's algorithm).
std::vector<std::vector<std::string>> FindCircles(const std::map<std::string, std::set<std::string>>& edges) {
  std::map<std::string, int> index, low;
  std::set<std::string> onStack;
  std::vector<std::string> stack;
  std::vector<std::vector<std::string>> circles;
  int next = 0;
  std::function<void(const std::string&)> visit = [&](const std::string& node) {
    index[node] = low[node] = next++;
    stack.push_back(node);
    onStack.insert(node);
    if (auto it = edges.find(node); it != edges.end()) {
      for (const std::string& to : it->second) {
        if (!index.contains(to)) {
          visit(to);
          low[node] = std::min(low[node], low[to]);
        } else if (onStack.contains(to)) {
          low[node] = std::min(low[node], index[to]);
        }
      }
    }
    if (low[node] != index[node]) return;
    std::vector<std::string> component;
    std::string member;
    do {
      member = stack.back();
      stack.pop_back();
      onStack.erase(member);
      component.push_back(member);
    } while (member != node);
    if (component.size() > 1) {
      std::sort(component.begin(), component.end());
      circles.push_back(component);
    }
  };
  for (const auto& [node, targets] : edges) {
    if (!index.contains(node)) visit(node);
  }
  std::sort(circles.begin(), circles.end());
  return circles;
}

void CheckOrder(const std::vector<Tree>& trees, const std::vector<Include>& includes, std::vector<std::string>& faults) {
  std::map<std::string, const Tree*> byName;
  for (const Tree& tree : trees) byName[tree.name] = &tree;
  for (const Tree& tree : trees) {
    if (tree.layers.empty()) continue;
    std::set<std::string> unplaced;
    for (const std::string& file : tree.files) {
      if (LayerOf(tree, FolderOf(file)) < 0) unplaced.insert(FolderOf(file));
    }
    for (const std::string& folder : unplaced)
      faults.push_back(folder + "/ is in no layer of " + tree.name + "/README.md");
  }
  for (const Include& include : includes) {
    const Tree& tree = *byName.at(TopOf(include.from));
    const std::string target = TopOf(include.to);
    if (target != tree.name) {
      const auto& rule = *std::find_if(kTrees.begin(), kTrees.end(), [&](const TreeRule& r) { return r.tree == tree.name; });
      const bool allowed = std::find(rule.mayInclude.begin(), rule.mayInclude.end(), target) != rule.mayInclude.end();
      if (!allowed && include.to.find('/') != std::string::npos)
        faults.push_back(include.from + " includes " + include.to + ": " + tree.name + "/ does not build on " + target + "/");
      continue;
    }
    const int from = LayerOf(tree, FolderOf(include.from));
    const int to = LayerOf(tree, FolderOf(include.to));
    if (from >= 0 && to > from && !include.upward)
      faults.push_back(include.from + " includes " + include.to + ": layer " + tree.layers[from] + "/ lies below " +
                       tree.layers[to] + "/ (" + tree.name + "/README.md)");
  }
}

void CheckCircles(const std::vector<Include>& includes, std::vector<std::string>& faults) {
  std::map<std::string, std::set<std::string>> edges;
  std::map<std::pair<std::string, std::string>, const Include*> example;
  for (const Include& include : includes) {
    const std::string from = FolderOf(include.from), to = FolderOf(include.to);
    if (from == to || include.upward || !std::any_of(kTrees.begin(), kTrees.end(), [&](const TreeRule& r) { return r.tree == TopOf(to); }))
      continue;
    edges[from].insert(to);
    example.try_emplace({from, to}, &include);
  }
  for (const std::vector<std::string>& circle : FindCircles(edges)) {
    std::ostringstream line;
    line << "folders include each other:";
    const std::set<std::string> members(circle.begin(), circle.end());
    for (const std::string& from : circle) {
      for (const std::string& to : edges[from]) {
        if (!members.contains(to)) continue;
        const Include& include = *example.at({from, to});
        line << " " << from << "/ -> " << to << "/ (" << include.from << " includes " << include.to << ");";
      }
    }
    std::string text = line.str();
    text.pop_back();
    faults.push_back(text);
  }
}

void CheckCoreFolderSizes(const fs::path& root, std::vector<std::string>& faults) {
  if (!fs::is_directory(root / "core")) return;
  std::map<std::string, int> counts;
  for (const auto& entry : fs::recursive_directory_iterator(root / "core")) {
    if (entry.is_regular_file()) ++counts[fs::relative(entry.path().parent_path(), root).generic_string()];
  }
  for (const auto& [folder, count] : counts) {
    if (count > kCoreFolderFileLimit)
      faults.push_back(folder + "/ holds " + std::to_string(count) + " files, more than " +
                       std::to_string(kCoreFolderFileLimit));
  }
}

void CheckTestHeaders(const std::vector<Include>& includes, std::vector<std::string>& faults) {
  for (const Include& include : includes) {
    const bool product = std::find(std::begin(kProductTrees), std::end(kProductTrees), TopOf(include.from)) !=
                         std::end(kProductTrees);
    const bool simTarget = EndsWith(include.to, kSimSuffix);
    if (product && (simTarget || include.to == kUmbrellaHeader)) {
      faults.push_back(include.from + " includes " + include.to + ": product code includes the service headers it uses");
    } else if (EndsWith(include.from, kSimSuffix) && simTarget && FolderOf(include.from) != FolderOf(include.to)) {
      faults.push_back(include.from + " includes " + include.to + ": a test-control header includes another service's");
    }
  }
}

}  // namespace

std::vector<std::string> CheckLayers(const fs::path& root) {
  std::vector<std::string> faults;
  std::vector<Tree> trees;
  std::vector<Include> includes;
  for (const TreeRule& rule : kTrees) {
    Tree tree{std::string(rule.tree), ReadLayers(root / rule.tree / "README.md"), ListSources(root, std::string(rule.tree))};
    if (tree.files.empty()) continue;
    if (tree.layers.empty()) faults.push_back(tree.name + "/README.md names no layers (a \"## Layers\" list)");
    for (const std::string& file : tree.files) {
      for (Include& include : ReadIncludes(root, file)) includes.push_back(std::move(include));
    }
    trees.push_back(std::move(tree));
  }
  CheckOrder(trees, includes, faults);
  CheckCircles(includes, faults);
  CheckCoreFolderSizes(root, faults);
  CheckTestHeaders(includes, faults);
  return faults;
}
