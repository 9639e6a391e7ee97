#include "graphics/imaging/color_library.h"

#include <cstring>
#include <string>

#include "core/database/database.h"
#include "core/store/item_store.h"
#include "graphics/imaging/color_converter.h"
#include "graphics/output/driver_directory.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"

namespace {
// The driver directory followed by the model's header text of the kind; empty when either
// cannot be read.
std::u16string DriverFilePath(HANDLE printer, WORD kind) {
  ItemStore* store = OpenItemStore(printer);
  if (store == nullptr) return {};
  LPWSTR text = nullptr;
  if (ReadHeaderText(store->main, kind, &text) != kDbOk) text = nullptr;
  CloseItemStore(store);
  if (text == nullptr) return {};
  std::u16string path;
  if (LPWSTR directory = GetDriverDirectory(printer); directory != nullptr) {
    path = std::u16string(directory) + text;
    GlobalFree(directory);
  }
  GlobalFree(text);
  return path;
}

template <typename Proc>
bool Take(HMODULE module, const char* name, Proc& out) {
  out = reinterpret_cast<Proc>(GetProcAddress(module, name));
  return out != nullptr;
}
}  // namespace

void BindOutsideColorLibrary(ColorConverter& c, HANDLE printer) {
  const std::u16string file = DriverFilePath(printer, kHeaderTextColorLibrary);
  if (file.empty()) return;
  HMODULE module = LoadLibraryW(file.c_str());
  if (module == nullptr) return;
  ColorLibraryEntries e{};
  const bool all = Take(module, "ZEM_LoadZEM32", e.Load) & Take(module, "ZEM_FreeZEM32", e.Free) &
                   Take(module, "ZEM_CreateParam_Begin32", e.Begin) & Take(module, "ZEM_CreateParam32", e.CreateParam) &
                   Take(module, "ZEM_CreateParam_End32", e.End) & Take(module, "ZEM_DeleteParam32", e.DeleteParam) &
                   Take(module, "ZEM_ColorConvert32", e.Convert);
  if (!all) {
    FreeLibrary(module);
    return;
  }
  c.LibraryModule = module;
  c.Library = e;
  const std::u16string data = DriverFilePath(printer, kHeaderTextColorLibraryData);
  c.LibraryHandle = e.Load(data.c_str());
}

void ReleaseOutsideColorLibrary(ColorConverter& c) {
  if (c.LibraryHandle != 0) {
    c.Library.DeleteParam(c.LibraryHandle);
    c.Library.Free(c.LibraryHandle);
  }
  c.LibraryHandle = 0;
  if (c.LibraryModule != nullptr) FreeLibrary(c.LibraryModule);
  c.LibraryModule = nullptr;
  c.Library = {};
}
