// The stored layouts of older device modes, written as runs of consecutive ids whose offsets
// follow each other by the stored size, and expanded into rows at compile time. Every row is a
// fixed stored format; the expansion checks each run's last offset and each table's row count.
#include "core/persist/old_layouts.h"
#include "platform/base/types.h"

#include <array>

namespace {

struct OldLayoutRun {
  SettingItemId first;
  SettingItemId last;
  ValueTypeCode type;
  DWORD firstOffset;
  DWORD lastOffset;
  WORD byteSize;
};

constexpr ValueTypeCode F = kTypeFlag, I16 = kTypeInt16, U16 = kTypeUInt16, I32 = kTypeInt32, U32 = kTypeUInt32,
                        STR = kTypeString, U8 = kTypeUInt8, FONT = kTypeFont;

template <size_t N>
constexpr size_t CountRows(const OldLayoutRun (&runs)[N]) {
  size_t rows = 0;
  for (const OldLayoutRun& run : runs) rows += size_t(run.last - run.first) + 1;
  return rows;
}

// Expands the runs; a run whose last offset does not follow from its first one, or a row
// count other than the table's, stops the build.
template <size_t Rows, size_t N>
constexpr std::array<OldLayoutRow, Rows> ExpandRuns(const OldLayoutRun (&runs)[N]) {
  if (CountRows(runs) != Rows) throw "row count differs from the table";
  std::array<OldLayoutRow, Rows> rows{};
  size_t n = 0;
  for (const OldLayoutRun& run : runs) {
    const OldLayoutRow first{run.first, run.type, run.firstOffset, run.byteSize, 0};
    const DWORD step = GetOldLayoutValueSize(first);
    if (step == 0) throw "type without a stored size";
    if (run.firstOffset + DWORD(run.last - run.first) * step != run.lastOffset) throw "run offsets do not follow";
    for (DWORD i = 0; i <= DWORD(run.last - run.first); ++i)
      rows[n++] = {SettingItemId(run.first + i), run.type, run.firstOffset + i * step, run.byteSize, 0};
  }
  return rows;
}

// ---- Family 1 ------------------------------------------------------------------------------
constexpr OldLayoutRun kRuns0100[] = {
    {1, 1, STR, 0, 0, 64},          {2, 5, U16, 64, 70, 0},        {6, 6, U32, 72, 72, 0},
    {7, 13, I16, 76, 88, 0},        {14, 14, U32, 90, 90, 0},      {15, 16, I16, 92, 94, 0},
    {17, 18, I16, 98, 100, 0},      {19, 19, STR, 102, 102, 64},   {20, 20, I16, 90, 90, 0},
    {21, 21, I16, 96, 96, 0},       {22, 25, U32, 188, 200, 0},    {257, 258, U16, 220, 222, 0},
    {259, 259, STR, 224, 224, 64},  {1323, 1323, F, 288, 288, 0},  {262, 262, U16, 292, 292, 0},
    {1281, 1281, F, 296, 296, 0},   {263, 263, U16, 300, 300, 0},  {1282, 1282, F, 304, 304, 0},
    {264, 266, U16, 308, 312, 0},   {388, 388, U16, 320, 320, 0},  {267, 269, U16, 322, 326, 0},
    {1283, 1283, F, 328, 328, 0},   {1313, 1313, F, 336, 336, 0},  {389, 389, U16, 340, 340, 0},
    {270, 271, U16, 342, 344, 0},   {390, 390, U16, 346, 346, 0},  {1314, 1314, F, 348, 348, 0},
    {272, 272, U16, 352, 352, 0},   {273, 273, U32, 356, 356, 0},  {274, 285, I16, 360, 382, 0},
    {1315, 1315, F, 384, 384, 0},   {391, 391, U16, 388, 388, 0},  {392, 392, U32, 392, 392, 0},
    {393, 393, U32, 392, 392, 0},   {394, 395, U32, 392, 396, 0},  {396, 396, U32, 396, 396, 0},
    {397, 398, U32, 396, 400, 0},   {399, 399, U32, 400, 400, 0},  {400, 401, U32, 400, 404, 0},
    {402, 402, U32, 404, 404, 0},   {403, 403, U32, 404, 404, 0},  {286, 288, U16, 408, 412, 0},
    {1832, 1832, STR, 414, 414, 258}, {1303, 1303, F, 672, 672, 0}, {1833, 1833, STR, 676, 676, 258},
    {1304, 1311, F, 936, 964, 0},   {291, 291, U16, 968, 968, 0},  {1316, 1320, F, 972, 988, 0},
    {1324, 1324, F, 992, 992, 0},   {292, 294, U16, 996, 1000, 0}, {1321, 1321, F, 1004, 1004, 0},
};

constexpr OldLayoutRun kRuns2000[] = {
    {1284, 1284, U32, 1008, 1008, 0},  {295, 296, U16, 1012, 1014, 0},    {1285, 1285, F, 1016, 1016, 0},
    {297, 297, STR, 1020, 1020, 66},   {298, 298, STR, 1020, 1020, 66},   {1286, 1286, F, 1088, 1088, 0},
    {299, 299, STR, 1092, 1092, 130},  {300, 300, U16, 1222, 1222, 0},    {301, 301, U32, 1224, 1224, 0},
    {1287, 1287, F, 1228, 1228, 0},    {302, 303, U16, 1232, 1234, 0},    {304, 304, FONT, 1236, 1236, 92},
    {1288, 1289, F, 1328, 1332, 0},
};

constexpr OldLayoutRun kRuns3000[] = {
    {320, 322, U16, 1340, 1344, 0}, {1290, 1290, F, 1348, 1348, 0},   {323, 323, U16, 1352, 1352, 0},
    {1291, 1292, F, 1356, 1360, 0}, {324, 328, U16, 1364, 1372, 0},   {329, 329, STR, 1374, 1374, 49},
    {330, 330, U16, 1424, 1424, 0}, {1293, 1294, F, 1428, 1432, 0},   {4129, 4129, F, 1436, 1436, 0},
};

constexpr OldLayoutRun kRuns3002[] = {
    {1322, 1322, U16, 1444, 1444, 0},   {331, 335, U16, 1446, 1454, 0}, {336, 336, U16, 1482, 1482, 0},
    {1829, 1829, STR, 1484, 1484, 256}, {338, 338, STR, 1740, 1740, 18}, {339, 339, U16, 1758, 1758, 0},
    {340, 340, STR, 1760, 1760, 18},    {341, 345, U16, 1784, 1792, 0},
};

constexpr OldLayoutRun kRuns4000[] = {
    {346, 346, U8, 1800, 1800, 0}, {1831, 1831, STR, 1802, 1802, 50}, {348, 348, U16, 1852, 1852, 0},
};

constexpr OldLayoutRun kRuns4001[] = {{349, 349, U16, 1860, 1860, 0}};

constexpr OldLayoutRun kRuns4002[] = {{1302, 1302, U8, 1868, 1868, 0}, {350, 350, U16, 1870, 1870, 0}};

constexpr OldLayoutRun kRuns4003[] = {{404, 414, U16, 1992, 2012, 0}, {1834, 1853, U16, 2014, 2052, 0}};

constexpr OldLayoutRun kRuns4004[] = {
    {1296, 1301, U8, 1876, 1881, 0},    {351, 356, U16, 1882, 1892, 0},     {357, 357, FONT, 1896, 1896, 92},
    {373, 373, U32, 1988, 1988, 0},     {1794, 1794, U16, 2060, 2060, 0},   {1795, 1795, STR, 2062, 2062, 258},
    {1796, 1796, U16, 2320, 2320, 0},   {1797, 1797, STR, 2322, 2322, 82},  {1798, 1798, STR, 2404, 2404, 166},
    {1799, 1799, STR, 2570, 2570, 522}, {1800, 1803, U16, 3092, 3098, 0},   {376, 377, U16, 3100, 3102, 0},
    {1830, 1830, STR, 3104, 3104, 258}, {1804, 1804, U16, 3362, 3362, 0},   {1805, 1805, STR, 3364, 3364, 10},
    {379, 379, U16, 3374, 3374, 0},     {1806, 1806, STR, 3376, 3376, 58},  {1807, 1812, U16, 3434, 3444, 0},
    {1813, 1813, STR, 3446, 3446, 10},  {1814, 1815, U16, 3456, 3458, 0},   {1816, 1816, STR, 3460, 3460, 120},
    {1817, 1818, STR, 3580, 3622, 42},  {1819, 1820, STR, 3664, 3746, 82},  {1821, 1821, STR, 3828, 3828, 418},
    {1822, 1823, STR, 4246, 4308, 62},  {374, 375, STR, 4370, 4628, 258},   {380, 383, U16, 4886, 4892, 0},
    {1824, 1824, U16, 4894, 4894, 0},   {1825, 1828, I32, 4896, 4908, 0},   {384, 387, U16, 4912, 4918, 0},
};

constexpr OldLayoutRun kRuns4005[] = {{435, 436, STR, 4924, 4934, 10}};

// ---- Family 2 ------------------------------------------------------------------------------
constexpr OldLayoutRun kRuns5000[] = {
    {1, 1, STR, 0, 0, 64},             {2, 5, U16, 64, 70, 0},            {6, 6, U32, 72, 72, 0},
    {7, 13, I16, 76, 88, 0},           {14, 14, U32, 90, 90, 0},          {15, 16, I16, 92, 94, 0},
    {17, 18, I16, 98, 100, 0},         {19, 19, STR, 102, 102, 64},       {20, 20, I16, 90, 90, 0},
    {21, 21, I16, 96, 96, 0},          {22, 25, U32, 188, 200, 0},        {257, 258, U16, 220, 222, 0},
    {259, 259, STR, 224, 224, 64},     {260, 261, U32, 288, 292, 0},      {262, 266, U16, 296, 304, 0},
    {267, 269, U16, 308, 312, 0},      {270, 271, U16, 316, 318, 0},      {272, 272, U16, 321, 321, 0},
    {273, 273, U32, 324, 324, 0},      {274, 285, I16, 328, 350, 0},      {286, 286, U16, 372, 372, 0},
    {287, 287, U16, 373, 373, 0},      {288, 288, U16, 374, 374, 0},      {1832, 1833, STR, 376, 634, 258},
    {291, 291, U16, 892, 892, 0},      {292, 292, U16, 893, 893, 0},      {293, 293, U16, 894, 894, 0},
    {294, 294, U16, 895, 895, 0},      {295, 296, U16, 896, 898, 0},      {297, 297, STR, 900, 900, 66},
    {298, 298, STR, 900, 900, 66},     {299, 299, STR, 966, 966, 130},    {300, 300, U16, 1096, 1096, 0},
    {301, 301, U32, 1100, 1100, 0},    {302, 303, U16, 1104, 1106, 0},    {304, 304, FONT, 1108, 1108, 92},
    {320, 320, U16, 1200, 1200, 0},    {321, 321, U16, 1201, 1201, 0},    {322, 322, U16, 1202, 1202, 0},
    {323, 323, U16, 1203, 1203, 0},    {324, 328, U16, 1204, 1212, 0},    {329, 329, STR, 1213, 1213, 49},
    {330, 330, U16, 1262, 1262, 0},    {331, 331, U16, 1263, 1263, 0},    {332, 334, U16, 1264, 1268, 0},
    {335, 335, U16, 1269, 1269, 0},    {336, 336, U16, 1270, 1270, 0},    {1829, 1829, STR, 1272, 1272, 256},
    {338, 338, STR, 1528, 1528, 18},   {339, 339, U16, 1546, 1546, 0},    {340, 340, STR, 1548, 1548, 18},
    {341, 341, U16, 1566, 1566, 0},    {342, 342, U16, 1567, 1567, 0},    {343, 345, U16, 1568, 1572, 0},
    {346, 346, U8, 1573, 1573, 0},     {1831, 1831, STR, 1574, 1574, 50}, {348, 356, U16, 1624, 1640, 0},
    {357, 357, FONT, 1644, 1644, 92},  {373, 373, U32, 1736, 1736, 0},    {374, 375, STR, 1798, 2056, 258},
    {376, 376, U16, 2314, 2314, 0},    {377, 377, U16, 2315, 2315, 0},    {1830, 1830, STR, 2316, 2316, 258},
    {379, 381, U16, 2574, 2578, 0},    {382, 382, U16, 2579, 2579, 0},    {383, 386, U16, 2580, 2586, 0},
    {387, 387, U16, 2587, 2587, 0},    {388, 388, U16, 306, 306, 0},      {389, 389, U16, 314, 314, 0},
    {390, 390, U16, 320, 320, 0},      {391, 391, U16, 352, 352, 0},      {392, 392, U32, 356, 356, 0},
    {393, 393, U32, 356, 356, 0},      {394, 395, U32, 356, 360, 0},      {396, 396, U32, 360, 360, 0},
    {397, 398, U32, 360, 364, 0},      {399, 399, U32, 364, 364, 0},      {400, 401, U32, 364, 368, 0},
    {402, 402, U32, 368, 368, 0},      {403, 403, U32, 368, 368, 0},      {404, 404, U16, 1740, 1740, 0},
    {405, 405, U16, 1741, 1741, 0},    {406, 410, U16, 1742, 1750, 0},    {411, 411, U16, 1754, 1754, 0},
    {412, 412, U16, 1752, 1752, 0},    {413, 413, U16, 1753, 1753, 0},    {414, 414, U16, 1756, 1756, 0},
    {1834, 1853, U16, 1758, 1796, 0},  {435, 436, STR, 2588, 2598, 10},   {437, 443, U8, 2608, 2614, 0},
};

constexpr OldLayoutRun kRuns5002[] = {{444, 450, U8, 2620, 2626, 0}};

constexpr auto kRows0100 = ExpandRuns<100>(kRuns0100);
constexpr auto kRows2000 = ExpandRuns<16>(kRuns2000);
constexpr auto kRows3000 = ExpandRuns<17>(kRuns3000);
constexpr auto kRows3002 = ExpandRuns<16>(kRuns3002);
constexpr auto kRows4000 = ExpandRuns<3>(kRuns4000);
constexpr auto kRows4001 = ExpandRuns<1>(kRuns4001);
constexpr auto kRows4002 = ExpandRuns<2>(kRuns4002);
constexpr auto kRows4003 = ExpandRuns<31>(kRuns4003);
constexpr auto kRows4004 = ExpandRuns<63>(kRuns4004);
constexpr auto kRows4005 = ExpandRuns<2>(kRuns4005);
constexpr auto kRows5000 = ExpandRuns<182>(kRuns5000);
constexpr auto kRows5002 = ExpandRuns<7>(kRuns5002);

constexpr OldLayoutTable kFamily1[] = {
    {0x0100, kRows0100}, {0x2000, kRows2000}, {0x3000, kRows3000}, {0x3002, kRows3002},
    {0x4000, kRows4000}, {0x4001, kRows4001}, {0x4002, kRows4002}, {0x4003, kRows4003},
    {0x4004, kRows4004}, {0x4005, kRows4005}, {0x4006, {}},        {0x4007, {}},
};

constexpr OldLayoutTable kFamily2[] = {{0x5000, kRows5000}, {0x5001, {}}, {0x5002, kRows5002}};

constexpr OldLayoutFamily kFamilies[] = {
    {0x0100, 0x4007, kFamily1},
    {0x5000, 0x5002, kFamily2},
};

}  // namespace

const std::span<const OldLayoutFamily> OldLayoutFamilies = kFamilies;

const OldLayoutFamily* FindOldLayoutFamily(WORD version) {
  const OldLayoutFamily* found = nullptr;
  for (const OldLayoutFamily& family : kFamilies)
    if (version >= family.firstVersion && version <= family.lastVersion) found = &family;
  return found;
}
