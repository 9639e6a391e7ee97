// The resource script language of qrc (README.md): compiles a script's text into a
// resource container builder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/base/types.h"
#include "tools/qrc/qrs_builder.h"

struct QrcOutcome {
  bool ok = false;
  std::string error;                       // "script:line: message" when !ok
  std::vector<std::string> dependencies;   // files the script read (for build dependencies)
};

// `scriptName` names the script in messages; files named in it are found relative to `baseDir`.
QrcOutcome CompileResourceScript(const std::string& text, const std::string& scriptName,
                                 const std::filesystem::path& baseDir, QrsBuilder& out);

// A C++ source defining the container bytes as the module's exported resource block
// (QvModuleResources and QvModuleResourcesSize, found by the module loader).
std::string EmitModuleResourceSource(const std::vector<BYTE>& container);
