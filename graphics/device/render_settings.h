// The settings of one document as the job code uses them: read once from the setting items
// into a fixed record of the device (at the document's start and again when job output
// begins), so the job and page code never read items while pages are drawn.
#pragma once

#include "items/setting_records.h"
#include "platform/base/types.h"

constexpr DWORD kStreamVersionFirst = 0x3000000;
constexpr DWORD kStreamVersionLast = 0x3010000;
constexpr int kJobInfoValues = 6;     // items 1296..1301 and their values 351..356
constexpr int kInsertListSheets = 20;  // items 1834..1853
// A name field holds 260 characters and its terminator (the two reserved bytes that follow it
// in the record's layout).
constexpr int kRenderNameChars = 261;

// Colour modes.
constexpr LONG kColorAutomatic = 0;
constexpr LONG kColorMonochrome = 1;
constexpr LONG kColorFull = 2;

// Render lock bits (DRVESC_BATCH).
constexpr WORD kRenderLockBatch = 0x10;

struct RenderSettings {
  DWORD streamVersion;
  DWORD reserved1;
  SHORT reserved2[2];
  LONG colorMode;
  DWORD tolerantGrey;
  LONG specialColor;
  SHORT specialColorValue;
  LONG specialColorVariant;
  SHORT duplexCount;
  WORD nUp;
  SHORT reserved3;
  LONG skipEmptyPages;
  LONG reserved4;
  LONG tiles;
  SHORT tileColumns;
  SHORT tileRows;
  LONG tileMarks;
  LONG booklet;
  LONG bookletKind;
  SHORT bookletSubset;
  LONG bookletOrder;
  LONG bookletCover;
  LONG deferredHeader;
  LONG perSheetStamp;
  LONG perPageStamp;
  LONG stampValueA;
  LONG stampModeValue;
  LONG customPaper;
  LONG paperChecks;
  LONG reserved5;
  LONG fontSubstitution;
  DWORD graphicsModeA;
  DWORD graphicsModeB;
  LONG saveToFile;
  DWORD bannerText;
  LONG insertedSheetMode;
  LONG jobInfoSwitch;
  SHORT jobInfoValues[kJobInfoValues];
  SHORT item326;
  SHORT item344;
  DWORD borderless;     // item 383
  DWORD marginBlock;    // item 387
  SHORT copies;
  BYTE reserved6[2];
  DWORD storePages;
  LONG driverCollation;
  LONG reverseOrder;
  DWORD extensionFlag;
  SHORT insertedSheetPaper;
  BYTE reserved7[2];
  LONG item5149;
  BYTE reserved8[4];
  WORD renderLock;
  BYTE reserved9[2];
  DWORD confirmed;
  DWORD trailerVariant;
  DWORD collate;
  DWORD item1320;
  LONG jobType;
  LONG item1313;
  WCHAR documentName[kRenderNameChars];
  WCHAR outputName[kRenderNameChars];
  HANDLE printer;
  ULONGLONG reserved10;
  ULONGLONG extensionValue;
  DWORD insertAtEnd;
  DWORD insertList;
  SHORT insertAtEndPaper;
  SHORT insertListPaper;
  WORD insertListSheets[kInsertListSheets];
  BYTE reserved11[4];
};

// 0, or -1 when an argument is missing, the version lies outside the stream versions, or an
// item holds a value the record has no place for (the fields written before stay written).
// The names, the printer handle, the extension value and the fields the escapes set are left
// as they are. `features` are the model's two feature words.
int ReadRenderSettings(RenderSettings* render, DWORD streamVersion, SettingsRecord* settings,
                       PrinterConfiguration* config, const DWORD features[2]);
// Zeroes the record; -1 without one.
int ClearRenderSettings(RenderSettings* render);
