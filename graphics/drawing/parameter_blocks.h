// The parameter blocks the drawing library learns the job, device and colour treatment from:
// five built once per document (VR_Initialize) and two rewritten before each page, kept inside
// the session (VR_StartPage). They are a wire format: little-endian, offsets from the block's
// start, every byte not named 0. The per-document blocks are counted blocks of the session.
#pragma once

#include "graphics/drawing/drawing_session.h"
#include "platform/base/types.h"

struct Pdev;

constexpr DWORD kJobParameterBlockBytes = 236;
constexpr DWORD kDeviceParameterBlockBytes = 296;
constexpr DWORD kColorParameterBlockBytes = 14392;
constexpr DWORD kDebugParameterBlockBytes = 268;

// Offsets the page setup and the library read.
constexpr DWORD kResourcePathPrinterOffset = 8;  // the printer handle the library writes to
constexpr DWORD kResourcePathTextOffset = 16;
constexpr DWORD kColorBlockColorModeOffset = 54;  // u16: 4 monochrome, 3 colour

// Each builder stores its block in the session: 0, or -1 when it cannot be built (no memory, a
// setting outside its table, a path that does not fit 259 ANSI characters).
int BuildJobParameterBlock(Pdev* pdev, DrawingLibrarySession* session);
int BuildResourcePathBlock(Pdev* pdev, DrawingLibrarySession* session);
int BuildColorParameterBlock(Pdev* pdev, DrawingLibrarySession* session);
int BuildDeviceBlock(Pdev* pdev, DrawingLibrarySession* session);
int BuildDebugBlock(Pdev* pdev, DrawingLibrarySession* session);

// The 16-bit value the model's condition records give for key: the result pair of the first
// key pair that matches in each record, a later record overriding an earlier one. 0 when
// nothing matches or the model cannot be read.
WORD LookUpConditionalValue(Pdev* pdev, WORD key);

// The signed step -3..+3 of an adjustment setting (one set bit of seven in one of three
// bytes); 0 for any other value.
signed char DecodeAdjustment(DWORD value);

// The text as ANSI into a buffer of kAnsiPathChars bytes, NUL-filled; FALSE when the text is
// longer than 259 ANSI characters.
BOOL CopyAnsiPath(LPCWSTR text, BYTE* out);
