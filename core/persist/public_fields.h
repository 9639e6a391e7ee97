// An application's device mode merged into the driver's settings: the public fields it flags
// and the model supports are taken over one by one when their values pass the checks, the
// paper is resolved against the spooler's forms, the resolution copied, the private items
// that mirror public fields brought in line, and the administrator's locked values applied.
#pragma once

#include "core/store/item_store.h"
#include "platform/base/types.h"

// Smallest dmSize whose fields the merge looks at, and the smallest that holds dmICMIntent,
// dmMediaType and dmDitherType.
inline constexpr WORD kDevmodeIcmSize = 188;
inline constexpr WORD kDevmodeDitherSize = 212;

// Fills a zeroed full-size record with the device mode of `bytes` bytes at `source` as its
// fields say it is laid out: the public part (min(dmSize, 220) bytes) and the private part
// that follows it (dmDriverExtra bytes, at most the short record's private part) placed after
// the 220-byte public part. Nothing beyond `bytes` is read.
void NormalizeDevmode(const BYTE* source, DWORD bytes, SettingsRecord* record);

// Merges the device mode of `sourceBytes` bytes at `source` (an application's, or a record of
// the driver's own) into the destination, checking values with `operation` (kItemOpCheck or
// kItemOpCheckpublic). A source whose dmSize is below 188 only has the locked values applied.
// A source whose header is this driver's also gives its private part (the destination keeps
// its own item 258). TRUE when everything was merged (also without a source); FALSE without a
// destination or configuration or when a step fails (fields already stored stay stored).
BOOL ValidatePublicFields(ItemStore* store, SettingsRecord* destination, const BYTE* source, DWORD sourceBytes,
                          PrinterConfiguration* config, HANDLE printer, WORD operation);
