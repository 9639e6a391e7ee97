// What the printer can do, as applications and the spooler ask it through the device
// capabilities: one answer routine per DC_ index in a table, over the printer's ItemStore, the
// settings of the device mode asked about and the printer's configuration. Lists answer their
// count when there is no output (the caller asks again with room for that many).
#pragma once

#include "core/store/item_store.h"
#include "platform/base/types.h"

// The DC_ indices.
inline constexpr WORD DC_FIELDS = 1;
inline constexpr WORD DC_PAPERS = 2;
inline constexpr WORD DC_PAPERSIZE = 3;
inline constexpr WORD DC_MINEXTENT = 4;
inline constexpr WORD DC_MAXEXTENT = 5;
inline constexpr WORD DC_BINS = 6;
inline constexpr WORD DC_DUPLEX = 7;
inline constexpr WORD DC_SIZE = 8;
inline constexpr WORD DC_EXTRA = 9;
inline constexpr WORD DC_VERSION = 10;
inline constexpr WORD DC_DRIVER = 11;
inline constexpr WORD DC_BINNAMES = 12;
inline constexpr WORD DC_ENUMRESOLUTIONS = 13;
inline constexpr WORD DC_FILEDEPENDENCIES = 14;
inline constexpr WORD DC_TRUETYPE = 15;
inline constexpr WORD DC_PAPERNAMES = 16;
inline constexpr WORD DC_ORIENTATION = 17;
inline constexpr WORD DC_COPIES = 18;
inline constexpr WORD DC_COLLATE = 22;
inline constexpr WORD DC_PRINTRATE = 26;
inline constexpr WORD DC_PRINTRATEUNIT = 27;
inline constexpr WORD DC_MEDIAREADY = 29;
inline constexpr WORD DC_STAPLE = 30;
inline constexpr WORD DC_PRINTRATEPPM = 31;
inline constexpr WORD DC_COLORDEVICE = 32;

// What the caller could give: an open store, a settings record, a configuration (the last two
// come together).
inline constexpr DWORD kCapabilityStore = 1;
inline constexpr DWORD kCapabilitySettings = 2;
inline constexpr DWORD kCapabilityConfig = 4;

// Characters of the output slots of paper and bin names (terminator included).
inline constexpr int kPaperNameChars = 64;
inline constexpr int kBinNameChars = 24;

// One paper of the paper list; sizes in tenths of a millimetre.
struct PaperEntry {
  WORD number;
  WCHAR name[kPaperNameChars];
  DWORD width;
  DWORD length;
};
static_assert(sizeof(PaperEntry) == 140);

// One offered bin (paper source) of the bin list.
struct BinEntry {
  WORD value;
  WCHAR name[kBinNameChars + 1];
};
static_assert(sizeof(BinEntry) == 52);

// What every answer routine receives.
struct CapabilityQuery {
  HANDLE printer;
  void* output;  // NULL: count only
  DWORD available;
  SettingsRecord* settings;
  PrinterConfiguration* config;
  ItemStore* store;
};

using CapabilityAnswer = LONG (*)(const CapabilityQuery& query, WORD index);

struct CapabilityRow {
  DWORD index;
  CapabilityAnswer answer;
};

// The table, ended by a row of index 0.
extern const CapabilityRow CapabilityTable[];

// The answer to one DC_ index: a count, a number, or -1 (also for an index not in the table).
LONG DispatchDeviceCapability(HANDLE printer, WORD index, void* output, DWORD available, SettingsRecord* settings,
                              PrinterConfiguration* config, ItemStore* store);

// The papers of item 8's choices: the count, and with entries (room for the count) one entry
// per paper. 0 when the list or a paper cannot be read, and with entries when the spooler's
// forms or the resource module are missing.
DWORD BuildPaperList(HANDLE printer, SettingsRecord* settings, PrinterConfiguration* config, ItemStore* store,
                     PaperEntry* entries);
// The resolutions of item 14's choices as {x, y} pairs (room for the count); the count.
DWORD BuildResolutionList(ItemStore* store, WORD* pairs);
// The bins of item 13 that the model's rules let the settings use, as a new block of entries
// (GlobalFree); FALSE when a list cannot be read or a check fails.
BOOL BuildBinList(ItemStore* store, HANDLE printer, SettingsRecord* settings, PrinterConfiguration* config,
                  DWORD* count, BinEntry** entries);
