// The host side of the engine: loading and enabling a driver, device contexts, documents,
// pages and the drawing calls with the engine objects they carry.
#include <algorithm>
#include <cstring>

#include "platform/engine/ddi_functions.h"
#include "platform/engine/engine_sim.h"
#include "platform/engine/engine_state.h"
#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/module.h"
#include "platform/spooler/spooler.h"

struct EngineDriver {
  HMODULE module = nullptr;
  std::map<ULONG, PFN> table;
  int liveDcs = 0;
};

struct EngineDc {
  EngineDriver* driver = nullptr;
  HANDLE printer = nullptr;
  std::u16string printerName;
  std::vector<BYTE> devMode;
  DHPDEV dhpdev = nullptr;
  DHPDEV pendingDhpdev = nullptr;  // the new device while ResetDC enables it
  HSURF hsurf = nullptr;
  GDIINFO gdi{};
  DEVINFO devinfo{};
  bool inDoc = false;
  bool inPage = false;
  DWORD jobId = 0;
  std::u16string docName;
  std::vector<std::vector<DrawCall>> pages;
  std::vector<engine::Brush*> brushes;  // realised brushes, kept while the device lives
  std::vector<engine::Font*> fonts;     // realised fonts, likewise
  std::vector<std::u16string> fontKeys;
};

namespace engine {

namespace {

template <class Fn>
Fn Function(EngineDriver* driver, ULONG index) {
  auto found = driver->table.find(index);
  return found == driver->table.end() ? nullptr : reinterpret_cast<Fn>(found->second);
}

// A DDI call's log entry, written before the call so that its callbacks follow it.
size_t BeginDdi(const char* name, const std::string& args) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  if (!State().keepRecords) return State().log.size();
  State().log.push_back({SimEngineCallKind::Ddi, name, args, ""});
  return State().log.size() - 1;
}

void EndDdi(size_t entry, const std::string& result) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  if (entry < State().log.size()) State().log[entry].result = result;
}

std::string Bool(BOOL b) { return b ? "TRUE" : "FALSE"; }

SURFOBJ* DcSurface(EngineDc* dc) {
  Surface* s = Find(State().surfaces, dc->hsurf);
  return s == nullptr ? nullptr : &s->so;
}

// The engine's copy of a device mode: its public part and the driver's private bytes.
std::vector<BYTE> CopyDevMode(const DEVMODEW* dm) {
  if (dm == nullptr) return {};
  const size_t size = static_cast<size_t>(dm->dmSize) + dm->dmDriverExtra;
  if (dm->dmSize < offsetof(DEVMODEW, dmFormName)) return {};
  const BYTE* p = reinterpret_cast<const BYTE*>(dm);
  return std::vector<BYTE>(p, p + size);
}

std::vector<BYTE> PrinterDevMode(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  if (needed == 0) return {};
  std::vector<BYTE> info(needed);
  if (!GetPrinterW(printer, 2, info.data(), needed, &needed)) return {};
  return CopyDevMode(reinterpret_cast<PRINTER_INFO_2W*>(info.data())->pDevMode);
}

// Enables one device of the driver: DrvEnablePDEV and DrvCompletePDEV; NULL when refused.
DHPDEV EnableDevice(EngineDc* dc, std::vector<BYTE>& devMode, GDIINFO& gdi, DEVINFO& devinfo) {
  auto enable = Function<PFN_DrvEnablePDEV>(dc->driver, INDEX_DrvEnablePDEV);
  HSURF patterns[HS_DDI_MAX] = {};
  gdi = GDIINFO{};
  devinfo = DEVINFO{};
  auto* dm = devMode.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(devMode.data());
  size_t entry = BeginDdi("DrvEnablePDEV", Format("devmode=%s patterns=%d cjCaps=%zu cjDevInfo=%zu hdev=%s",
                                                  Pointer(dm).c_str(), HS_DDI_MAX, sizeof(GDIINFO), sizeof(DEVINFO),
                                                  Pointer(dc).c_str()));
  DHPDEV pdev = enable(dm, nullptr, HS_DDI_MAX, patterns, sizeof(GDIINFO), reinterpret_cast<ULONG*>(&gdi),
                       sizeof(DEVINFO), &devinfo, reinterpret_cast<HDEV>(dc), dc->printerName.data(), dc->printer);
  EndDdi(entry, Pointer(pdev));
  if (pdev == nullptr) return nullptr;
  bool paletteLive;
  {
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    paletteLive = Find(State().palettes, devinfo.hpalDefault) != nullptr;
  }
  if (!paletteLive) {
    LogDdi("DrvEnablePDEV", "", "refused: DEVINFO.hpalDefault is not an engine palette");
    size_t e = BeginDdi("DrvDisablePDEV", Pointer(pdev));
    Function<PFN_DrvDisablePDEV>(dc->driver, INDEX_DrvDisablePDEV)(pdev);
    EndDdi(e, "");
    return nullptr;
  }
  size_t e = BeginDdi("DrvCompletePDEV", Format("%s hdev=%s", Pointer(pdev).c_str(), Pointer(dc).c_str()));
  Function<PFN_DrvCompletePDEV>(dc->driver, INDEX_DrvCompletePDEV)(pdev, reinterpret_cast<HDEV>(dc));
  EndDdi(e, "");
  return pdev;
}

