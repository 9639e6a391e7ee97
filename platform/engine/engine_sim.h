// Test control of the graphics engine host: the log of every driver call and every engine
// callback with its arguments and result, and the count of engine allocations still alive
// (memory blocks, glyph sets, surfaces, palettes, paths handed to a driver, brushes and their
// realisations, fonts, device contexts and loaded drivers). SimReset (kernel_sim.h) empties the
// log and releases whatever the engine still holds.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/engine/engine_host.h"

enum class SimEngineCallKind : BYTE { Ddi, Callback };

struct SimEngineCall {
  SimEngineCallKind kind;
  std::string name;    // "DrvEnablePDEV", "EngCreateDeviceSurface", ...
  std::string args;    // the arguments, decoded
  std::string result;  // the answer; "refused: ..." when the engine refused a callback's input
};

PLATFORM_API std::vector<SimEngineCall> SimEngineLog();
// The names of the log's entries of one kind, in order.
PLATFORM_API std::vector<std::string> SimEngineCallNames(SimEngineCallKind kind);
PLATFORM_API void SimEngineLogReset();
// Whether the engine keeps its log and the drawing calls of every page (EngineDcPage); on after
// SimReset. A long print run turns it off so that the engine holds no more than a page's objects.
PLATFORM_API void SimEngineKeepRecords(BOOL keep);

PLATFORM_API int SimEngineOutstanding();
// One line per outstanding allocation ("surface 640x480", "memory 96 bytes tag 0x...", ...).
PLATFORM_API std::vector<std::string> SimEngineOutstandingList();
// The FreeType faces the reference renderer has open. cairo's font caches keep the faces of
// texts already drawn open until they are emptied (the sandbox's reset does, and so does
// SimDropReferenceFontCaches); a face still open after that is held by a drawing never ended.
PLATFORM_API long SimLiveReferenceFaces();
PLATFORM_API void SimDropReferenceFontCaches();

// A brush of the device context as the engine makes it for a drawing call (kept and released
// with the context's other brushes): solid brushes carry their device colour, the others are
// realised through the driver's DrvRealizeBrush when the driver first asks. NULL without a DC.
PLATFORM_API BRUSHOBJ* SimEngineBrush(EngineDc* dc, const DrawBrush& brush);

// Printer DCs (printer_dc.h): every document event sent to a printer's user-interface module,
// in order, with its answer (SimReset empties the list), and the graphics engine's device
// context behind a printer DC for the engine's inspection calls (NULL for other DCs).
struct SimDocumentEvent {
  int event;
  int result;
  bool operator==(const SimDocumentEvent&) const = default;
};
PLATFORM_API std::vector<SimDocumentEvent> SimDocumentEvents();
PLATFORM_API EngineDc* SimPrinterDcEngine(HDC dc);
// Every ExtEscape on a printer DC, in order (SimReset empties the list): the escape, a copy of
// its input, the output size asked for and the graphics module's answer.
struct SimPrinterEscape {
  int escape;
  std::vector<BYTE> input;
  int outputSize;
  int result;
};
PLATFORM_API std::vector<SimPrinterEscape> SimPrinterEscapes();
