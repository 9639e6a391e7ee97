// The engine's own records behind the objects it hands to drivers, and the tables that tell a
// live object from a stale or foreign pointer. Each record starts with the interface structure
// the driver sees, so the driver's pointer is the record's address; a pointer is only read
// after the table has confirmed it.
#pragma once

#include <cstdarg>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/engine/engine.h"
#include "platform/engine/engine_host.h"
#include "platform/engine/engine_sim.h"

namespace engine {

struct Surface {
  SURFOBJ so{};
  bool device = false;
  FLONG hooks = 0;
  bool associated = false;
  std::vector<BYTE> bits;  // an engine bitmap's pixels, or a device surface's page bitmap
  int locks = 0;
};

struct Palette {
  ULONG mode = 0;
  std::vector<ULONG> colours;
};

struct Path {
  PATHOBJ po{};
  struct Batch {
    FLONG flags;
    ULONG first;
    ULONG count;
  };
  std::vector<Batch> batches;
  std::vector<POINTFIX> points;
  size_t next = 0;
  bool ended = false;     // the enumeration has answered its last batch
  bool handedOut = false;  // made for the driver, which must release it with EngDeletePath
};

struct Clip {
  CLIPOBJ co{};
  std::vector<RECTL> rects;  // the region as rectangles (one rectangle for DC_RECT)
  std::vector<std::vector<POINTFIX>> figures;  // DC_COMPLEX: the region's outline, closed figures
  size_t next = 0;
  bool enumStarted = false;
};

struct Brush {
  BRUSHOBJ bo{};
  DrawBrush desc;
  EngineDc* dc = nullptr;
  std::vector<std::unique_ptr<BYTE[]>> blocks;  // from BRUSHOBJ_pvAllocRbrush
  std::vector<ULONG> blockSizes;
  bool realizing = false;
  bool realizeFailed = false;
};

enum class XlateSource : BYTE { Indexed, Bgr, Rgb555 };

struct Xlate {
  XLATEOBJ xo{};
  XlateSource source = XlateSource::Bgr;
  ULONG targetMode = PAL_BGR;
  std::vector<ULONG> table;
};

struct Xform {
  XFORMOBJ xo{};
  XFORML m{1, 0, 0, 1, 0, 0};
};

struct Font;

struct StringObj {
  STROBJ so{};
  std::vector<GLYPHPOS> glyphs;
  std::u16string text;
  size_t next = 0;
  bool ended = false;
};

// Logging (every entry under the engine's lock).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Pointer(const void* p);
void LogDdi(const char* name, const std::string& args, const std::string& result);
void LogCallback(const char* name, const std::string& args, const std::string& result);
// Logs a refused callback, sets ERROR_INVALID_PARAMETER.
void Refuse(const char* name, const std::string& args, const char* why);

// Live-object tables.
struct Tables {
  std::recursive_mutex lock;
  std::vector<SimEngineCall> log;
  bool keepRecords = true;  // the log and every page's drawing calls are kept (SimEngineKeepRecords)
  std::map<const void*, std::pair<ULONG, ULONG>> memory;  // block -> size, tag
  std::set<Surface*> surfaces;
  std::set<Palette*> palettes;
  std::set<Path*> paths;
  std::set<Clip*> clips;
  std::set<Brush*> brushes;
  std::set<Xlate*> xlates;
  std::set<Xform*> xforms;
  std::set<StringObj*> strings;
  std::set<Font*> fonts;
  std::set<EngineDc*> dcs;
  std::set<EngineDriver*> drivers;
  ULONG nextUniq = 1;
};
Tables& State();

template <class T>
T* Find(const std::set<T*>& table, const void* p) {
  auto found = table.find(static_cast<T*>(const_cast<void*>(p)));
  return found == table.end() ? nullptr : *found;
}

// Objects of one drawing call, released when the call returns.
Path* NewPath(const DrawPath& path);
Path* NewPathFromPoints(std::vector<Path::Batch> batches, std::vector<POINTFIX> points, FLONG fl);
void DeletePath(Path* path);
Clip* NewClip(const DrawClip& clip, SIZEL surface);
void DeleteClip(Clip* clip);
Xlate* NewXlate(XlateSource source, const std::vector<COLORREF>& palette, ULONG targetMode);
void DeleteXlate(Xlate* xlate);
Xform* NewXform(const XFORML& m);
void DeleteXform(Xform* xform);
void DeleteBrush(Brush* brush);

// Colours: the device palette's format of an RGB colour and back.
ULONG RgbToDevice(COLORREF rgb, ULONG paletteMode);
COLORREF DeviceToRgb(ULONG colour, ULONG paletteMode);
ULONG TranslateColour(Xlate* xlate, ULONG colour);

// The page bitmap of a device surface: allocated white on first use, 24 bits per pixel stored
// blue, green, red, rows of the width times 3 rounded up to 4 bytes.
BYTE* PageBitmap(Surface* surface);
void ClearPageBitmap(Surface* surface);
// The palette mode of the device that owns a surface (PAL_BGR when none is known).
ULONG SurfacePaletteMode(const Surface* surface);

// Fonts.
Font* RealizeFont(const DrawText& text, SIZEL resolution);
void DeleteFont(Font* font);
FONTOBJ* FontObject(Font* font);
// The glyph indexes and their origins of a text, in device pixels.
bool LayoutText(Font* font, const DrawText& text, std::vector<GLYPHPOS>& glyphs, RECTL& bounds);
// The underline rectangle of a laid-out text; empty when it has none.
RECTL TextUnderline(Font* font, const DrawText& text, const RECTL& bounds);

// The host side that callbacks need: the driver's brush realisation and the dc of a surface.
BOOL RealizeBrushThroughDriver(Brush* brush);
ULONG DcPaletteMode(EngineDc* dc);
bool StringNeedsEnumeration(size_t glyphs);
void ReleaseAll();

// Emptying hooks that SimReset runs.
void ResetFonts();

}  // namespace engine
