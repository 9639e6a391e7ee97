// The UserSettingInfo layouts and the conversion of older versions.
#include "items/user_setting_info.h"
#include "platform/base/types.h"

#include <cstring>

namespace {

constexpr ItemLayoutRow kList1[] = {
    {0x200B, kTypeUInt16, 0, 2, 2},
    {0x200C, kTypeUInt16, 0, 4, 2},
    {0x1411, kTypeUInt16, 0, 6, 2},
};

constexpr ItemLayoutRow kList2[] = {
    {0x1409, kTypeString, 0, 74, 50},  {0x140A, kTypeString, 0, 124, 10}, {0x141A, kTypeUInt16, 0, 134, 2},
    {0x141B, kTypeString, 0, 136, 258}, {0x1427, kTypeString, 0, 394, 34},  // secret
};

constexpr ItemLayoutRow kList3[] = {
    {0x141E, kTypeString, 0, 432, 66}, {0x141C, kTypeString, 0, 498, 26},
    {0x1429, kTypeString, 0, 524, 34},  // secret
    {0x142F, kTypeString, 0, 558, 66}, {0x142D, kTypeUInt8, 0, 624, 1},  {0x1431, kTypeFlag, 0, 628, 4},
    {0x1433, kTypeFlag, 0, 632, 4},    {0x1435, kTypeFlag, 0, 636, 4},   {0x143A, kTypeUInt16, 0, 640, 2},
    {0x1436, kTypeString, 0, 642, 66}, {0x1437, kTypeString, 0, 708, 34},  // secret
    {0x1438, kTypeString, 0, 742, 66}, {0x143C, kTypeString, 0, 808, 50},
    {0x143E, kTypeString, 0, 858, 34},  // secret
    {0x143F, kTypeUInt8, 0, 892, 1},   {0x1440, kTypeString, 0, 894, 50},
    {0x1441, kTypeString, 0, 944, 34},  // secret
};

// Version 1 carries six fields at other places.
struct MovedField {
  DWORD from;
  DWORD size;
  DWORD to;
};
constexpr MovedField kVersion1Fields[] = {
    {72, 66, 432}, {138, 26, 498}, {164, 50, 74}, {214, 10, 124}, {224, 2, 134}, {226, 258, 136},
};

}  // namespace

constexpr std::array<std::span<const ItemLayoutRow>, 3> UserSettingFieldTable = {
    std::span<const ItemLayoutRow>(kList1), std::span<const ItemLayoutRow>(kList2),
    std::span<const ItemLayoutRow>(kList3)};

bool ConvertUserSettingInfo(const BYTE* input, BYTE* output) {
  WORD version;
  std::memcpy(&version, input, 2);
  switch (version) {
    case 3: std::memcpy(output, input, kUserSettingInfoSize); return true;
    case 2: std::memcpy(output, input, kUserSettingInfoV2Size); return true;
    case 1:
      for (const MovedField& field : kVersion1Fields) std::memcpy(output + field.to, input + field.from, field.size);
      return true;
    default: return false;
  }
}
