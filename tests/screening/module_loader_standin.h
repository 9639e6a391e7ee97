// Stand-in for loading the screening module by name until the platform layer's module
// loader exists: opens the module from the driver directory, runs its attach entry like the
// loader will, and looks its exports up by name.
#pragma once

#include <dlfcn.h>

#include <string>

#include "platform/base/types.h"

class ModuleLoaderStandin {
 public:
  explicit ModuleLoaderStandin(const char* fileName) {
    const std::string path = std::string(QV_DRIVER_DIR) + "/" + fileName;
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (auto* dllMain = reinterpret_cast<BOOL (*)(HINSTANCE, DWORD, LPVOID)>(Find("DllMain")))
      dllMain(reinterpret_cast<HINSTANCE>(handle_), 1, nullptr);
  }
  ~ModuleLoaderStandin() {
    if (handle_) dlclose(handle_);
  }
  ModuleLoaderStandin(const ModuleLoaderStandin&) = delete;
  ModuleLoaderStandin& operator=(const ModuleLoaderStandin&) = delete;

  bool Loaded() const { return handle_ != nullptr; }
  void* Find(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

 private:
  void* handle_ = nullptr;
};
