// A 100-page office document (the sample document: letters in two faces, ruled tables, a
// landscape schedule, charts of paths, photographs) printed through the whole print path —
// qorvexgr.dll driven by the engine host, the drawing library writing its stream into the spool
// file — against cairo turning the same drawing calls into a PDF file; and the print path's
// peak memory for documents of 10, 100 and 1,000 pages, each printed in a process of its own
// (counters of PrintPathPeakMemory/<pages>: it should not grow with the pages).
// The engine keeps no log or page records and the drawing library traces nothing during the
// runs (a real engine and library keep neither), so what is measured is the print path itself.
#include <benchmark/benchmark.h>
#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/graphics/bench_printer.h"
#include "bench/ratio_reporter.h"
#include "outside/drawlib/drawlib_sim.h"
#include "platform/base/text.h"
#include "platform/engine/engine_host.h"
#include "platform/engine/engine_sim.h"
#include "platform/engine/reference_renderer.h"
#include "platform/gdi/font_files.h"
#include "platform/gdi/fonts.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/module.h"
#include "platform/spooler/spooler_sim.h"
#include "tools/demo/sample_document.h"

namespace {

constexpr const WCHAR* kPrinter = u"QX-4500 document bench";
constexpr size_t kBenchPages = 100;

// The sandbox and printer, the driver and the drawing library loaded for the whole run, the
// document's two device modes and the page areas the print path lays its pages out on.
struct PrintWorld {
  DocumentModes modes;
  BenchPrinter world{kPrinter, "graphics-document-bench",
                     [this](SettingsRecord* settings, PrinterConfiguration* config) {
                       modes = MakeDocumentModes(*settings, *config);
                     }};
  EngineDriver* driver = nullptr;
  HMODULE library = nullptr;
  SIZEL portrait{}, landscape{};
  LONG dpi = 0;

  PrintWorld() {
    library = LoadLibraryW(u"qvdrawzd.dll");
    if (library != nullptr)
      if (auto streamOnly = reinterpret_cast<SimDrawStreamOnlyProc>(GetProcAddress(library, "SimDrawStreamOnly")))
        streamOnly(TRUE);
    SimEngineKeepRecords(FALSE);
    driver = EngineLoadDriver(u"qorvexgr.dll");
    if (driver == nullptr || modes.portrait.empty()) return;
    for (bool turned : {false, true}) {
      const std::vector<BYTE>& mode = turned ? modes.landscape : modes.portrait;
      if (EngineDc* dc = EngineCreateDC(driver, kPrinter, reinterpret_cast<const DEVMODEW*>(mode.data()))) {
        (turned ? landscape : portrait) = EngineDcSurface(dc)->sizlBitmap;
        dpi = static_cast<LONG>(EngineDcGdiInfo(dc)->ulLogPixelsX);
        EngineDeleteDC(dc);
      }
    }
  }
  ~PrintWorld() {
    if (driver != nullptr) EngineUnloadDriver(driver);
    if (library != nullptr) FreeLibrary(library);
  }
  bool Ready() const { return driver != nullptr && library != nullptr && dpi > 0; }

  // One document of `pages` pages into a spool file; the file is removed again afterwards.
  // Its size in bytes, or -1 when the document failed.
  long long PrintPages(size_t pages) {
    EngineDc* dc = EngineCreateDC(driver, kPrinter, reinterpret_cast<const DEVMODEW*>(modes.portrait.data()));
    if (dc == nullptr) return -1;
    const bool printed = PrintSampleDocument(dc, modes, pages, u"Office document").printed;
    EngineDeleteDC(dc);
    const std::vector<SimSpoolJob> jobs = SimListSpoolJobs();
    if (!printed || jobs.empty()) return -1;
    const std::filesystem::path file = SimHostPath(jobs.back().spoolFile.c_str());
    std::error_code ec;
    const auto size = static_cast<long long>(std::filesystem::file_size(file, ec));
    std::filesystem::remove(file, ec);
    return size;
  }
};

PrintWorld& World() {
  static PrintWorld world;
  return world;
}

// ---- The peer: the same drawing calls as a PDF file through cairo --------------------------

// The FreeType library of the PDF documents: it lives as long as the process, because cairo
// keeps font faces made from it in its caches after a document is done.
FT_Library FontLibrary() {
  static FT_Library library = [] {
    FT_Library made = nullptr;
    FT_Init_FreeType(&made);
    return made;
  }();
  return library;
}

// The font faces of one PDF document, by font file.
class PdfFonts {
 public:
  PdfFonts() = default;
  ~PdfFonts() {
    for (auto& [path, face] : faces_) cairo_font_face_destroy(face);
  }
  PdfFonts(const PdfFonts&) = delete;
  PdfFonts& operator=(const PdfFonts&) = delete;

