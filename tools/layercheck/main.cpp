// layercheck ROOT
// Checks the includes of the layered trees of the checkout at ROOT against the layers their
// READMEs name (layer_check.h): prints each fault and exits with 1, or exits with 0.
#include <cstdio>

#include "layer_check.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: layercheck ROOT\n");
    return 2;
  }
  const std::vector<std::string> faults = CheckLayers(argv[1]);
  for (const std::string& fault : faults) std::printf("%s\n", fault.c_str());
  if (!faults.empty()) {
    std::printf("layercheck: %zu fault(s)\n", faults.size());
    return 1;
  }
  std::printf("layercheck: the layers hold\n");
  return 0;
}
