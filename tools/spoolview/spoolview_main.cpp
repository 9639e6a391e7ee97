// spoolview: renders the pages of a spool file that holds the drawing library's stream into
// PNG files, one per page.
//
//   spoolview SPOOLFILE OUTDIR [SCALE]
//
// writes OUTDIR/page-001.png and so on; SCALE is picture pixels per device pixel (0.25 by
// default: a 600 dpi page at 150 dpi). Prints what it found and wrote.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/spoolview/spool_render.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: spoolview SPOOLFILE OUTDIR [SCALE]\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "spoolview: cannot read %s\n", argv[1]);
    return 1;
  }
  const std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), {});
  SpoolRenderOptions options;
  if (argc == 4) {
    options.scale = std::atof(argv[3]);
    if (!(options.scale > 0 && options.scale <= 4)) {
      std::fprintf(stderr, "spoolview: SCALE must lie in (0, 4]\n");
      return 2;
    }
  }
  const SpoolScan scan = ScanSpoolStream(bytes);
  const std::vector<ReferenceImage> pages = RenderSpoolPages(scan, options);
  std::filesystem::create_directories(argv[2]);
  std::printf("%zu records, %zu other bytes%s, %zu pages\n", scan.records.size(), scan.otherBytes,
              scan.truncated ? ", the last record cut off" : "", pages.size());
  for (size_t i = 0; i < pages.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof(name), "page-%03zu.png", i + 1);
    const std::string path = (std::filesystem::path(argv[2]) / name).string();
    if (!SaveReferencePng(pages[i], path)) {
      std::fprintf(stderr, "spoolview: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s (%ld x %ld)\n", path.c_str(), static_cast<long>(pages[i].width), static_cast<long>(pages[i].height));
  }
  return 0;
}