// DrvEnableSurface; the surface must be a device surface the engine made and associated with
// this device.
HSURF EnableSurface(EngineDc* dc, DHPDEV pdev) {
  size_t entry = BeginDdi("DrvEnableSurface", Pointer(pdev));
  HSURF hsurf = Function<PFN_DrvEnableSurface>(dc->driver, INDEX_DrvEnableSurface)(pdev);
  EndDdi(entry, Pointer(hsurf));
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Surface* s = Find(State().surfaces, hsurf);
  if (s == nullptr || !s->device || !s->associated || s->so.dhpdev != pdev) {
    if (hsurf != nullptr) LogDdi("DrvEnableSurface", "", "refused: not a device surface associated with the device");
    return nullptr;
  }
  return hsurf;
}

void DisableSurfaceAndDevice(EngineDc* dc, DHPDEV pdev) {
  size_t e = BeginDdi("DrvDisableSurface", Pointer(pdev));
  Function<PFN_DrvDisableSurface>(dc->driver, INDEX_DrvDisableSurface)(pdev);
  EndDdi(e, "");
  e = BeginDdi("DrvDisablePDEV", Pointer(pdev));
  Function<PFN_DrvDisablePDEV>(dc->driver, INDEX_DrvDisablePDEV)(pdev);
  EndDdi(e, "");
}

// Releases the fonts (DrvDestroyFont) and brushes realised for the device in force.
void ReleaseRealizations(EngineDc* dc) {
  auto destroy = Function<PFN_DrvDestroyFont>(dc->driver, INDEX_DrvDestroyFont);
  for (Font* font : dc->fonts) {
    if (destroy != nullptr) {
      size_t e = BeginDdi("DrvDestroyFont", Pointer(FontObject(font)));
      destroy(FontObject(font));
      EndDdi(e, "");
    }
    DeleteFont(font);
  }
  dc->fonts.clear();
  dc->fontKeys.clear();
  for (Brush* brush : dc->brushes) DeleteBrush(brush);
  dc->brushes.clear();
}

bool SameImage(const DrawImage& a, const DrawImage& b) {
  return a.width == b.width && a.height == b.height && a.format == b.format && a.stride == b.stride &&
         a.bits == b.bits && a.palette == b.palette;
}

// The brush of a description, realised once per device and reused.
Brush* BrushFor(EngineDc* dc, const DrawBrush& desc) {
  for (Brush* b : dc->brushes) {
    const DrawBrush& d = b->desc;
    if (d.kind == desc.kind && d.colour == desc.colour && d.background == desc.background && d.hatch == desc.hatch &&
        SameImage(d.pattern, desc.pattern))
      return b;
  }
  auto brush = new Brush;
  brush->desc = desc;
  brush->dc = dc;
  brush->bo.iSolidColor = desc.kind == BrushKind::Solid ? RgbToDevice(desc.colour, DcPaletteMode(dc)) : 0xFFFFFFFF;
  {
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    State().brushes.insert(brush);
  }
  dc->brushes.push_back(brush);
  return brush;
}

// The realisation of a text's font: face, style and size.
std::u16string FontKey(const DrawText& t) {
  return t.face + u"|" + (t.bold ? u"b" : u"") + (t.italic ? u"i" : u"") + u"|" + std::u16string(1, static_cast<char16_t>(t.emHeight)) +
         u"|" + std::u16string(1, static_cast<char16_t>(t.escapement % 3600 + 3600)) + (t.simulateBold ? u"s" : u"");
}

DrawBrush SolidBrush(COLORREF colour) {
  DrawBrush b;
  b.kind = BrushKind::Solid;
  b.colour = colour;
  return b;
}

// An engine bitmap holding a copy of an image, and the translation of its colours to the device.
struct SourceBitmap {
  Surface* surface = nullptr;
  Xlate* xlate = nullptr;
};

