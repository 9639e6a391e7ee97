// The record of one printer device: its settings, the printer it prints on, the job and the
// document's output channel. The enable path fills it; the job code works on it.
#pragma once

#include "graphics/imaging/page_color.h"
#include "graphics/job/job_state.h"
#include "items/setting_records.h"
#include "platform/base/types.h"

struct OutputChannel;

struct Pdev {
  SettingsRecord settings;
  PrinterConfiguration* config;
  HANDLE printer;  // the engine's printer handle, which holds the document's spool job
  JobState job;
  OutputChannel* channel;  // from the document's start to the end of its job
  PageColorState pageColor;  // the page's colour as colour detection sees it
};
