// qrc SCRIPT -o OUTPUT [--module-source] [--depfile FILE]
// Compiles a resource script into a resource container file, or with --module-source into a
// C++ source that gives a module its resource block. The output is written only on success.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/base/types.h"
#include "qrc_script.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: qrc SCRIPT -o OUTPUT [--module-source] [--depfile FILE]\n");
  return 2;
}

bool WriteAtomically(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::path temp = path;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), std::streamsize(bytes.size()))) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  return !ec;
}

// Make-style dependency file; spaces in paths are escaped.
std::string DepfileText(const std::string& output, const std::string& script, const std::vector<std::string>& deps) {
  auto escape = [](const std::string& s) {
    std::string r;
    for (char c : s) {
      if (c == ' ') r.push_back('\\');
      r.push_back(c);
    }
    return r;
  };
  std::string text = escape(output) + ": " + escape(script);
  for (const auto& d : deps) text += " \\\n  " + escape(d);
  return text + "\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::string script, output, depfile;
  bool moduleSource = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-o" && i + 1 < argc) {
      output = argv[++i];
    } else if (arg == "--depfile" && i + 1 < argc) {
      depfile = argv[++i];
    } else if (arg == "--module-source") {
      moduleSource = true;
    } else if (!arg.empty() && arg[0] != '-' && script.empty()) {
      script = arg;
    } else {
      return Usage();
    }
  }
  if (script.empty() || output.empty()) return Usage();

  std::ifstream in(script, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "qrc: cannot read %s\n", script.c_str());
    return 1;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  QrsBuilder builder;
  QrcOutcome outcome = CompileResourceScript(text, script, std::filesystem::path(script).parent_path(), builder);
  if (!outcome.ok) {
    std::fprintf(stderr, "%s\n", outcome.error.c_str());
    return 1;
  }
  std::vector<BYTE> container = builder.Build();
  std::string bytes = moduleSource ? EmitModuleResourceSource(container) : std::string(container.begin(), container.end());
  if (!WriteAtomically(output, bytes) ||
      (!depfile.empty() && !WriteAtomically(depfile, DepfileText(output, script, outcome.dependencies)))) {
    std::fprintf(stderr, "qrc: cannot write %s\n", output.c_str());
    return 1;
  }
  return 0;
}