SourceBitmap MakeSource(const DrawImage& img, ULONG paletteMode) {
  SourceBitmap out;
  const LONG stride = img.stride < 0 ? -img.stride : img.stride;
  if (img.width <= 0 || img.height <= 0 || img.bits.size() < static_cast<size_t>(stride) * img.height) return out;
  HBITMAP bm = EngCreateBitmap({img.width, img.height}, stride, img.format, img.stride < 0 ? 0 : BMF_TOPDOWN, nullptr);
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  out.surface = Find(State().surfaces, bm);
  if (out.surface == nullptr) return out;
  // Rows are kept top-down in the description; a bottom-up bitmap stores them the other way.
  for (LONG y = 0; y < img.height; ++y) {
    BYTE* row = static_cast<BYTE*>(out.surface->so.pvScan0) + static_cast<ptrdiff_t>(y) * out.surface->so.lDelta;
    std::memcpy(row, img.bits.data() + static_cast<size_t>(y) * stride, stride);
  }
  XlateSource kind = XlateSource::Bgr;
  if (img.format == BMF_1BPP || img.format == BMF_4BPP || img.format == BMF_8BPP) kind = XlateSource::Indexed;
  if (img.format == BMF_16BPP) kind = XlateSource::Rgb555;
  out.xlate = NewXlate(kind, img.palette, paletteMode);
  return out;
}

void FreeSource(SourceBitmap& s) {
  if (s.surface != nullptr) EngDeleteSurface(s.surface->so.hsurf);
  DeleteXlate(s.xlate);
}

}  // namespace

ULONG DcPaletteMode(EngineDc* dc) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  if (Find(State().dcs, dc) == nullptr) return PAL_BGR;
  Palette* p = Find(State().palettes, dc->devinfo.hpalDefault);
  return p != nullptr && p->mode == PAL_RGB ? PAL_RGB : PAL_BGR;
}

BOOL RealizeBrushThroughDriver(Brush* brush) {
  EngineDc* dc = brush->dc;
  auto realize = Function<PFN_DrvRealizeBrush>(dc->driver, INDEX_DrvRealizeBrush);
  SURFOBJ* target = DcSurface(dc);
  if (realize == nullptr || target == nullptr) return FALSE;
  DrawImage pattern;
  std::vector<COLORREF> palette;
  ULONG hatch = HS_DDI_MAX;
  if (brush->desc.kind == BrushKind::Hatch) {
    // A hatch arrives as an 8 x 8 one-bit pattern: bit 1 the hatch line, colour entry 1.
    hatch = brush->desc.hatch;
    pattern.width = pattern.height = 8;
    pattern.format = BMF_1BPP;
    pattern.stride = 4;
    pattern.bits.assign(32, 0);
    for (LONG y = 0; y < 8; ++y)
      for (LONG x = 0; x < 8; ++x)
        if (HatchBit(hatch, x, y)) pattern.bits[y * 4] |= static_cast<BYTE>(0x80 >> x);
    pattern.palette = {brush->desc.background, brush->desc.colour};
  } else {
    pattern = brush->desc.pattern;
  }
  SourceBitmap source = MakeSource(pattern, DcPaletteMode(dc));
  if (source.surface == nullptr) {
    FreeSource(source);
    return FALSE;
  }
  brush->realizing = true;
  size_t e = BeginDdi("DrvRealizeBrush", Format("brush=%s target=%s pattern=%dx%d format=%u hatch=%u",
                                                Pointer(&brush->bo).c_str(), Pointer(target).c_str(), pattern.width,
                                                pattern.height, pattern.format, hatch));
  BOOL ok = realize(&brush->bo, target, &source.surface->so, nullptr, &source.xlate->xo, hatch);
  EndDdi(e, Bool(ok));
  brush->realizing = false;
  FreeSource(source);
  return ok;
}

void ReleaseAll() {
  std::vector<EngineDc*> dcs;
  std::vector<EngineDriver*> drivers;
  {
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    dcs.assign(State().dcs.begin(), State().dcs.end());
    drivers.assign(State().drivers.begin(), State().drivers.end());
    State().dcs.clear();
    State().drivers.clear();
  }
  // Records only: the driver modules themselves belong to the loader, which SimReset empties.
  for (EngineDc* dc : dcs) delete dc;
  for (EngineDriver* d : drivers) delete d;
}

}  // namespace engine

using namespace engine;

BRUSHOBJ* SimEngineBrush(EngineDc* dc, const DrawBrush& brush) {
  if (dc == nullptr) return nullptr;
  return &BrushFor(dc, brush)->bo;
}

