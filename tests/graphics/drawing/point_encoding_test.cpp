// The 28.4 point conversion of the display list: every form the processor runs gives the bytes of
// the format for values at the edges of the range and for point counts around each vector
// width, and writes nothing past its points.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/drawing/point_encoding.h"
#include "tests/graphics/drawing/drawing_fixture.h"

namespace {

// Values with the bytes the format gives them (the value / 16 as a big-endian float).
const struct {
  LONG value;
  const char* bytes;
} kValues[] = {
    {0, "00000000"},
    {0x10, "3F800000"},             // 1
    {-0x18, "BFC00000"},            // -1.5
    {1, "3D800000"},                // 0.0625
    {-1, "BD800000"},               // -0.0625
    {0x7FFF0, "46FFFE00"},          // 32767
    {0x1000001, "49800000"},        // 2^24 + 1 rounds to 2^24 before the scale
    {0x1000003, "49800002"},        // 2^24 + 3 rounds to 2^24 + 4, then / 16
    {0x7FFFFFFF, "4D000000"},       // rounds up to 2^31
    {-0x7FFFFFFF - 1, "CD000000"},  // -2^31
    {-0x12345677, "CB91A2B4"},      // odd, negative, rounded
};

TEST(FixedPointEncoding, EveryFormGivesTheFormatsBytes) {
  const size_t valueCount = sizeof(kValues) / sizeof(kValues[0]);
  // Up to 23 points: every remainder after runs of two and of four, and several runs.
  std::vector<RecordPoint> points;
  std::vector<BYTE> expected;
  for (size_t i = 0; i < 23; ++i) {
    const auto& x = kValues[(2 * i) % valueCount];
    const auto& y = kValues[(2 * i + 1) % valueCount];
    points.push_back({x.value, y.value});
    for (const char* hex : {x.bytes, y.bytes}) {
      const std::vector<BYTE> bytes = HexBytes(hex);
      expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
  }
  constexpr BYTE kGuard = 0xA5;
  constexpr size_t kGuardBytes = 40;
  for (size_t e = 0; e < kFixedPointEncoderCount; ++e) {
    const FixedPointEncoder& encoder = kFixedPointEncoders[e];
    if (!encoder.available()) continue;
    for (DWORD n = 0; n <= points.size(); ++n) {
      SCOPED_TRACE(std::string(encoder.name) + ", " + std::to_string(n) + " points");
      const size_t length = n * kFixedPointBytes;
      std::vector<BYTE> out(length + kGuardBytes, kGuard);
      encoder.encode(out.data(), points.data(), n);
      EXPECT_EQ(std::vector<BYTE>(out.begin(), out.begin() + length),
                std::vector<BYTE>(expected.begin(), expected.begin() + length));
      EXPECT_EQ(std::vector<BYTE>(out.begin() + length, out.end()), std::vector<BYTE>(kGuardBytes, kGuard))
          << "nothing written past the points";
    }
  }
  // The form the recorder uses, from a point that does not start a vector's alignment.
  std::vector<BYTE> out(22 * kFixedPointBytes);
  EncodeFixedPoints(out.data(), points.data() + 1, 22);
  EXPECT_EQ(out, std::vector<BYTE>(expected.begin() + kFixedPointBytes, expected.end()));
}

}  // namespace
