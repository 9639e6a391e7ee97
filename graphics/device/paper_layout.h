// The paper geometry of a device: the logical page the application draws on and the output
// sheet, each a PaperLayout chosen from the device mode, the spooler's forms and the model's
// paper records, and the unit conversions between layout units (1/256 point, 18432 per inch),
// tenths of a millimetre, micrometres and pixels.
#pragma once

#include "core/database/dbrecords.h"
#include "platform/base/types.h"

struct Pdev;

constexpr LONG kLayoutUnitsPerInch = 18432;
constexpr LONG kMicronsPerInch = 25400;

// Single precision, truncated.
LONG MicronsToLayoutUnits(LONG microns);
LONG LayoutUnitsToMicrons(LONG units);
LONG LayoutUnitsToPixels(LONG units, LONG resolution);
// A length in tenths of a millimetre in layout units, and back (truncated to tenths).
LONG TenthMmToLayoutUnits(LONG tenths);
LONG LayoutUnitsToTenthMm(LONG units);

constexpr int kFormNameChars = 32;

struct PaperLayout {
  WCHAR formName[kFormNameChars];  // NUL-terminated; empty for a size without a form
  BYTE unused1[32];
  LONG left;  // imageable rectangle in layout units from the paper's top left corner
  LONG top;
  LONG right;
  LONG bottom;
  LONG paperWidth;  // layout units
  LONG paperHeight;
  DWORD landscape;     // page layout: 1 after the quarter turn
  DWORD defaultPaper;  // sheet layout: 1 when the sheet follows the default paper
  DatabaseRecord* record;  // the type-10 paper record the layout owns, or NULL
  BYTE unused2[8];
};

// Paper ids with a meaning of their own.
constexpr WORD kCustomSizePaperId = 256;    // dmPaperSize of a size given by width and length
constexpr WORD kCustomPaperRecordId = 262;  // the paper record whose margins custom sizes take
constexpr WORD kSameAsPagePaper = 267;      // item 262: the sheet is the page's paper

// The device paper code of a type-10 record; -1 when the paper has none of the device's own
// (the record's code byte is 0).
LONG GetPaperDeviceCode(const DatabaseRecord* record);

// Paper-record searches over the model's type-10 records: 0 found (the record is then the
// caller's), 2 no such record, another database status on a read failure.
WORD FindPaperRecordById(Pdev* pdev, WORD id, DatabaseRecord** record);  // id 0: status 1
WORD FindPaperRecordByName(Pdev* pdev, LPCWSTR name, DatabaseRecord** record);
// The first record whose size lies within 10 tenths of width x length in both directions.
WORD FindPaperRecordBySize(Pdev* pdev, LONG width, LONG length, DatabaseRecord** record);
// The record of the model's default paper (the database default of item 8).
WORD FindDefaultPaperRecord(DatabaseStream* main, DatabaseStream* linked, DatabaseRecord** record);

// Name, size and imageable rectangle from the record (zero margins when borderless); the
// layout keeps the record.
BOOL ApplyPaperRecord(DatabaseRecord* record, PaperLayout* layout, BOOL borderless);
// The rectangle from the record's margins on a paper of `width` x `length` tenths.
BOOL ApplyPaperRecordMargins(PaperLayout* layout, const DatabaseRecord* record, LONG width, LONG length,
                             BOOL borderless);

// Fills the page and the sheet layout from the device's settings, and turns the page a quarter
// for landscape. FALSE on a database or spooler failure other than a missing record or form.
BOOL SelectPaperLayouts(Pdev* pdev);
// The sheet layout from the model's default paper again (the default may follow the locale's
// measurement system); FALSE, with the sheet as it was, when the record cannot be applied.
BOOL ReapplyDefaultSheetPaper(Pdev* pdev);
// Frees the paper record a layout keeps.
void FreePaperLayoutRecord(PaperLayout* layout);