  cairo_font_face_t* Face(const DrawText& text) {
    const FontFile file = GdiFindFontFile(text.face, text.bold ? FW_BOLD : FW_NORMAL, text.italic);
    auto found = faces_.find(file.path);
    if (found != faces_.end()) return found->second;
    FT_Face ft = nullptr;
    if (file.path.empty() || FontLibrary() == nullptr || FT_New_Face(FontLibrary(), file.path.c_str(), 0, &ft) != 0)
      return nullptr;
    cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(ft, 0);
    static const cairo_user_data_key_t kKey{};
    cairo_font_face_set_user_data(face, &kKey, ft, [](void* f) { FT_Done_Face(static_cast<FT_Face>(f)); });
    faces_[file.path] = face;
    return face;
  }

 private:
  std::map<std::string, cairo_font_face_t*> faces_;
};

void ShowText(cairo_t* cr, PdfFonts& fonts, const DrawText& text) {
  cairo_font_face_t* face = fonts.Face(text);
  if (face == nullptr) return;
  cairo_save(cr);
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, text.emHeight);
  SetReferenceColour(cr, text.colour);
  cairo_translate(cr, text.origin.x, text.origin.y);
  cairo_rotate(cr, -(text.escapement % 3600) * 3.14159265358979323846 / 1800.0);
  cairo_move_to(cr, 0, 0);
  cairo_show_text(cr, Utf16ToUtf8(text.text).c_str());
  cairo_restore(cr);
}

// A block transfer of a 24-bit image: the source rectangle painted over the target rectangle.
void PaintImage(cairo_t* cr, const DrawCall& call) {
  const DrawImage& img = call.image;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, img.width, img.height);
  auto* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (LONG y = 0; y < img.height; ++y) {
    const BYTE* from = img.bits.data() + static_cast<size_t>(y) * img.stride;
    auto* to = reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (LONG x = 0; x < img.width; ++x) to[x] = from[3 * x] | (from[3 * x + 1] << 8) | (from[3 * x + 2] << 16);
  }
  cairo_surface_mark_dirty(surface);
  const RECTL& t = call.target;
  const RECTL& s = call.source;
  cairo_save(cr);
  cairo_rectangle(cr, t.left, t.top, t.right - t.left, t.bottom - t.top);
  cairo_clip(cr);
  cairo_translate(cr, t.left, t.top);
  cairo_scale(cr, static_cast<double>(t.right - t.left) / (s.right - s.left),
              static_cast<double>(t.bottom - t.top) / (s.bottom - s.top));
  cairo_set_source_surface(cr, surface, -s.left, -s.top);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(surface);
}

void DrawCalls(cairo_t* cr, PdfFonts& fonts, const std::vector<DrawCall>& calls) {
  for (const DrawCall& call : calls) {
    switch (call.kind) {
      case DrawKind::FillPath: FillReferencePath(cr, call); break;
      case DrawKind::StrokePath: StrokeReferencePath(cr, call); break;
      case DrawKind::StrokeAndFillPath:
        FillReferencePath(cr, call);
        StrokeReferencePath(cr, call);
        break;
      case DrawKind::TextOut: ShowText(cr, fonts, call.text); break;
      default: PaintImage(cr, call); break;
    }
  }
}

