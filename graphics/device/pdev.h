// The record of one printer device context (the engine's DHPDEV): its settings, the printer it
// prints on, its paper geometry and model database, its device fonts, and the document's job
// objects. One zero-filled block of a private heap that lives and dies with the device; a tag
// at its start and again 8 bytes before its end marks a live record.
//
// Parts of the module that keep per-device state add their fields here (pointers to their own
// records); the enable path leaves them zero and the job code creates and frees what they hold.
#pragma once

#include "graphics/device/clip_state.h"
#include "graphics/device/device_font_table.h"
#include "graphics/device/direct_mode_state.h"
#include "graphics/device/escape_block_state.h"
#include "graphics/device/fax_pass_state.h"
#include "graphics/device/job_state.h"
#include "graphics/device/page_color_state.h"
#include "graphics/device/page_state.h"
#include "graphics/device/paper_layout.h"
#include "graphics/device/render_settings.h"
#include "items/setting_records.h"
#include "platform/base/types.h"
#include "platform/engine/ddi_device.h"

struct OutputChannel;
struct DatabaseStream;
struct GraphicsStateEmitter;
struct ColorConverter;
struct ImageQueue;
struct HeldDirectImage;

// "NBRD" read as a big-endian word.
constexpr DWORD kPdevTag = 0x4E425244;

// DdiStateFlags: the document and page state the DDI entry points keep.
constexpr DWORD kDdiDocStarted = 0x4;
constexpr DWORD kDdiDocFailed = 0x8;
constexpr DWORD kDdiJobOutputBegun = 0x4000;
constexpr DWORD kDdiPageOpen = 0x8000;
constexpr DWORD kDdiMadeByReset = 0x100000;

struct Pdev {
  DWORD tag;
  SettingsRecord settings;  // the device mode's 1548 bytes and the SettingsExtension
  PrinterConfiguration* config;  // on the private heap
  HANDLE heap;
  HANDLE printer;  // the engine's printer handle, which holds the document's spool job
  LONG logicalResolution;  // resolution (item 20) x scale (item 11) / 100
  LONG copies;             // dmCopies (item 12) at enable time
  HDEV engineDevice;
  HSURF surface;
  HPALETTE palette;
  DWORD ddiState;  // kDdi... bits
  PaperLayout pageLayout;
  PaperLayout sheetLayout;
  DatabaseStream* database;  // the model's description database and its linked database,
  DatabaseStream* linkedDatabase;  // stream objects on the private heap
  DeviceFontTable fonts;
  LPWSTR fontSubstitution;  // the font substitution pair list, a global block
  OutputChannel* channel;   // from the document's start to the end of its job
  PageColorState pageColor;  // the page's colour as colour detection sees it
  RenderSettings render;
  JobState job;
  DWORD faxModel;         // the model is a fax model (model kind 2)
  DWORD escapeDrivenJob;  // set by the document-start escape, cleared when settings are read
  DWORD jobId;            // the spooler's job id and its companion word
  DWORD jobIdCompanion;
  SettingsRecord pageSettings;  // the per-page copy of the settings
  PageState pageState;  // the page and sheet paper and the layout values of the job
  // The document's drawing state, made by the job code when the document starts: the emitter
  // every drawing command passes, the colour conversion and the colour detection's class word.
  GraphicsStateEmitter* emitter;
  ColorConverter* colorConverter;
  DWORD* colorClassWord;
  DWORD modelFeatures[2];  // the model's feature words, read at the document's start
  BYTE outputFormat;  // the job's output format (7: the stream header line follows the job header)
  ClipCache clipCache;  // the clip the drawing library holds
  ImageQueue* imageQueue;  // the held-back bitmap bands, from the document's start to the job's end
  // What the escapes keep: the applications' direct mode and its data block, the job
  // information and job headers of the user-interface module, and two opaque blocks.
  DirectModeState directMode;
  HeldDirectImage* heldImage;  // the chunks of a direct-mode image that came so far (global heap)
  BYTE* appBlock;  // global heap
  DWORD appBlockSize;
  DWORD auxBlockSize;
  BYTE* auxBlock;  // global heap
  JobInfoCopy* jobInfo;
  JobHeaderTable* jobHeaders;
  BYTE extBlock[2112];
  FaxPassState fax;  // fax models: the passes of the job and their send list
  alignas(8) DWORD tailTag;
  DWORD reserved;
};

static_assert(offsetof(Pdev, tailTag) == sizeof(Pdev) - 8);

// TRUE when the pointer is not NULL and both tags hold kPdevTag.
BOOL IsPdevValid(const Pdev* pdev);
