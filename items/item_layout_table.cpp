// The 730 rows of the item tables, written as runs of consecutive ids, expanded at compile
// time, and the id index built from them. The rows are the stored layout of the
// SettingsRecord and the PrinterConfiguration: every offset is binding.
#include <algorithm>

#include "items/item_index.h"
#include "platform/base/types.h"

namespace {

struct ItemRun {
  BYTE group;
  SettingItemId first;
  SettingItemId last;
  ValueTypeCode type;
  ValueTypeCode exchangeType;
  DWORD offset;      // of the first id
  DWORD step;        // from one id to the next (0: all share the offset)
  DWORD byteLength;  // strings and fonts
};

constexpr ValueTypeCode F = kTypeFlag, I16 = kTypeInt16, U16 = kTypeUInt16, I32 = kTypeInt32,
                        U32 = kTypeUInt32, STR = kTypeString, U8 = kTypeUInt8, FONT = kTypeFont,
                        FF = kTypeFontField;

struct GroupRange {
  ItemArea area;
  SettingItemId first;
  SettingItemId last;
};

constexpr GroupRange kGroupRanges[kItemGroupCount] = {
    {kAreaSettings, 0x101, 0x12F},      {kAreaSettings, 0x130, 0x15F},
    {kAreaSettings, 0x160, 0x18F},      {kAreaSettings, 0x190, 0x1BF},
    {kAreaSettings, 0x1C0, 0x1D1},      {kAreaSettings, 0x501, 0x560},
    {kAreaExtension, 0x701, 0x746},     {kAreaPrinterConfig, 0x1001, 0x110A},
    {kAreaPrinterConfig, 0x1201, 0x1220}, {kAreaPrinterConfig, 0x1401, 0x144E},
    {kAreaPrinterConfig, 0x1601, 0x2013}, {kAreaSettings, 0x001, 0x019},
};

// group, first id, last id, type, exchange type, offset, step, field bytes
constexpr ItemRun kItemRuns[] = {
    // Group 0: private part of the SettingsRecord.
    {0, 257, 258, U16, 0, 220, 2, 0},
    {0, 259, 259, STR, 0, 224, 0, 64},
    {0, 260, 261, U32, 0, 288, 4, 0},  // whole words of the flags 0x501-0x540
    {0, 262, 263, U16, 0, 296, 2, 0},
    {0, 264, 264, U8, U16, 300, 0, 0},
    {0, 265, 266, U16, 0, 302, 2, 0},
    {0, 267, 267, U8, U16, 308, 0, 0},
    {0, 268, 269, U16, 0, 310, 2, 0},
    {0, 270, 270, U8, U16, 316, 0, 0},
    {0, 271, 271, U16, 0, 318, 0, 0},
    {0, 272, 272, U8, U16, 321, 0, 0},
    {0, 273, 273, U32, 0, 324, 0, 0},
    {0, 274, 285, I16, 0, 328, 2, 0},
    {0, 286, 288, U8, U16, 372, 1, 0},
    {0, 291, 295, U8, U16, 375, 1, 0},
    {0, 296, 296, U16, 0, 380, 0, 0},
    {0, 297, 297, STR, 0, 382, 0, 66},
    {0, 298, 298, STR, 0, 382, 0, 66},  // same field as 297
    {0, 299, 299, STR, 0, 448, 0, 130},
    {0, 300, 300, U8, U16, 578, 0, 0},
    {0, 301, 301, U32, 0, 580, 0, 0},
    {0, 302, 302, U8, U16, 584, 0, 0},
    {0, 303, 303, U16, 0, 586, 0, 0},
    // Group 1: first stored font (304) and its fields.
    {1, 304, 304, FONT, 0, 588, 0, kLogFontSize},
    {1, 305, 305, STR, 0, 616, 0, 64},  // lfFaceName
    {1, 306, 307, FF, 0, 588, 16, 0},   // lfHeight, lfWeight
    {1, 308, 308, U8, 0, 608, 0, 0},    // lfItalic
    {1, 309, 310, FF, 0, 596, 4, 0},    // lfEscapement, lfOrientation
    {1, 311, 311, FF, 0, 596, 0, 0},    // lfEscapement again, mirrored to lfOrientation
    {1, 312, 318, U8, 0, 609, 1, 0},    // lfUnderline .. lfPitchAndFamily
    {1, 319, 319, FF, 0, 592, 0, 0},    // lfWidth
    {1, 320, 323, U8, U16, 680, 1, 0},
    {1, 324, 324, U16, 0, 684, 0, 0},
    {1, 325, 325, U8, U16, 686, 0, 0},
    {1, 326, 327, U16, 0, 688, 2, 0},
    {1, 328, 328, U8, U16, 692, 0, 0},
    {1, 329, 329, STR, 0, 693, 0, 49},  // odd offset, odd size: copied raw by the public interface
    {1, 330, 332, U8, U16, 742, 1, 0},
    {1, 333, 333, U16, 0, 746, 0, 0},
    {1, 334, 336, U8, U16, 748, 1, 0},
    {1, 338, 338, STR, 0, 752, 0, 18},
    {1, 339, 339, U8, U16, 770, 0, 0},
    {1, 340, 340, STR, 0, 772, 0, 18},
    {1, 341, 343, U8, U16, 790, 1, 0},
    {1, 344, 344, U16, 0, 794, 0, 0},
    {1, 345, 345, U8, U16, 796, 0, 0},
    {1, 346, 346, U8, 0, 797, 0, 0},
    {1, 348, 351, U16, 0, 798, 2, 0},
    // Group 2: second stored font (357) and its fields, packed bytes.
    {2, 352, 356, U16, 0, 806, 2, 0},
    {2, 357, 357, FONT, 0, 816, 0, kLogFontSize},
    {2, 358, 358, STR, 0, 844, 0, 64},  // lfFaceName
    {2, 359, 360, FF, 0, 816, 16, 0},   // lfHeight, lfWeight
    {2, 361, 361, U8, 0, 836, 0, 0},    // lfItalic
    {2, 362, 363, FF, 0, 824, 4, 0},    // lfEscapement, lfOrientation
    {2, 364, 364, FF, 0, 824, 0, 0},    // lfEscapement again, mirrored to lfOrientation
    {2, 365, 371, U8, 0, 837, 1, 0},    // lfUnderline .. lfPitchAndFamily
    {2, 372, 372, FF, 0, 820, 0, 0},    // lfWidth
    {2, 373, 373, U32, 0, 908, 0, 0},
    {2, 374, 375, STR, 0, 930, 258, 258},
    {2, 376, 377, U8, U16, 1446, 1, 0},
    {2, 379, 379, U8, U16, 1448, 0, 0},
    {2, 380, 380, U16, 0, 1450, 0, 0},
    {2, 381, 383, U8, U16, 1452, 1, 0},
    {2, 384, 385, U16, 0, 1456, 2, 0},
    {2, 386, 387, U8, U16, 1460, 1, 0},
    {2, 388, 389, U16, 0, 306, 8, 0},
    {2, 390, 391, U8, U16, 320, 32, 0},
    {2, 392, 394, U32, 0, 356, 0, 0},  // bytes 0, 1, 2 of the word
    {2, 395, 397, U32, 0, 360, 0, 0},
    {2, 398, 399, U32, 0, 364, 0, 0},
    // Group 3
    {3, 400, 400, U32, 0, 364, 0, 0},
    {3, 401, 403, U32, 0, 368, 0, 0},
    {3, 404, 406, U8, U16, 912, 1, 0},
    {3, 407, 410, U16, 0, 916, 2, 0},
    {3, 411, 411, U16, 0, 926, 0, 0},
    {3, 412, 413, U8, U16, 924, 1, 0},
    {3, 414, 414, U16, 0, 928, 0, 0},
    {3, 435, 436, STR, 0, 1462, 10, 10},
    {3, 437, 447, U8, 0, 1482, 1, 0},
    // Group 4
    {4, 448, 450, U8, 0, 1493, 1, 0},
    {4, 451, 452, U8, 0, 1500, 1, 0},
    {4, 453, 453, U16, 0, 1502, 0, 0},
    {4, 454, 455, U8, 0, 1506, 1, 0},
    {4, 456, 456, U8, U16, 1504, 0, 0},
    {4, 457, 458, U8, 0, 1505, 3, 0},
    {4, 459, 459, U8, 0, 1509, 0, 0},
    {4, 460, 461, I16, 0, 1510, 2, 0},
    {4, 462, 462, U32, 0, 1516, 0, 0},  // whole word of the flags 0x541-0x560
    {4, 463, 465, U8, 0, 1524, 8, 0},
    // Group 5: flag bits of the words at 288, 292 and 1516.
    {5, 1281, 1283, F, 0, 288, 0, 0},
    {5, 1284, 1284, F, U32, 288, 0, 0},  // stored inverted
    {5, 1285, 1295, F, 0, 288, 0, 0},
    {5, 1296, 1302, F, U8, 288, 0, 0},
    {5, 1303, 1312, F, 0, 288, 0, 0},
    {5, 1313, 1321, F, 0, 292, 0, 0},
    {5, 1322, 1322, F, U16, 292, 0, 0},
    {5, 1323, 1331, F, 0, 292, 0, 0},
    {5, 1332, 1332, F, U16, 292, 0, 0},
    {5, 1333, 1344, F, 0, 292, 0, 0},
    {5, 1345, 1376, F, 0, 1516, 0, 0},
    // Group 6: the SettingsExtension (offsets from byte 1548).
    {6, 1793, 1794, U16, 0, 0, 2, 0},  // 1793: layout version of the extension
    {6, 1795, 1795, STR, 0, 4, 0, 258},
    {6, 1796, 1796, U16, 0, 262, 0, 0},
    {6, 1797, 1797, STR, 0, 264, 0, 82},
    {6, 1798, 1798, STR, 0, 346, 0, 166},
    {6, 1799, 1799, STR, 0, 512, 0, 522},
    {6, 1800, 1804, U16, 0, 1034, 2, 0},
    {6, 1805, 1805, STR, 0, 1044, 0, 10},
    {6, 1806, 1806, STR, 0, 1054, 0, 58},
    {6, 1807, 1812, U16, 0, 1112, 2, 0},
    {6, 1813, 1813, STR, 0, 1124, 0, 10},
    {6, 1814, 1815, U16, 0, 1134, 2, 0},
    {6, 1816, 1816, STR, 0, 1138, 0, 120},
    {6, 1817, 1818, STR, 0, 1258, 42, 42},
    {6, 1819, 1820, STR, 0, 1342, 82, 82},
    {6, 1821, 1821, STR, 0, 1506, 0, 418},
    {6, 1822, 1823, STR, 0, 1924, 62, 62},
    {6, 1824, 1824, U16, 0, 2048, 0, 0},
    {6, 1825, 1828, I32, 0, 2052, 4, 0},
    {6, 1829, 1829, STR, 0, 2072, 0, 256},
    {6, 1830, 1830, STR, 0, 2328, 0, 258},
    {6, 1831, 1831, STR, 0, 2586, 0, 50},
    {6, 1832, 1833, STR, 0, 2636, 258, 258},
    {6, 1834, 1853, U16, 0, 3152, 2, 0},
    {6, 1854, 1854, STR, 0, 3196, 0, 2},
    {6, 1855, 1855, U32, 0, 3200, 0, 0},
    {6, 1856, 1856, U16, 0, 3204, 0, 0},
    {6, 1857, 1857, STR, 0, 3206, 0, 522},
    {6, 1858, 1858, STR, 0, 3732, 0, 58},
    {6, 1859, 1860, U16, 0, 3790, 2, 0},
    {6, 1861, 1862, U8, 0, 3800, 8, 0},
    // Group 7: flag bits of the PrinterConfiguration words at 8 and 4444, bytes.
    {7, 4097, 4128, F, 0, 8, 0, 0},
    {7, 4129, 4160, F, 0, 4444, 0, 0},
    {7, 4353, 4355, U8, 0, 3048, 1, 0},
    {7, 4356, 4358, U8, 0, 4428, 1, 0},
    {7, 4359, 4360, U8, 0, 4436, 12, 0},
    {7, 4361, 4362, U8, 0, 4449, 11, 0},
    // Group 8: flag bits of the word at 2988.
    {8, 4609, 4640, F, 0, 2988, 0, 0},
    // Group 9
    {9, 5121, 5121, STR, 0, 18, 0, 66},
    {9, 5123, 5123, U16, 0, 884, 0, 0},
    {9, 5125, 5126, U16, 0, 888, 2, 0},
    {9, 5127, 5127, U16, 0, 16, 0, 0},
    {9, 5129, 5129, STR, 0, 1134, 0, 50},
    {9, 5130, 5130, STR, 0, 1098, 0, 10},
    {9, 5131, 5132, U16, 0, 1108, 2, 0},
    {9, 5134, 5135, U16, 0, 1120, 2, 0},
    {9, 5136, 5137, U16, 0, 1132, 56, 0},
    {9, 5138, 5138, U8, 0, 1196, 0, 0},
    {9, 5141, 5141, STR, 0, 1208, 0, 12},
    {9, 5142, 5142, U16, 0, 1220, 0, 0},
    {9, 5143, 5143, STR, 0, 1222, 0, 12},
    {9, 5144, 5145, U16, 0, 1234, 2, 0},
    {9, 5146, 5146, U16, 0, 1244, 0, 0},
    {9, 5147, 5147, STR, 0, 1246, 0, 258},
    {9, 5148, 5148, STR, 0, 1508, 0, 26},
    {9, 5149, 5149, U8, 0, 1534, 0, 0},
    {9, 5150, 5150, STR, 0, 1536, 0, 66},
    {9, 5152, 5152, STR, 0, 2992, 0, 26},
    {9, 5153, 5154, U8, 0, 3024, 8, 0},
    {9, 5155, 5158, U16, 0, 3034, 2, 0},
    {9, 5159, 5161, STR, 0, 3052, 34, 34},
    {9, 5162, 5163, U8, 0, 3836, 8, 0},
    {9, 5164, 5165, U8, 0, 3845, 1, 0},
    {9, 5166, 5167, STR, 0, 3848, 66, 66},
    {9, 5168, 5173, F, 0, 3980, 4, 0},  // each a whole word
    {9, 5174, 5174, STR, 0, 4004, 0, 66},
    {9, 5175, 5175, STR, 0, 4070, 0, 34},
    {9, 5176, 5176, STR, 0, 4104, 0, 66},
    {9, 5177, 5177, U8, 0, 4170, 0, 0},
    {9, 5178, 5178, U16, 0, 4172, 0, 0},
    {9, 5179, 5180, STR, 0, 4174, 50, 50},
    {9, 5181, 5182, STR, 0, 4274, 34, 34},
    {9, 5183, 5183, U8, 0, 4342, 0, 0},
    {9, 5184, 5184, STR, 0, 4344, 0, 50},
    {9, 5185, 5185, STR, 0, 4394, 0, 34},
    {9, 5186, 5186, F, 0, 4452, 0, 0},  // whole word
    {9, 5187, 5198, U16, 0, 4462, 2, 0},
    // Group 10 (rows not ascending by id; the order is binding).
    {10, 5633, 5642, U16, 0, 896, 2, 0},
    {10, 5643, 5647, STR, 0, 916, 30, 30},
    {10, 5648, 5648, F, 0, 880, 0, 0},  // whole word
    {10, 5649, 5649, U16, 0, 886, 0, 0},
    {10, 5650, 5650, F, 0, 1072, 0, 0},  // whole word
    {10, 5651, 5651, U16, 0, 1112, 0, 0},
    {10, 5652, 5652, U8, 0, 1602, 0, 0},
    {10, 5653, 5654, U16, 0, 1204, 2, 0},
    {10, 8201, 8201, F, 0, 892, 0, 0},  // whole word
    {10, 8202, 8203, U16, 0, 0, 4, 0},  // 8203: layout version of the configuration
    {10, 8204, 8204, U16, 0, 2, 0, 0},  // release that stored the configuration
    {10, 8205, 8205, U32, 0, 1124, 0, 0},
    {10, 8206, 8206, F, 0, 12, 0, 0},  // whole word
    {10, 8207, 8207, U32, 0, 1504, 0, 0},
    {10, 6145, 6159, U16, 0, 1608, 10, 0},
    {10, 6160, 6174, U16, 0, 1610, 10, 0},
    {10, 6175, 6189, U16, 0, 1612, 10, 0},
    {10, 6190, 6204, U16, 0, 1614, 10, 0},
    {10, 6205, 6219, U16, 0, 1616, 10, 0},
    {10, 6401, 6410, STR, 0, 2484, 50, 50},
    {10, 5889, 5898, U16, 0, 1758, 68, 0},
    {10, 5899, 5908, U16, 0, 3156, 68, 0},
    {10, 5909, 5918, U16, 0, 1760, 68, 0},
    {10, 5919, 5928, U16, 0, 3158, 68, 0},
    {10, 5929, 5938, STR, 0, 1762, 68, 64},
    {10, 5939, 5948, STR, 0, 3160, 68, 64},
    {10, 8208, 8208, U16, 0, 2438, 0, 0},
    {10, 8209, 8209, STR, 0, 2440, 0, 44},
    {10, 8210, 8210, U16, 0, 2984, 0, 0},
    {10, 8211, 8211, U8, 0, 3154, 0, 0},
    // Group 11: the public DEVMODEW.
    {11, 1, 1, STR, 0, 0, 0, 64},       // dmDeviceName
    {11, 2, 5, U16, 0, 64, 2, 0},       // dmSpecVersion .. dmDriverExtra
    {11, 6, 6, U32, 0, 72, 0, 0},       // dmFields
    {11, 7, 13, I16, 0, 76, 2, 0},      // dmOrientation .. dmDefaultSource
    {11, 14, 14, U32, 0, 90, 0, 0},     // dmPrintQuality and dmYResolution as one pair
    {11, 15, 16, I16, 0, 92, 2, 0},     // dmColor, dmDuplex
    {11, 17, 18, I16, 0, 98, 2, 0},     // dmTTOption, dmCollate
    {11, 19, 19, STR, 0, 102, 0, 64},   // dmFormName
    {11, 20, 21, I16, 0, 90, 6, 0},     // dmPrintQuality, dmYResolution
    {11, 22, 25, U32, 0, 188, 4, 0},    // dmICMMethod .. dmDitherType
};

constexpr size_t CountRunRows() {
  size_t count = 0;
  for (const ItemRun& run : kItemRuns) count += run.last - run.first + 1u;
  return count;
}
static_assert(CountRunRows() == kItemRowCount);

constexpr DWORD AreaSize(ItemArea area) {
  return area == kAreaSettings ? kSettingsRecordShortSize
         : area == kAreaExtension ? kSettingsExtensionSize
                                  : kPrinterConfigurationSize;
}

constexpr std::array<ItemLayoutRow, kItemRowCount> ExpandItemRuns() {
  std::array<ItemLayoutRow, kItemRowCount> rows{};
  size_t n = 0;
  for (const ItemRun& run : kItemRuns)
    for (DWORD k = 0; k <= DWORD(run.last - run.first); ++k)
      rows[n++] = {SettingItemId(run.first + k), run.type, run.exchangeType, run.offset + k * run.step,
                   run.byteLength};
  return rows;
}

// Runs of one group stand together and groups follow in table order.
constexpr bool RunsFollowGroupOrder() {
  for (size_t i = 1; i < std::size(kItemRuns); ++i)
    if (kItemRuns[i].group != kItemRuns[i - 1].group && kItemRuns[i].group != kItemRuns[i - 1].group + 1)
      return false;
  return kItemRuns[0].group == 0 && kItemRuns[std::size(kItemRuns) - 1].group == kItemGroupCount - 1;
}
static_assert(RunsFollowGroupOrder());

// The engine relies on this: every row lies inside its group's range and every stored value
// inside its area, so no access can leave the caller's records.
constexpr bool RunsStayInside() {
  for (const ItemRun& run : kItemRuns) {
    const GroupRange& range = kGroupRanges[run.group];
    if (run.first > run.last || run.first < range.first || run.last > range.last) return false;
    const DWORD end = run.offset + (run.last - run.first) * run.step + GetStoredItemSize(run.type, run.byteLength);
    if (end > AreaSize(range.area)) return false;
    if ((run.type == kTypeString || run.type == kTypeFont) != (run.byteLength != 0)) return false;
    if (run.type == kTypeFont && run.byteLength != kLogFontSize) return false;
  }
  return true;
}
static_assert(RunsStayInside());

constexpr std::array<ItemGroupEntry, kItemGroupCount> BuildGroupTable(const ItemLayoutRow* rows) {
  std::array<ItemGroupEntry, kItemGroupCount> groups{};
  size_t start = 0;
  for (size_t g = 0; g < kItemGroupCount; ++g) {
    size_t count = 0;
    for (const ItemRun& run : kItemRuns)
      if (run.group == g) count += run.last - run.first + 1u;
    groups[g] = {kGroupRanges[g].area, kGroupRanges[g].first, kGroupRanges[g].last,
                 std::span<const ItemLayoutRow>(rows + start, count)};
    start += count;
  }
  return groups;
}

}  // namespace

