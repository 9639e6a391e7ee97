// The engine's log, its memory blocks and palettes, colour formats, and the test control.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/engine/engine_state.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"

namespace engine {

Tables& State() {
  static Tables tables;
  return tables;
}

std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

std::string Pointer(const void* p) { return p == nullptr ? "NULL" : Format("%p", p); }

void LogDdi(const char* name, const std::string& args, const std::string& result) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  if (State().keepRecords) State().log.push_back({SimEngineCallKind::Ddi, name, args, result});
}

void LogCallback(const char* name, const std::string& args, const std::string& result) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  if (State().keepRecords) State().log.push_back({SimEngineCallKind::Callback, name, args, result});
}

void Refuse(const char* name, const std::string& args, const char* why) {
  LogCallback(name, args, std::string("refused: ") + why);
  SetLastError(ERROR_INVALID_PARAMETER);
}

ULONG RgbToDevice(COLORREF rgb, ULONG paletteMode) {
  if (paletteMode == PAL_RGB) return rgb & 0xFFFFFF;
  return (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
}

COLORREF DeviceToRgb(ULONG colour, ULONG paletteMode) {
  if (paletteMode == PAL_RGB) return colour & 0xFFFFFF;
  return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

}  // namespace engine

using namespace engine;

PVOID EngAllocMem(ULONG flags, ULONG cj, ULONG tag) {
  std::string args = Format("flags=0x%X cj=%u tag=0x%08X", flags, cj, tag);
  if (cj == 0 || SimCallFails("EngAllocMem")) {
    LogCallback("EngAllocMem", args, "NULL");
    return nullptr;
  }
  void* block = (flags & FL_ZERO_MEMORY) ? std::calloc(1, cj) : std::malloc(cj);
  if (block == nullptr) {
    LogCallback("EngAllocMem", args, "NULL");
    return nullptr;
  }
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  State().memory[block] = {cj, tag};
  LogCallback("EngAllocMem", args, Pointer(block));
  return block;
}

VOID EngFreeMem(PVOID block) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  auto found = State().memory.find(block);
  if (found == State().memory.end()) {
    Refuse("EngFreeMem", Pointer(block), "not an engine block");
    return;
  }
  State().memory.erase(found);
  // The address is logged while the block is still the caller's.
  LogCallback("EngFreeMem", Pointer(block), "");
  std::free(block);
}

HPALETTE EngCreatePalette(ULONG mode, ULONG colours, ULONG* table, FLONG red, FLONG green, FLONG blue) {
  std::string args = Format("mode=0x%X colours=%u table=%s", mode, colours, Pointer(table).c_str());
  constexpr ULONG kMaxPaletteColours = 65536;
  if (mode != PAL_INDEXED && mode != PAL_BITFIELDS && mode != PAL_RGB && mode != PAL_BGR) {
    Refuse("EngCreatePalette", args, "unknown mode");
    return nullptr;
  }
  if (mode == PAL_INDEXED && (colours == 0 || colours > kMaxPaletteColours)) {
    Refuse("EngCreatePalette", args, "indexed palette without colours");
    return nullptr;
  }
  if (SimCallFails("EngCreatePalette")) {
    LogCallback("EngCreatePalette", args, "NULL");
    return nullptr;
  }
  auto palette = std::make_unique<Palette>();
  palette->mode = mode;
  if (mode == PAL_INDEXED && table != nullptr) palette->colours.assign(table, table + colours);
  if (mode == PAL_INDEXED && table == nullptr) palette->colours.assign(colours, 0);
  if (mode == PAL_BITFIELDS) palette->colours = {red, green, blue};
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Palette* p = palette.release();
  State().palettes.insert(p);
  LogCallback("EngCreatePalette", args, Pointer(p));
  return reinterpret_cast<HPALETTE>(p);
}

BOOL EngDeletePalette(HPALETTE handle) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Palette* palette = Find(State().palettes, handle);
  if (palette == nullptr) {
    Refuse("EngDeletePalette", Pointer(handle), "not an engine palette");
    return FALSE;
  }
  State().palettes.erase(palette);
  delete palette;
  LogCallback("EngDeletePalette", Pointer(handle), "TRUE");
  return TRUE;
}

std::vector<SimEngineCall> SimEngineLog() {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  return State().log;
}

std::vector<std::string> SimEngineCallNames(SimEngineCallKind kind) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  std::vector<std::string> names;
  for (const SimEngineCall& call : State().log)
    if (call.kind == kind) names.push_back(call.name);
  return names;
}

void SimEngineLogReset() {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  State().log.clear();
}

void SimEngineKeepRecords(BOOL keep) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  State().keepRecords = keep != FALSE;
}

std::vector<std::string> SimEngineOutstandingList() {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Tables& t = State();
  std::vector<std::string> list;
  for (const auto& [block, info] : t.memory) list.push_back(Format("memory %u bytes tag 0x%08X", info.first, info.second));
  for (Surface* s : t.surfaces)
    list.push_back(Format("%s %dx%d", s->device ? "device surface" : "bitmap", s->so.sizlBitmap.cx, s->so.sizlBitmap.cy));
  for (Palette* p : t.palettes) list.push_back(Format("palette mode 0x%X", p->mode));
  for (Path* p : t.paths) list.push_back(Format("path of %zu batches%s", p->batches.size(), p->handedOut ? " (driver's)" : ""));
  for (size_t i = 0; i < t.clips.size(); ++i) list.push_back("clip");
  for (Brush* b : t.brushes) list.push_back(Format("brush with %zu realisation blocks", b->blocks.size()));
  for (size_t i = 0; i < t.xlates.size(); ++i) list.push_back("colour translation");
  for (size_t i = 0; i < t.xforms.size(); ++i) list.push_back("transform");
  for (size_t i = 0; i < t.strings.size(); ++i) list.push_back("string");
  for (size_t i = 0; i < t.fonts.size(); ++i) list.push_back("font");
  for (size_t i = 0; i < t.dcs.size(); ++i) list.push_back("device context");
  for (size_t i = 0; i < t.drivers.size(); ++i) list.push_back("loaded driver");
  return list;
}

int SimEngineOutstanding() { return static_cast<int>(SimEngineOutstandingList().size()); }

namespace {

void ResetEngine() {
  ReleaseAll();
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Tables& t = State();
  for (auto& [block, info] : t.memory) std::free(const_cast<void*>(block));
  t.memory.clear();
  for (Surface* s : t.surfaces) delete s;
  t.surfaces.clear();
  for (Palette* p : t.palettes) delete p;
  t.palettes.clear();
  for (Path* p : t.paths) delete p;
  t.paths.clear();
  for (Clip* c : t.clips) delete c;
  t.clips.clear();
  for (Brush* b : t.brushes) delete b;
  t.brushes.clear();
  for (Xlate* x : t.xlates) delete x;
  t.xlates.clear();
  for (Xform* x : t.xforms) delete x;
  t.xforms.clear();
  for (StringObj* s : t.strings) delete s;
  t.strings.clear();
  ResetFonts();
  t.log.clear();
  t.keepRecords = true;
}

const bool registered = (SimAddResetHook(&ResetEngine), true);

}  // namespace
