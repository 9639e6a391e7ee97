// The start of every sheet side: the page paper and the sheet paper of the device's paper
// layouts as paper blocks, the paper source of each side, paper changes between sides, blank
// back sides, and the page-start parameters handed to the drawing library (or recorded with a
// stored page), with the page axis and the show-page and end-page steps.
//
// Results: 0 or -1 unless said otherwise.
#pragma once

#include "graphics/device/pdev.h"
#include "platform/base/types.h"

// The page paper id of a custom size.
constexpr SHORT kPageCustomPaperId = 267;
// Paper codes.
constexpr BYTE kCustomPaperCode = 255;
// Kinds of IsBackSideDue.
constexpr int kBackSideForPaperChange = 0;
constexpr int kBackSideAtDocumentEnd = 1;
constexpr int kBackSideForInsertedSheet = 2;
// Record kinds of IsSourceCapable.
constexpr WORD kSourceRecordKind = 32770;
constexpr WORD kPaperTypeRecordKind = 32771;

// A length in layout units (1/256 point) in tenths of a millimetre: (v x 254 + 9216) / 18432 in
// single precision, truncated.
SHORT LayoutUnitsToTenths(LONG units);

int ReadPagePaper(Pdev* pdev, SettingsRecord* settings, PagePaperBlock* page, DWORD* orientation,
                  DWORD* paperChanged);
int ReadSheetPaper(Pdev* pdev, SettingsRecord* settings, PagePaperBlock* sheet);
// The paper source of the next side; 0.
int ReadPaperSource(Pdev* pdev, SettingsRecord* settings, SHORT* source);
// 1 when id, width and length are equal.
int IsSamePaper(const PagePaperBlock* block, const PagePaperBlock* other);
int PaperBlocksDiffer(const PagePaperBlock* block, const PagePaperBlock* other);
int DetectPaperChange(Pdev* pdev, DWORD* changed);
// 1 or 0.
int IsSourceCapable(Pdev* pdev, WORD value, WORD kind);
int IsBackSideAllowed(Pdev* pdev, const PagePaperBlock* sheet, SHORT source);
int IsBackSideDue(Pdev* pdev, int kind);
// The device code of a paper source, which also becomes the job's media code.
int GetSourceCode(Pdev* pdev, SHORT source, WORD* code);
// The sheet paper's device code and its size in millimetres.
int GetPaperCodeAndSize(Pdev* pdev, const PagePaperBlock* sheet, BYTE* code, float size[2]);
int GetPageColorCode(Pdev* pdev, BYTE* code);
int GetSetUpColorCode(Pdev* pdev, BYTE* code);
int SetPageColorFromMode(Pdev* pdev);
// 1 when item 8205 is at least the version.
int IsFeatureEnabled(Pdev* pdev, DWORD version);

int BuildPageParameterBlocks(Pdev* pdev, BYTE colorCode, WORD mediaCode, BYTE paperCode, const float size[2],
                             LONG colorParameter);
// The library's page start with the session's blocks.
int SendLibraryPageStart(Pdev* pdev);
int SendPageStart(Pdev* pdev, BYTE colorCode, WORD mediaCode, BYTE paperCode, const float size[2]);
// The page start of a new side of the document.
int StartPageParameters(Pdev* pdev);
// An extra side: inserted sheet, blank back.
int SetUpPage(Pdev* pdev, SHORT source);

int SetPageAxis(Pdev* pdev, const float matrix[6]);
int SetPageAxisForPage(Pdev* pdev);
// Caller to come: the N-up borders and tile marks, drawn on the whole sheet.
int SendAxis(Pdev* pdev, const float matrix[6]);
int ShowPageStep(Pdev* pdev);
int EndPageStep(Pdev* pdev);
int EndJobStep(Pdev* pdev);

// The pattern resolution of the job (items 271, 386, 14, 348; 200 when none).
WORD GetPatternResolution(Pdev* pdev);
int SendPatternResolution(Pdev* pdev, WORD value);
