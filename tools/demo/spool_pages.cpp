#include "tools/demo/spool_pages.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/spooler/spooler_sim.h"
#include "tools/spoolview/spool_render.h"

void SaveLastSpoolJob(const std::filesystem::path& folder, const char* spoolName, const char* pagePrefix) {
  const std::vector<SimSpoolJob> jobs = SimListSpoolJobs();
  const std::vector<BYTE> bytes = jobs.empty() ? std::vector<BYTE>{} : SimReadSpoolJob(jobs.back().id);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const std::filesystem::path spool = folder / spoolName;
  if (FILE* f = std::fopen(spool.string().c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  std::printf("  spool file (%zu bytes): %s\n", bytes.size(), spool.string().c_str());
  const std::vector<ReferenceImage> pages = RenderSpoolPages(ScanSpoolStream(bytes), SpoolRenderOptions{});
  for (size_t i = 0; i < pages.size(); ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%03zu.png", pagePrefix, i + 1);
    const std::filesystem::path png = folder / name;
    SaveReferencePng(pages[i], png.string());
    std::printf("  page %zu (%d x %d pixels, a quarter of the device's): %s\n", i + 1, pages[i].width, pages[i].height,
                png.string().c_str());
  }
}
