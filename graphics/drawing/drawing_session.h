// The drawing-library session of one document: the outside drawing library, loaded by the name
// the model's database gives and bound by its 59 entry points, started with the document's
// parameter blocks and ended with the document. The output channel links the session; every
// counted block of the session, of its parameter blocks and of the calls' argument conversions
// is counted in the channel's liveAllocations.
#pragma once

#include "graphics/drawing/drawing_functions.h"
#include "graphics/output/display_list.h"
#include "platform/base/types.h"

struct OutputChannel;
struct Pdev;

constexpr DWORD kSessionOutputBufferSize = 0x100000;
constexpr DWORD kLibraryDataPathRecordSize = 264;
constexpr int kAnsiPathChars = 260;  // path buffers of the blocks: 259 characters and a NUL

// Pending direct-mode image kinds.
constexpr WORD kPendingNone = 0;
constexpr WORD kPendingImageMask = 1;
constexpr WORD kPendingImage = 2;

// Header texts of the description database that name the library's files.
constexpr WORD kHeaderTextDrawingLibrary = 12;  // library file name pattern
constexpr WORD kHeaderTextLibraryData = 13;     // the library's data path

// Background modes of the secondary colour.
constexpr BYTE kBackgroundTransparent = 1;
constexpr BYTE kBackgroundOpaque = 2;

// The output buffer chain: created with the session over its output buffer and freed with it.
struct OutputBufferChunk {
  BYTE* data;
  DWORD size;
  DWORD fill;
  DWORD read;
  OutputBufferChunk* next;
};

struct OutputBufferChain {
  DWORD bufferSize;
  OutputBufferChunk* first;
  OutputBufferChunk* current;
  BYTE* small;  // a block of 4 bytes
};

// The second colour of hatch and mask patterns.
struct SecondaryColor {
  BYTE kind;
  BYTE colorSpace;
  BYTE background;  // kBackgroundTransparent or kBackgroundOpaque
  DWORD color;      // 0xRRGGBB
};

// The record of a direct-mode image that waits for its data, as VR_DrawImage takes it.
struct PendingImageRecord {
  float x;
  float y;
  float matrix[6];
  WORD width;
  WORD height;
  DWORD maskFlag;      // image mask: the polarity flag
  DWORD maskByteFlag;
  DWORD maskLength;
  DWORD sourceFlag;
  WORD colorFormat;
  WORD entrySize;
  WORD entryCount;
  WORD tableLength;
  BYTE* table;  // the session's copy of the colour table
  WORD tail[3];
  DWORD imageLength;  // image mask: the data length
};

struct DrawingLibrarySession {
  BYTE* jobBlock;
  BYTE* resourcePathBlock;
  BYTE* colorBlock;
  BYTE* deviceBlock;
  BYTE* jobHeaderBlock;   // {u32 block size, u32 text length, text}, left by the job framing
  BYTE* jobTrailerBlock;  // the same layout
  BYTE pageBlock[kPageParameterBlockBytes];
  BYTE pageSizeBlock[kPageSizeBlockBytes];
  BYTE* debugBlock;
  OutputBufferChain* bufferChain;
  BYTE* outputBuffer;
  DWORD outputBufferSize;
  VrHandle library;  // what VR_Initialize returned
  PendingImageRecord* pendingHeader;
  WORD pendingKind;
  BYTE* pendingData;
  DWORD pendingExpected;
  DWORD pendingReceived;
  SecondaryColor secondary;
  DrawingFunctionTable* functions;
  DWORD libraryPageOpen;  // 1 from VR_StartPage to VR_EndPage
};

// A zero-filled global block counted in the channel's liveAllocations; NULL for 0 bytes or
// when no memory is left.
void* AllocCounted(OutputChannel* channel, SIZE_T bytes);
// Frees a counted block (NULL: nothing).
void FreeCounted(OutputChannel* channel, void* block);

// The debug-message hook: it shows nothing, and every caller goes on. Tests watch the messages
// through SetDebugMessageSink.
void ShowDebugMessage(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags);
using DebugMessageSink = void (*)(LPCWSTR text, LPCWSTR caption);
void SetDebugMessageSink(DebugMessageSink sink);

// a x b / c in 32-bit signed integers, plus 1 when the remainder's tenths are 5 or more.
LONG RoundedMulDiv(LONG a, LONG b, LONG c);
// The f32 a x b / c and its rounded whole value.
void ScaleToResolution(LONG a, LONG b, LONG c, WORD* whole, float* exact);

// Opens the document's session on the device's open channel: the session, its output buffer
// and chain, the parameter blocks, the bound library and its start. 0, or -1 when any step
// fails; what was built stays linked for CloseLibrarySession.
int OpenLibrarySession(Pdev* pdev);
// Loads the library the model names from the driver directory and binds all 59 entry points;
// 0 or -1.
int BindDrawingLibrary(Pdev* pdev);
// Starts the library with the parameter blocks and the data path record; 0 or -1.
int InitializeLibrary(Pdev* pdev);
// VR_Finalize when the library is bound and started; its answer, else 0.
int FinalizeLibrary(OutputChannel* channel);
// Ends the library, frees every block and the table, releases the library and unlinks the
// session. 0 when every step succeeds (also without a channel or session).
int CloseLibrarySession(OutputChannel* channel);

// The channel's session and its bound table; NULL when the session is not usable.
DrawingLibrarySession* GetChannelSession(OutputChannel* channel);