EngineDriver* EngineLoadDriver(LPCWSTR moduleName) {
  HMODULE module = LoadLibraryW(moduleName);
  if (module == nullptr) return nullptr;
  auto enableDriver = reinterpret_cast<PFN_DrvEnableDriver>(GetProcAddress(module, "DrvEnableDriver"));
  if (enableDriver == nullptr) {
    FreeLibrary(module);
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  DRVENABLEDATA data{};
  size_t entry = BeginDdi("DrvEnableDriver", Format("version=0x%X cj=%zu", kEngineVersion, sizeof data));
  BOOL ok = enableDriver(kEngineVersion, sizeof data, &data);
  EndDdi(entry, Format("%s version=0x%X c=%u", Bool(ok).c_str(), data.iDriverVersion, data.c));
  auto driver = std::make_unique<EngineDriver>();
  driver->module = module;
  const char* refusal = nullptr;
  if (!ok) {
    refusal = "DrvEnableDriver failed";
  } else if (data.pdrvfn == nullptr || data.c == 0 || data.c > INDEX_LAST) {
    refusal = "no function table, or more rows than indexes";
  } else {
    for (ULONG i = 0; i < data.c && refusal == nullptr; ++i) {
      const DRVFN& row = data.pdrvfn[i];
      if (row.iFunc >= INDEX_LAST || row.pfn == nullptr || driver->table.count(row.iFunc) != 0)
        refusal = "a table row with an index out of range, a repeated index or no function";
      else
        driver->table[row.iFunc] = row.pfn;
    }
    for (ULONG required : {INDEX_DrvEnablePDEV, INDEX_DrvCompletePDEV, INDEX_DrvDisablePDEV, INDEX_DrvEnableSurface,
                           INDEX_DrvDisableSurface})
      if (refusal == nullptr && driver->table.count(required) == 0) refusal = "a required function is missing";
  }
  if (refusal != nullptr) {
    LogDdi("DrvEnableDriver", "", std::string("refused: ") + refusal);
    if (ok) {
      auto disable = reinterpret_cast<PFN_DrvDisableDriver>(GetProcAddress(module, "DrvDisableDriver"));
      if (disable != nullptr) {
        size_t e = BeginDdi("DrvDisableDriver", "");
        disable();
        EndDdi(e, "");
      }
    }
    FreeLibrary(module);
    SetLastError(ERROR_BAD_DRIVER_LEVEL);
    return nullptr;
  }
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  EngineDriver* d = driver.release();
  State().drivers.insert(d);
  return d;
}

BOOL EngineUnloadDriver(EngineDriver* driver) {
  {
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    if (Find(State().drivers, driver) == nullptr || driver->liveDcs != 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    State().drivers.erase(driver);
  }
  auto disable = Function<PFN_DrvDisableDriver>(driver, INDEX_DrvDisableDriver);
  if (disable == nullptr) disable = reinterpret_cast<PFN_DrvDisableDriver>(GetProcAddress(driver->module, "DrvDisableDriver"));
  if (disable != nullptr) {
    size_t e = BeginDdi("DrvDisableDriver", "");
    disable();
    EndDdi(e, "");
  }
  FreeLibrary(driver->module);
  delete driver;
  return TRUE;
}

PFN EngineDriverFunction(EngineDriver* driver, ULONG index) { return Function<PFN>(driver, index); }

EngineDc* EngineCreateDC(EngineDriver* driver, LPCWSTR printerName, const DEVMODEW* devMode) {
  {
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    if (Find(State().drivers, driver) == nullptr || printerName == nullptr) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
  }
  auto dc = std::make_unique<EngineDc>();
  dc->driver = driver;
  dc->printerName = printerName;
  if (!OpenPrinterW(printerName, &dc->printer, nullptr)) return nullptr;
  dc->devMode = devMode != nullptr ? CopyDevMode(devMode) : PrinterDevMode(dc->printer);
  {
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    State().dcs.insert(dc.get());
  }
  auto fail = [&]() -> EngineDc* {
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    State().dcs.erase(dc.get());
    ClosePrinter(dc->printer);
    return nullptr;
  };
  dc->dhpdev = EnableDevice(dc.get(), dc->devMode, dc->gdi, dc->devinfo);
  if (dc->dhpdev == nullptr) return fail();
  dc->hsurf = EnableSurface(dc.get(), dc->dhpdev);
  if (dc->hsurf == nullptr) {
    DisableSurfaceAndDevice(dc.get(), dc->dhpdev);
    return fail();
  }
  ++driver->liveDcs;
  return dc.release();
}

BOOL EngineResetDC(EngineDc* dc, const DEVMODEW* devMode) {
  if (Find(State().dcs, dc) == nullptr || dc->inPage) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<BYTE> newMode = CopyDevMode(devMode);
  GDIINFO gdi{};
  DEVINFO devinfo{};
  DHPDEV pdev = EnableDevice(dc, newMode, gdi, devinfo);
  if (pdev == nullptr) return FALSE;
  auto reset = Function<PFN_DrvResetPDEV>(dc->driver, INDEX_DrvResetPDEV);
  if (reset != nullptr) {
    size_t e = BeginDdi("DrvResetPDEV", Format("old=%s new=%s", Pointer(dc->dhpdev).c_str(), Pointer(pdev).c_str()));
    BOOL ok = reset(dc->dhpdev, pdev);
    EndDdi(e, Bool(ok));
    if (!ok) {
      size_t d = BeginDdi("DrvDisablePDEV", Pointer(pdev));
      Function<PFN_DrvDisablePDEV>(dc->driver, INDEX_DrvDisablePDEV)(pdev);
      EndDdi(d, "");
      return FALSE;
    }
  }
  dc->pendingDhpdev = pdev;
  HSURF hsurf = EnableSurface(dc, pdev);
  dc->pendingDhpdev = nullptr;
  if (hsurf == nullptr) {
    DisableSurfaceAndDevice(dc, pdev);
    return FALSE;
  }
  ReleaseRealizations(dc);
  DisableSurfaceAndDevice(dc, dc->dhpdev);
  dc->dhpdev = pdev;
  dc->hsurf = hsurf;
  dc->gdi = gdi;
  dc->devinfo = devinfo;
  dc->devMode = std::move(newMode);
  if (dc->inDoc) {
    size_t e = BeginDdi("DrvStartDoc", Format("surface=%s job=%u", Pointer(DcSurface(dc)).c_str(), dc->jobId));
    BOOL ok = Function<PFN_DrvStartDoc>(dc->driver, INDEX_DrvStartDoc)(DcSurface(dc), dc->docName.data(), dc->jobId);
    EndDdi(e, Bool(ok));
    return ok;
  }
  return TRUE;
}

BOOL EngineDeleteDC(EngineDc* dc) {
  if (Find(State().dcs, dc) == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (dc->inDoc) EngineAbortDoc(dc);
  ReleaseRealizations(dc);
  DisableSurfaceAndDevice(dc, dc->dhpdev);
  ClosePrinter(dc->printer);
  {
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    State().dcs.erase(dc);
  }
  --dc->driver->liveDcs;
  delete dc;
  return TRUE;
}

LONG EngineEscape(EngineDc* dc, ULONG code, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out) {
  if (Find(State().dcs, dc) == nullptr) return -1;
  auto escape = Function<PFN_DrvEscape>(dc->driver, INDEX_DrvEscape);
  if (escape == nullptr) return -1;
  size_t e = BeginDdi("DrvEscape", Format("code=0x%X cjIn=%u cjOut=%u", code, cjIn, cjOut));
  ULONG r = escape(DcSurface(dc), code, cjIn, in, cjOut, out);
  EndDdi(e, Format("%d", static_cast<LONG>(r)));
  return static_cast<LONG>(r);
}

BOOL EngineStartDoc(EngineDc* dc, LPCWSTR docName) {
  if (Find(State().dcs, dc) == nullptr || dc->inDoc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  dc->docName = docName != nullptr ? docName : u"";
  DOC_INFO_1W info{dc->docName.data(), nullptr, nullptr};
  dc->jobId = StartDocPrinterW(dc->printer, 1, reinterpret_cast<const BYTE*>(&info));
  if (dc->jobId == 0) return FALSE;
  dc->pages.clear();
  size_t e = BeginDdi("DrvStartDoc", Format("surface=%s job=%u", Pointer(DcSurface(dc)).c_str(), dc->jobId));
  BOOL ok = Function<PFN_DrvStartDoc>(dc->driver, INDEX_DrvStartDoc)(DcSurface(dc), dc->docName.data(), dc->jobId);
  EndDdi(e, Bool(ok));
  dc->inDoc = true;
  if (!ok) {
    EngineAbortDoc(dc);
    return FALSE;
  }
  return TRUE;
}

BOOL EngineStartPage(EngineDc* dc) {
  if (Find(State().dcs, dc) == nullptr || !dc->inDoc || dc->inPage) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  StartPagePrinter(dc->printer);
  {
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    if (Surface* s = Find(State().surfaces, dc->hsurf)) ClearPageBitmap(s);
  }
  size_t e = BeginDdi("DrvStartPage", Pointer(DcSurface(dc)));
  BOOL ok = Function<PFN_DrvStartPage>(dc->driver, INDEX_DrvStartPage)(DcSurface(dc));
  EndDdi(e, Bool(ok));
  if (!ok) {
    EndPagePrinter(dc->printer);
    return FALSE;
  }
  dc->inPage = true;
  dc->pages.emplace_back();
  return TRUE;
}

BOOL EngineEndPage(EngineDc* dc) {
  if (Find(State().dcs, dc) == nullptr || !dc->inPage) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  size_t e = BeginDdi("DrvSendPage", Pointer(DcSurface(dc)));
  BOOL ok = Function<PFN_DrvSendPage>(dc->driver, INDEX_DrvSendPage)(DcSurface(dc));
  EndDdi(e, Bool(ok));
  EndPagePrinter(dc->printer);
  dc->inPage = false;
  return ok;
}

BOOL EngineEndDoc(EngineDc* dc) {
  if (Find(State().dcs, dc) == nullptr || !dc->inDoc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  BOOL ok = TRUE;
  if (dc->inPage) ok = EngineEndPage(dc);
  size_t e = BeginDdi("DrvEndDoc", Format("surface=%s flags=0", Pointer(DcSurface(dc)).c_str()));
  BOOL ended = Function<PFN_DrvEndDoc>(dc->driver, INDEX_DrvEndDoc)(DcSurface(dc), 0);
  EndDdi(e, Bool(ended));
  EndDocPrinter(dc->printer);
  dc->inDoc = false;
  return ok && ended;
}

BOOL EngineAbortDoc(EngineDc* dc) {
  if (Find(State().dcs, dc) == nullptr || !dc->inDoc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (dc->inPage) EndPagePrinter(dc->printer);
  dc->inPage = false;
  size_t e = BeginDdi("DrvEndDoc", Format("surface=%s flags=ED_ABORTDOC", Pointer(DcSurface(dc)).c_str()));
  BOOL ended = Function<PFN_DrvEndDoc>(dc->driver, INDEX_DrvEndDoc)(DcSurface(dc), ED_ABORTDOC);
  EndDdi(e, Bool(ended));
  AbortPrinter(dc->printer);
  dc->inDoc = false;
  return ended;
}

LONG EngineDraw(EngineDc* dc, const DrawCall& call) {
  if (Find(State().dcs, dc) == nullptr || !dc->inPage) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (State().keepRecords) dc->pages.back().push_back(call);
  SURFOBJ* so = DcSurface(dc);
  Surface* surface = Find(State().surfaces, so);
  const FLONG hooks = surface != nullptr ? surface->hooks : 0;
  const ULONG paletteMode = DcPaletteMode(dc);
  Clip* clip = NewClip(call.clip, so->sizlBitmap);
  CLIPOBJ* co = clip != nullptr ? &clip->co : nullptr;
  POINTL brushOrigin{0, 0};
  LONG result = FALSE;
  auto record = [](size_t entry, BOOL r) { EndDdi(entry, r == static_cast<BOOL>(DDI_ERROR) ? "DDI_ERROR" : Bool(r)); };
  switch (call.kind) {
    case DrawKind::StrokePath:
    case DrawKind::FillPath:
    case DrawKind::StrokeAndFillPath: {
      Path* path = NewPath(call.path);
      Xform* xform = NewXform({1, 0, 0, 1, 0, 0});
      std::vector<FLOAT_LONG> style;
      for (float s : call.pen.style) {
        FLOAT_LONG v;
        if (call.pen.geometric)
          v.e = s;
        else
          v.l = static_cast<LONG>(s);
        style.push_back(v);
      }
      LINEATTRS line{};
      line.fl = (call.pen.geometric ? LA_GEOMETRIC : 0) | (style.empty() ? 0 : LA_STYLED);
      line.iJoin = call.pen.join;
      line.iEndCap = call.pen.cap;
      if (call.pen.geometric)
        line.elWidth.e = call.pen.width;
      else
        line.elWidth.l = 1;
      line.eMiterLimit = 10.0f;
      line.cstyle = static_cast<ULONG>(style.size());
      line.pstyle = style.empty() ? nullptr : style.data();
      Brush* pen = BrushFor(dc, SolidBrush(call.pen.colour));
      Brush* fill = BrushFor(dc, call.brush);
      if (call.kind == DrawKind::StrokePath && (hooks & HOOK_STROKEPATH)) {
        size_t e = BeginDdi("DrvStrokePath", Format("path=%s batches=%zu clip=%s", Pointer(&path->po).c_str(),
                                                    path->batches.size(), Pointer(co).c_str()));
        result = Function<PFN_DrvStrokePath>(dc->driver, INDEX_DrvStrokePath)(so, &path->po, co, &xform->xo, &pen->bo,
                                                                               &brushOrigin, &line, call.mix);
        record(e, result);
      } else if (call.kind == DrawKind::FillPath && (hooks & HOOK_FILLPATH)) {
        size_t e = BeginDdi("DrvFillPath", Format("path=%s batches=%zu clip=%s mode=%u", Pointer(&path->po).c_str(),
                                                  path->batches.size(), Pointer(co).c_str(), call.fillMode));
        result = Function<PFN_DrvFillPath>(dc->driver, INDEX_DrvFillPath)(so, &path->po, co, &fill->bo, &brushOrigin,
                                                                           call.mix, call.fillMode);
        record(e, result);
      } else if (call.kind == DrawKind::StrokeAndFillPath && (hooks & HOOK_STROKEANDFILLPATH)) {
        size_t e = BeginDdi("DrvStrokeAndFillPath", Format("path=%s batches=%zu clip=%s", Pointer(&path->po).c_str(),
                                                           path->batches.size(), Pointer(co).c_str()));
        result = Function<PFN_DrvStrokeAndFillPath>(dc->driver, INDEX_DrvStrokeAndFillPath)(
            so, &path->po, co, &xform->xo, &pen->bo, &line, &fill->bo, &brushOrigin, call.mix, call.fillMode);
        record(e, result);
      }
      DeletePath(path);
      DeleteXform(xform);
      break;
    }
    case DrawKind::TextOut: {
      if (!(hooks & HOOK_TEXTOUT)) break;
      Font* font = nullptr;
      for (size_t i = 0; i < dc->fonts.size(); ++i)
        if (dc->fontKeys[i] == FontKey(call.text)) font = dc->fonts[i];
      const bool fresh = font == nullptr;
      if (fresh) {
        font = RealizeFont(call.text, {static_cast<LONG>(dc->gdi.ulLogPixelsX), static_cast<LONG>(dc->gdi.ulLogPixelsY)});
        if (font == nullptr) break;
        dc->fonts.push_back(font);
        dc->fontKeys.push_back(FontKey(call.text));
      }
      if (auto mode = fresh ? Function<PFN_DrvGetGlyphMode>(dc->driver, INDEX_DrvGetGlyphMode) : nullptr) {
        size_t e = BeginDdi("DrvGetGlyphMode", Pointer(FontObject(font)));
        ULONG m = mode(dc->dhpdev, FontObject(font));
        EndDdi(e, Format("%u", m));
      }
      auto string = new StringObj;
      RECTL bounds{};
      LayoutText(font, call.text, string->glyphs, bounds);
      string->text = call.text.text;
      string->so.cGlyphs = static_cast<ULONG>(string->glyphs.size());
      string->so.flAccel = SO_HORIZONTAL | SO_FLAG_DEFAULT_PLACEMENT;
      // A turned baseline is neither horizontal nor vertical; a fixed pitch along it is not
      // whole pixels, so only a level string has one.
      if (call.text.escapement % 3600 != 0) string->so.flAccel = SO_FLAG_DEFAULT_PLACEMENT;
      else if (call.text.fixedPitch > 0) {
        string->so.ulCharInc = static_cast<ULONG>(call.text.fixedPitch);
        if (call.text.reversed) string->so.flAccel |= SO_REVERSED;
      }
      string->so.rclBkGround = bounds;
      string->so.pgp = StringNeedsEnumeration(string->glyphs.size()) ? nullptr : string->glyphs.data();
      string->so.pwszOrg = call.text.glyphIndexes ? nullptr : string->text.data();
      {
        std::lock_guard<std::recursive_mutex> guard(State().lock);
        State().strings.insert(string);
      }
      Brush* fore = BrushFor(dc, SolidBrush(call.text.colour));
      Brush* back = call.text.opaque ? BrushFor(dc, SolidBrush(call.text.background)) : nullptr;
      RECTL opaque = bounds;
      POINTL origin = call.text.origin;
      RECTL extra[2] = {TextUnderline(font, call.text, bounds), {0, 0, 0, 0}};
      RECTL* extras = extra[0].right > extra[0].left ? extra : nullptr;
      size_t e = BeginDdi("DrvTextOut", Format("string=%s glyphs=%u font=%s clip=%s", Pointer(&string->so).c_str(),
                                               string->so.cGlyphs, Pointer(FontObject(font)).c_str(), Pointer(co).c_str()));
      result = Function<PFN_DrvTextOut>(dc->driver, INDEX_DrvTextOut)(so, &string->so, FontObject(font), co, extras,
                                                                       back != nullptr ? &opaque : nullptr, &fore->bo,
                                                                       back != nullptr ? &back->bo : nullptr, &origin,
                                                                       call.mix);
      record(e, result);
      std::lock_guard<std::recursive_mutex> guard(State().lock);
      State().strings.erase(string);
      delete string;
      break;
    }
    case DrawKind::BitBlt:
    case DrawKind::CopyBits:
    case DrawKind::StretchBlt:
    case DrawKind::StretchBltROP: {
      const BYTE fore = call.rop4 & 0xFF;
      const bool needSource = call.kind != DrawKind::BitBlt || ((fore >> 2) & 0x33) != (fore & 0x33);
      SourceBitmap source;
      if (needSource) source = MakeSource(call.image, paletteMode);
      SURFOBJ* src = source.surface != nullptr ? &source.surface->so : nullptr;
      XLATEOBJ* xo = source.xlate != nullptr ? &source.xlate->xo : nullptr;
      if (needSource && src == nullptr) {
        FreeSource(source);
        break;
      }
      Brush* brush = call.brush.kind != BrushKind::None ? BrushFor(dc, call.brush) : nullptr;
      BRUSHOBJ* bo = brush != nullptr ? &brush->bo : nullptr;
      RECTL target = call.target, sourceRect = call.source;
      POINTL srcPoint{call.source.left, call.source.top};
      std::string args = Format("target=(%d,%d,%d,%d) source=%s clip=%s rop4=0x%04X", target.left, target.top,
                                target.right, target.bottom, Pointer(src).c_str(), Pointer(co).c_str(), call.rop4);
      if (call.kind == DrawKind::BitBlt && (hooks & HOOK_BITBLT)) {
        size_t e = BeginDdi("DrvBitBlt", args);
        result = Function<PFN_DrvBitBlt>(dc->driver, INDEX_DrvBitBlt)(so, src, nullptr, co, xo, &target, &srcPoint,
                                                                       nullptr, bo, &brushOrigin, call.rop4);
        record(e, result);
      } else if (call.kind == DrawKind::CopyBits && (hooks & HOOK_COPYBITS)) {
        size_t e = BeginDdi("DrvCopyBits", args);
        result = Function<PFN_DrvCopyBits>(dc->driver, INDEX_DrvCopyBits)(so, src, co, xo, &target, &srcPoint);
        record(e, result);
      } else if (call.kind == DrawKind::StretchBlt && (hooks & HOOK_STRETCHBLT)) {
        size_t e = BeginDdi("DrvStretchBlt", args);
        result = Function<PFN_DrvStretchBlt>(dc->driver, INDEX_DrvStretchBlt)(so, src, nullptr, co, xo, nullptr,
                                                                               &brushOrigin, &target, &sourceRect,
                                                                               nullptr, call.stretchMode);
        record(e, result);
      } else if (call.kind == DrawKind::StretchBltROP && (hooks & HOOK_STRETCHBLTROP)) {
        size_t e = BeginDdi("DrvStretchBltROP", args);
        result = Function<PFN_DrvStretchBltROP>(dc->driver, INDEX_DrvStretchBltROP)(
            so, src, nullptr, co, xo, nullptr, &brushOrigin, &target, &sourceRect, nullptr, call.stretchMode, bo, call.rop4);
        record(e, result);
      }
      FreeSource(source);
      break;
    }
  }
  DeleteClip(clip);
  return result;
}

const GDIINFO* EngineDcGdiInfo(EngineDc* dc) { return Find(State().dcs, dc) ? &dc->gdi : nullptr; }
const DEVINFO* EngineDcDevInfo(EngineDc* dc) { return Find(State().dcs, dc) ? &dc->devinfo : nullptr; }
DHPDEV EngineDcDevice(EngineDc* dc) {
  if (Find(State().dcs, dc) == nullptr) return nullptr;
  return dc->pendingDhpdev != nullptr ? dc->pendingDhpdev : dc->dhpdev;
}
SURFOBJ* EngineDcSurface(EngineDc* dc) { return Find(State().dcs, dc) ? DcSurface(dc) : nullptr; }
HANDLE EngineDcPrinter(EngineDc* dc) { return Find(State().dcs, dc) ? dc->printer : nullptr; }
DWORD EngineDcJobId(EngineDc* dc) { return Find(State().dcs, dc) && dc->inDoc ? dc->jobId : 0; }
std::vector<DrawCall> EngineDcPage(EngineDc* dc, size_t index) {
  if (Find(State().dcs, dc) == nullptr || index >= dc->pages.size()) return {};
  return dc->pages[index];
}
size_t EngineDcPageCount(EngineDc* dc) { return Find(State().dcs, dc) ? dc->pages.size() : 0; }

BOOL EngWritePrinter(HANDLE printer, LPVOID buffer, DWORD cb, LPDWORD written) {
  BOOL ok = WritePrinter(printer, buffer, cb, written);
  LogCallback("EngWritePrinter", Format("printer=%s cb=%u", Pointer(printer).c_str(), cb), Bool(ok));
  return ok;
}
