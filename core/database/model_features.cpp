// The model feature words.
#include "core/database/model_features.h"

#include "core/common/common_routines.h"
#include "platform/base/byte_order.h"
#include "platform/base/types.h"

namespace {

constexpr DWORD kFirstFeatureSection = 26;
constexpr WORD kFeatureWordBytes = 4;

// Element 0 of a section of 32-bit elements, little-endian.
bool ReadFeatureWord(DatabaseStream* stream, DWORD section, DWORD* word) {
  BYTE bytes[kFeatureWordBytes] = {};
  if (ReadSectionElement(stream, section, kFeatureWordBytes, 0, bytes) != kDbOk) return false;
  *word = GetLE32(bytes);
  return true;
}

// The second word: 0 for older databases and for an empty section 39. The section is the
// last of the header, so a walk that cannot reach it means the header is unreadable.
bool ReadSecondFeatureWord(DatabaseStream* stream, DWORD* word) {
  *word = 0;
  if (stream->formatLevel < DDD_LEVEL_1600) return true;
  if (LocateSection(stream, DDD_SECTION_FEATURES2) == nullptr) return false;
  if (GetSectionCount(stream, DDD_SECTION_FEATURES2) == 0) return true;
  return ReadFeatureWord(stream, DDD_SECTION_FEATURES2, word);
}

}  // namespace

int GetModelFeatureFlags(DatabaseStream* stream, DWORD words[2]) {
  if (stream == nullptr || words == nullptr) return 0;
  DWORD first = 0;
  DWORD second = 0;
  if (!ReadFeatureWord(stream, kFirstFeatureSection, &first) || !ReadSecondFeatureWord(stream, &second)) {
    words[0] = words[1] = 0;
    return 0;
  }
  words[0] = first;
  words[1] = second;
  return 1;
}

int HasModelFeature(DatabaseStream* stream, DWORD feature) {
  DWORD words[2] = {0, 0};
  if (!GetModelFeatureFlags(stream, words)) return 0;
  return TestFeatureFlag(words, feature);
}
