// The ICC profile reader: header checks, the tag table, the tags the engine uses ('A2B0' of
// type 'mft1' or 'mft2', the three TRCs, the three colorants and 'wtpt'), then the table model
// for scanner profiles with an 'A2B0', else the matrix model.
#include "graphics/imaging/icc_profile_reader.h"

#include <cmath>
#include <cstring>

#include "graphics/imaging/color_maths.h"
#include "graphics/imaging/icc_lut_table.h"
#include "graphics/imaging/tone_curves.h"
#include "platform/kernel/memory.h"

namespace {
constexpr std::uint32_t Sig(const char (&s)[5]) {
  return (std::uint32_t(BYTE(s[0])) << 24) | (std::uint32_t(BYTE(s[1])) << 16) | (std::uint32_t(BYTE(s[2])) << 8) |
         BYTE(s[3]);
}
std::uint32_t ReadBe32(const BYTE* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

constexpr std::size_t kHeaderBytes = 132;  // the 128-byte header and the tag count

// A fixed global block freed when it goes out of scope.
struct TagBuffer {
  HGLOBAL Block = nullptr;
  std::size_t Size = 0;
  TagBuffer() = default;
  TagBuffer(const TagBuffer&) = delete;
  TagBuffer& operator=(const TagBuffer&) = delete;
  ~TagBuffer() { Free(); }
  void Free() {
    if (Block != nullptr) GlobalFree(Block);
    Block = nullptr;
    Size = 0;
  }
  BYTE* Bytes() const { return static_cast<BYTE*>(Block); }
};

// Reads size bytes at offset into a new block: kIccReadFailed when they lie past the end or
// cannot be read, kIccNoMemory without a block.
int ReadBlock(const IccSource& source, std::uint64_t offset, std::uint64_t size, TagBuffer& out) {
  out.Free();
  if (offset > source.Size || size > source.Size - offset || size > SIZE_MAX) return kIccReadFailed;
  out.Block = GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(size == 0 ? 1 : size));
  if (out.Block == nullptr) return kIccNoMemory;
  out.Size = static_cast<std::size_t>(size);
  if (size > 0 && !source.ReadAt(source.Context, offset, out.Bytes(), out.Size)) return kIccReadFailed;
  return kIccOk;
}

// The three s15Fixed16 numbers of an 'XYZ ' tag.
bool ReadXyzTag(const TagBuffer& tag, Xyz& out) {
  if (tag.Size < 20 || ReadBe32(tag.Bytes()) != Sig("XYZ ")) return false;
  auto number = [&tag](int i) { return static_cast<std::int32_t>(ReadBe32(tag.Bytes() + 8 + 4 * i)) / 65536.0; };
  out = {number(0), number(1), number(2)};
  return true;
}

struct ProfileTags {
  WORD Curves[3][256];
  bool HasCurve[3] = {false, false, false};
  Xyz Colorants[3];
  bool HasColorant[3] = {false, false, false};
  Xyz White;
  bool HasWhite = false;
  TagBuffer LutTag;
  LutTagLayout Layout;
  bool HasLut = false;
};

int ReadTag(const IccSource& source, std::uint32_t signature, std::uint32_t offset, std::uint32_t size,
            ProfileTags& tags) {
  static constexpr std::uint32_t kCurves[3] = {Sig("rTRC"), Sig("gTRC"), Sig("bTRC")};
  static constexpr std::uint32_t kColorants[3] = {Sig("rXYZ"), Sig("gXYZ"), Sig("bXYZ")};
  int channel = -1;
  enum { kNone, kCurve, kColorant, kWhite, kLut } kind = kNone;
  for (int i = 0; i < 3; ++i) {
    if (signature == kCurves[i]) channel = i, kind = kCurve;
    if (signature == kColorants[i]) channel = i, kind = kColorant;
  }
  if (signature == Sig("wtpt")) kind = kWhite;
  if (signature == Sig("A2B0")) kind = kLut;
  if (kind == kNone) return kIccOk;

  // A tag that appears twice counts once: the first usable one holds.
  if ((kind == kCurve && tags.HasCurve[channel]) || (kind == kColorant && tags.HasColorant[channel]) ||
      (kind == kWhite && tags.HasWhite) || (kind == kLut && tags.HasLut))
    return kIccOk;

  TagBuffer tag;
  if (int rc = ReadBlock(source, offset, size, tag); rc != kIccOk) return rc;
  switch (kind) {
    case kCurve:
      tags.HasCurve[channel] = CurveFromTrc(tag.Bytes(), tag.Size, tags.Curves[channel]);
      break;
    case kColorant:
      tags.HasColorant[channel] = ReadXyzTag(tag, tags.Colorants[channel]);
      break;
    case kWhite:
      tags.HasWhite = ReadXyzTag(tag, tags.White);
      break;
    case kLut:
      if (ReadLutTagLayout(tag.Bytes(), tag.Size, tags.Layout)) {
        tags.HasLut = true;
        tags.LutTag.Block = tag.Block;
        tags.LutTag.Size = tag.Size;
        tag.Block = nullptr;
      }
      break;
    case kNone:
      break;
  }
  return kIccOk;
}

// The matrix model: colorant rows scaled so that full red, green and blue give the profile
// white, then adapted to sRGB.
int BuildMatrixModel(ProfileLut& lut, const ProfileTags& tags) {
  Matrix3 p{};
  for (int c = 0; c < 3; ++c) {
    p[0][c] = tags.Colorants[c].X;
    p[1][c] = tags.Colorants[c].Y;
    p[2][c] = tags.Colorants[c].Z;
  }
  const double white[3] = {tags.White.X, tags.White.Y, tags.White.Z};
  for (int row = 0; row < 3; ++row) {
    const double sum = p[row][0] + p[row][1] + p[row][2];
    if (sum == 0 || !std::isfinite(sum)) return kIccMissingTags;
    for (double& v : p[row]) v *= white[row] / sum;
  }
  Matrix3 adapt{};
  if (!AdaptToSrgb(tags.White, adapt) || !ToFixed16(MultiplyMatrix3(adapt, p), lut.Matrix)) return kIccMissingTags;
  std::memcpy(lut.InputCurves, tags.Curves, sizeof lut.InputCurves);
  lut.State = kLutMatrixModel;
  return kIccOk;
}

int ReadProfile(ProfileLut& lut, const IccSource& source) {
  BYTE header[kHeaderBytes];
  if (source.Size < kHeaderBytes || !source.ReadAt(source.Context, 0, header, kHeaderBytes)) return kIccReadFailed;
  if (ReadBe32(header + 36) != Sig("acsp")) return kIccNoSignature;
  if (ReadBe32(header + 16) != Sig("RGB ")) return kIccWrongClass;
  const std::uint32_t connection = ReadBe32(header + 20);
  if (connection != Sig("XYZ ") && connection != Sig("Lab ")) return kIccMissingTags;
  const std::uint32_t profileClass = ReadBe32(header + 12);
  const bool scanner = profileClass == Sig("scnr");
  if (!scanner && !(profileClass == Sig("mntr") && connection == Sig("XYZ "))) return kIccWrongClass;

  const std::uint64_t count = ReadBe32(header + 128);
  TagBuffer table;
  if (int rc = ReadBlock(source, kHeaderBytes, count * 12, table); rc != kIccOk) return rc;
  ProfileTags tags;
  for (std::uint64_t i = 0; i < count; ++i) {
    const BYTE* entry = table.Bytes() + i * 12;
    if (int rc = ReadTag(source, ReadBe32(entry), ReadBe32(entry + 4), ReadBe32(entry + 8), tags); rc != kIccOk)
      return rc;
  }

  if (scanner && tags.HasLut && tags.HasWhite)
    return BuildLutTable(lut, tags.LutTag.Bytes(), tags.Layout, connection == Sig("Lab "), tags.White);
  const bool matrixTags = tags.HasCurve[0] && tags.HasCurve[1] && tags.HasCurve[2] && tags.HasColorant[0] &&
                          tags.HasColorant[1] && tags.HasColorant[2] && tags.HasWhite;
  if (!matrixTags) return kIccMissingTags;
  return BuildMatrixModel(lut, tags);
}

struct MemorySource {
  const BYTE* Bytes;
};
bool ReadMemory(void* context, std::uint64_t offset, BYTE* buffer, std::size_t size) {
  std::memcpy(buffer, static_cast<MemorySource*>(context)->Bytes + offset, size);
  return true;
}
}  // namespace

int ReadIccProfile(ProfileLut& lut, const IccSource& source) {
  ReleaseProfileLut(lut);
  const int rc = ReadProfile(lut, source);
  if (rc != kIccOk) ReleaseProfileLut(lut);
  return rc;
}

int ReadIccProfileBytes(ProfileLut& lut, const BYTE* bytes, std::size_t size) {
  MemorySource memory{bytes};
  return ReadIccProfile(lut, IccSource{&memory, size, ReadMemory});
}
