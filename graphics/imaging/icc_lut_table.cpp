#include "graphics/imaging/icc_lut_table.h"

#include <cmath>
#include <cstdint>

#include "graphics/imaging/tone_curves.h"
#include "platform/kernel/memory.h"

namespace {
unsigned ReadBe16(const BYTE* p) { return (unsigned{p[0]} << 8) | p[1]; }
std::uint32_t ReadBe32(const BYTE* p) { return (std::uint32_t{ReadBe16(p)} << 16) | ReadBe16(p + 2); }

constexpr std::size_t kOutputCurveEntries = 4096;

// A locked moveable block, freed when it goes out of scope unless kept.
struct LockedBlock {
  HGLOBAL Block = nullptr;
  void* Bytes = nullptr;
  explicit LockedBlock(std::size_t size) {
    Block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (Block != nullptr) Bytes = GlobalLock(Block);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  ~LockedBlock() {
    if (Bytes != nullptr) GlobalUnlock(Block);
    if (Block != nullptr) GlobalFree(Block);
  }
  WORD* Words() const { return static_cast<WORD*>(Bytes); }
};

// One grid value of the tag as a 16-bit number (8-bit values times 256).
double GridValue(const BYTE* tag, const LutTagLayout& layout, std::size_t index) {
  return layout.Wide ? ReadBe16(tag + layout.GridValues + 2 * index) : tag[layout.GridValues + index] * 256.0;
}

// Tetrahedral interpolation of the tag's grid at (x, y, z) in 0..1; the three results rounded.
void InterpolateLut(const BYTE* tag, const LutTagLayout& layout, double x, double y, double z, long out[3]) {
  const std::size_t g = layout.Grid;
  double pos[3] = {x * (g - 1), y * (g - 1), z * (g - 1)};
  std::size_t cell[3];
  double f[3];
  for (int i = 0; i < 3; ++i) {
    std::size_t c = static_cast<std::size_t>(pos[i]);
    if (c > g - 2) c = g - 2;
    cell[i] = c;
    f[i] = pos[i] - c;
  }
  auto corner = [&](int i, int j, int k, int channel) {
    const std::size_t index = ((cell[0] + i) * g + (cell[1] + j)) * g + (cell[2] + k);
    return GridValue(tag, layout, index * 3 + channel);
  };
  // The order of the fractions picks the tetrahedron: steps along the largest fraction first.
  int order[3] = {0, 1, 2};
  if (f[order[0]] < f[order[1]]) std::swap(order[0], order[1]);
  if (f[order[1]] < f[order[2]]) std::swap(order[1], order[2]);
  if (f[order[0]] < f[order[1]]) std::swap(order[0], order[1]);
  int step1[3] = {0, 0, 0}, step2[3] = {0, 0, 0};
  step1[order[0]] = 1;
  step2[order[0]] = 1;
  step2[order[1]] = 1;
  const double a = f[order[0]], b = f[order[1]], c = f[order[2]];
  for (int ch = 0; ch < 3; ++ch) {
    const double v = corner(0, 0, 0, ch) * (1 - a) + corner(step1[0], step1[1], step1[2], ch) * (a - b) +
                     corner(step2[0], step2[1], step2[2], ch) * (b - c) + corner(1, 1, 1, ch) * c;
    out[ch] = std::lround(v);
  }
}
}  // namespace

bool ReadLutTagLayout(const BYTE* tag, std::size_t size, LutTagLayout& out) {
  if (size < 52) return false;
  const std::uint32_t type = ReadBe32(tag);
  if (type != 0x6D667431 && type != 0x6D667432) return false;  // 'mft1', 'mft2'
  if (tag[8] != 3 || tag[9] != 3 || tag[10] < 2) return false;
  LutTagLayout l{};
  l.Wide = type == 0x6D667432;
  l.Grid = tag[10];
  const std::size_t valueBytes = l.Wide ? 2 : 1;
  l.InputCount = l.Wide ? ReadBe16(tag + 48) : 256;
  l.OutputCount = l.Wide ? ReadBe16(tag + 50) : 256;
  if (l.InputCount < 2 || l.OutputCount < 2 || l.InputCount > 4096 || l.OutputCount > 4096) return false;
  l.InputTables = l.Wide ? 52 : 48;
  l.GridValues = l.InputTables + 3 * l.InputCount * valueBytes;
  l.OutputTables = l.GridValues + l.Grid * l.Grid * l.Grid * 3 * valueBytes;
  if (l.OutputTables + 3 * l.OutputCount * valueBytes > size) return false;
  out = l;
  return true;
}

int BuildLutTable(ProfileLut& lut, const BYTE* tag, const LutTagLayout& layout, bool lab, const Xyz& white) {
  Matrix3 adapt{};
  if (!AdaptToSrgb(white, adapt)) return kIccMissingTags;
  const std::size_t valueBytes = layout.Wide ? 2 : 1;
  for (int c = 0; c < 3; ++c) {
    const BYTE* input = tag + layout.InputTables + c * layout.InputCount * valueBytes;
    if (layout.Wide)
      ResampleCurve16(input, layout.InputCount, lut.InputCurves[c], 256);
    else
      ResampleCurve8(input, layout.InputCount, lut.InputCurves[c], 256);
  }
  LockedBlock scratch[3] = {LockedBlock(kOutputCurveEntries * 2), LockedBlock(kOutputCurveEntries * 2),
                            LockedBlock(kOutputCurveEntries * 2)};
  for (int c = 0; c < 3; ++c) {
    if (scratch[c].Bytes == nullptr) return kIccNoMemory;
    const BYTE* output = tag + layout.OutputTables + c * layout.OutputCount * valueBytes;
    if (layout.Wide)
      ResampleCurve16(output, layout.OutputCount, scratch[c].Words(), kOutputCurveEntries);
    else
      ResampleCurve8(output, layout.OutputCount, scratch[c].Words(), kOutputCurveEntries);
  }
  LockedBlock table(kLutBytes);
  if (table.Bytes == nullptr) return kIccNoMemory;

  const double scale[3] = {white.X / kD50White.X, white.Y, white.Z / kD50White.Z};
  WORD* entry = table.Words();
  for (int r = 0; r < kLutGridPoints; ++r)
    for (int g = 0; g < kLutGridPoints; ++g)
      for (int b = 0; b < kLutGridPoints; ++b, entry += 3) {
        long v[3];
        InterpolateLut(tag, layout, r / 16.0, g / 16.0, b / 16.0, v);
        double pcs[3];
        for (int c = 0; c < 3; ++c) {
          const long index = v[c] / 16;
          pcs[c] = scratch[c].Words()[index < 0 ? 0 : index > 4095 ? 4095 : index];
        }
        Xyz xyz = lab ? LabToXyz(pcs[0] / 652.8, pcs[1] / 256 - 128, pcs[2] / 256 - 128, kD50White)
                      : Xyz{pcs[0] / 32768, pcs[1] / 32768, pcs[2] / 32768};
        const double in[3] = {xyz.X * scale[0], xyz.Y * scale[1], xyz.Z * scale[2]};
        for (int row = 0; row < 3; ++row) {
          const double out = (adapt[row][0] * in[0] + adapt[row][1] * in[1] + adapt[row][2] * in[2]) * 65535;
          entry[row] = static_cast<WORD>(out <= 0 ? 0 : out >= 65535 ? 65535 : std::lround(out));
        }
      }
  lut.LutBlock = table.Block;
  lut.Lut = table.Words();
  table.Block = nullptr;
  table.Bytes = nullptr;
  lut.State = kLutTableModel;
  return kIccOk;
}