// The document's pages as a PDF file of the same page sizes; the file's size in bytes.
long long WritePdf(const std::filesystem::path& file, size_t pages) {
  PrintWorld& w = World();
  const double points = 72.0 / w.dpi;
  cairo_surface_t* pdf = cairo_pdf_surface_create(file.string().c_str(), w.portrait.cx * points, w.portrait.cy * points);
  cairo_t* cr = cairo_create(pdf);
  {
    PdfFonts fonts;
    for (size_t i = 0; i < pages; ++i) {
      const bool turned = SampleDocumentOrientation(i) == PageOrientation::Landscape;
      const SIZEL area = turned ? w.landscape : w.portrait;
      cairo_pdf_surface_set_size(pdf, area.cx * points, area.cy * points);
      const DocumentPage page = SampleDocumentPage(i, area, w.dpi);
      cairo_save(cr);
      cairo_scale(cr, points, points);
      DrawCalls(cr, fonts, page.calls);
      cairo_restore(cr);
      cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(pdf);
  }
  const bool ok = cairo_surface_status(pdf) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(pdf);
  std::error_code ec;
  const auto size = static_cast<long long>(std::filesystem::file_size(file, ec));
  std::filesystem::remove(file, ec);
  return ok && !ec ? size : -1;
}

void PrintPathDocument(benchmark::State& state) {
  PrintWorld& w = World();
  if (!w.Ready()) state.SkipWithError("driver, library or device mode missing");
  long long bytes = 0;
  for (auto _ : state) {
    if (!w.Ready()) break;
    bytes = w.PrintPages(kBenchPages);
    if (bytes < 0) {
      state.SkipWithError("the document did not print");
      break;
    }
  }
  state.counters["pages"] = static_cast<double>(kBenchPages);
  state.counters["spool_MB"] = static_cast<double>(bytes) / 1e6;
}

void CairoPdfDocument(benchmark::State& state) {
  PrintWorld& w = World();
  if (!w.Ready()) state.SkipWithError("driver, library or device mode missing");
  const std::filesystem::path file = w.world.root / "document-bench.pdf";
  long long bytes = 0;
  for (auto _ : state) {
    if (!w.Ready()) break;
    bytes = WritePdf(file, kBenchPages);
    if (bytes < 0) {
      state.SkipWithError("the PDF file was not written");
      break;
    }
  }
  state.counters["pages"] = static_cast<double>(kBenchPages);
  state.counters["pdf_MB"] = static_cast<double>(bytes) / 1e6;
}

BENCHMARK(CairoPdfDocument)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PrintPathDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- Peak memory -----------------------------------------------------------------------------

long ResidentKiB() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct PeakMemory {
  long beforeKiB = -1;  // resident once the printer, driver and library were ready
  long peakKiB = -1;    // the process's peak after the document
};

// Prints a document of `pages` pages in a child process (so that each size starts from the same
// state) and answers its resident memory before and its peak after.
PeakMemory MeasurePeak(size_t pages) {
  PeakMemory result;
  int channel[2];
  if (pipe(channel) != 0) return result;
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    long figures[2] = {-1, -1};
    {
      PrintWorld world;
      if (world.Ready() && world.PrintPages(1) >= 0) {
        figures[0] = ResidentKiB();
        if (world.PrintPages(pages) >= 0) {
          rusage usage{};
          getrusage(RUSAGE_SELF, &usage);
          figures[1] = usage.ru_maxrss;
        }
      }
    }
    const ssize_t sent = write(channel[1], figures, sizeof figures);
    _exit(sent == sizeof figures ? 0 : 1);
  }
  close(channel[1]);
  long figures[2] = {-1, -1};
  if (child > 0 && read(channel[0], figures, sizeof figures) == sizeof figures) {
    result.beforeKiB = figures[0];
    result.peakKiB = figures[1];
  }
  close(channel[0]);
  if (child > 0) waitpid(child, nullptr, 0);
  return result;
}

// The print path's peak memory for a document of state.range(0) pages, as counters.
void PrintPathPeakMemory(benchmark::State& state) {
  PeakMemory peak{};
  for (auto _ : state) peak = MeasurePeak(static_cast<size_t>(state.range(0)));
  if (peak.peakKiB < 0) state.SkipWithError("the document did not print");
  state.counters["resident_before_KiB"] = static_cast<double>(peak.beforeKiB);
  state.counters["peak_KiB"] = static_cast<double>(peak.peakKiB);
  state.counters["growth_KiB"] = static_cast<double>(peak.peakKiB - peak.beforeKiB);
}

BENCHMARK(PrintPathPeakMemory)->Arg(10)->Arg(100)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);

void PrintRatios(const RatioReporter& times) {
  if (auto ratio = times.Ratio("CairoPdfDocument/real_time", "PrintPathDocument/real_time"))
    std::printf("cairo PDF / print path = %.2f (above 1: the print path is faster)\n", *ratio);
}

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv, PrintRatios); }