constexpr std::array<ItemLayoutRow, kItemRowCount> ItemRows = ExpandItemRuns();

constexpr std::array<ItemGroupEntry, kItemGroupCount> ItemGroupTable = BuildGroupTable(ItemRows.data());

namespace {

constexpr ItemRowInfo DescribeRow(const ItemLayoutRow& row) {
  ItemRowInfo info{};
  DWORD size = 0, reportedSize = 0, mask = 0;
  if (!GetValueTypeSize(row.type, &size)) throw "row type without size";
  reportedSize = size;
  if (row.exchangeType != 0 && !GetValueTypeSize(row.exchangeType, &reportedSize)) throw "exchange type without size";
  info.size = BYTE(size);
  info.reportedSize = BYTE(reportedSize);
  info.reportedType = row.exchangeType != 0 ? row.exchangeType : row.type;
  if (GetItemFlagMask(row.id, &mask)) {
    info.kind = kKindFlagBit;
    info.mask = mask;
  } else if (row.type == kTypeString) {
    info.kind = kKindString;
  } else if (row.type == kTypeFont) {
    info.kind = kKindFont;
  } else {
    info.kind = size == 1 ? kKindByte : size == 2 ? kKindWord : kKindDword;
  }
  return info;
}

constexpr std::array<ItemRowInfo, kItemRowCount> DescribeRows() {
  std::array<ItemRowInfo, kItemRowCount> infos{};
  for (size_t i = 0; i < kItemRowCount; ++i) infos[i] = DescribeRow(ItemRows[i]);
  return infos;
}

// Ranges are searched in table order and the first that holds an id wins; within the range
// the id's row, if any. No id may have two rows.
constexpr std::array<ItemIndexEntry, kItemIdLimit> BuildItemIndex() {
  std::array<ItemIndexEntry, kItemIdLimit> index{};
  for (ItemIndexEntry& entry : index) entry = {kIndexNoRow, kIndexNoGroup, 0};
  for (size_t g = 0; g < kItemGroupCount; ++g)
    for (size_t id = kGroupRanges[g].first; id <= kGroupRanges[g].last; ++id)
      if (index[id].group == kIndexNoGroup) index[id] = {kIndexNoRow, BYTE(g), BYTE(kGroupRanges[g].area)};
  size_t n = 0;
  for (const ItemRun& run : kItemRuns)
    for (size_t id = run.first; id <= run.last; ++id, ++n) {
      if (index[id].row != kIndexNoRow || index[id].group != run.group) throw "item row clash";
      index[id].row = WORD(n);
    }
  return index;
}

}  // namespace

constexpr std::array<ItemRowInfo, kItemRowCount> ItemRowInfos = DescribeRows();
constexpr std::array<ItemIndexEntry, kItemIdLimit> ItemIndex = BuildItemIndex();
static_assert(kGroupRanges[10].last + 1u == kItemIdLimit);
