// The applications' direct mode: an application switches it on with escape 4209, asks which
// features the device offers, sends source-copy images in numbered chunks (4210), overrides the
// page's colour mode (4211), duplex and pages per sheet (4212), and hands the driver an opaque
// data block (4216). The state lives in the device record.
#pragma once

#include "graphics/device/direct_mode_state.h"
#include "platform/base/types.h"

struct Pdev;

// One row of the feature table.
struct DirectModeFeature {
  WORD feature;
  WORD escape;
  DWORD minimumVersion;
  DWORD flags;
  DWORD a;
  DWORD b;
};

// The output record of a feature query: its first u32 (18) and the row's values.
constexpr DWORD kFeatureAnswerSize = 18;

void InitDirectModeState(DirectModeState* state, DWORD version, DWORD item4103, DWORD modelFlag);
// Runs at the device's enable: the state from the job's stream version, item 4103 and the
// model's section 5 (2: colour override offered; 255: the state is left as it is).
void InitDirectModeDefaults(Pdev* pdev);
// 0 when the feature is supported (its row copied when `row` is given), -1 when not.
int QueryDirectFeature(Pdev* pdev, WORD feature, DirectModeFeature* row);

// The query answer of the escapes that need direct mode on: 1 on, 0 off, -1 without device.
LONG AnswerDirectQuery(const Pdev* pdev);
// The direct-mode escapes. `query` asks only whether the escape is offered now (1 or 0).
LONG HandleDirectModeEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG cjOut, BYTE* out, BOOL query);
LONG HandleDirectPageEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG cjOut, BYTE* out, BOOL query);
LONG HandleDirectQueryEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG cjOut, BYTE* out, BOOL query);
LONG HandleDirectDataEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG cjOut, BYTE* out, BOOL query);
// One chunk of a source-copy image (the input's layout: direct_image_input.h): the transfer id
// (a new one for an image's first chunk) once the chunk is drawn; 0 with direct mode off, the
// image feature not offered or another raster operation; -1 when the page cannot be begun or
// a drawing step fails (the transfer is then dropped); -4 for a bad size or a chunk out of
// order; -5 for a description that cannot be drawn.
LONG HandleDirectImageEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG cjOut, BYTE* out, BOOL query);

// The header of one image chunk (the 4210 input from its second word).
struct ImageChunk {
  DWORD total;   // bytes of the whole image
  DWORD offset;  // of this chunk within the image
  DWORD length;  // of this chunk
  WORD id;       // transfer id, 0 for an image's first chunk
};
// Accepts one chunk of a transfer: the transfer id (a new one for a first chunk), or 0 when
// refused. A chunk of another transfer drops the running one.
WORD AcceptImageChunk(DirectModeState* state, const ImageChunk& chunk);

// Replaces the application data block with a zero-filled copy of `bytes`; NULL bytes or size 0
// leaves an empty block. FALSE (and no block) when no memory.
BOOL ReplaceAppBlock(Pdev* pdev, const BYTE* bytes, DWORD size);
void FreeAppBlock(Pdev* pdev);
