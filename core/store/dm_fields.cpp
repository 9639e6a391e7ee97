#include "core/store/dm_fields.h"

#include "core/store/settings_record.h"
#include "core/system/os_generation.h"
#include "platform/base/types.h"

namespace {

struct DmFieldRow {
  DWORD bit;
  WORD flags[4];  // generations 0x101, 0x102, 0x201, 0x202
};

constexpr WORD kNeedsOption = 4;

constexpr DmFieldRow kDmFieldRows[] = {
    {DM_ORIENTATION, {3, 3, 3, 3}},   {DM_PAPERSIZE, {3, 3, 3, 3}},     {DM_SCALE, {3, 3, 3, 3}},
    {DM_COPIES, {3, 3, 3, 3}},        {DM_DEFAULTSOURCE, {3, 3, 3, 3}}, {DM_PRINTQUALITY, {3, 3, 3, 3}},
    {DM_COLOR, {3, 3, 3, 3}},         {DM_DUPLEX, {3, 3, 3, 3}},        {DM_YRESOLUTION, {3, 3, 3, 3}},
    {DM_TTOPTION, {3, 3, 3, 3}},      {DM_COLLATE, {3, 3, 3, 3}},       {DM_FORMNAME, {0, 0, 3, 3}},
    {DM_ICMMETHOD, {7, 7, 7, 7}},     {DM_ICMINTENT, {7, 7, 7, 7}},     {DM_MEDIATYPE, {7, 7, 7, 7}},
    {DM_DITHERTYPE, {7, 7, 7, 7}},
};

int GenerationColumn(WORD generation) {
  switch (generation) {
    case 0x101: return 0;
    case 0x102: return 1;
    case 0x201: return 2;
    case 0x202: return 3;
    default: return -1;
  }
}

}  // namespace

int ComputeDmFields(ItemStore* store, DWORD* mask, WORD allowed) {
  if (mask == nullptr) return 0;
  *mask = 0;
  WORD generation = 0;
  if (GetOsGeneration(&generation) != 1) return 0;
  const int column = GenerationColumn(generation);
  if (column < 0) return 0;
  WORD checked = 0;
  const int accepted = CheckOsGeneration(&checked);
  if (accepted == -1) return 0;
  const int option = ReadModelOptionByte(store);
  for (const DmFieldRow& row : kDmFieldRows) {
    const WORD flags = row.flags[column];
    if ((flags & allowed) == 0) continue;
    if ((flags & kNeedsOption) == 0 || (option != 0 && option != -1 && accepted != 0)) *mask |= row.bit;
  }
  return 1;
}
