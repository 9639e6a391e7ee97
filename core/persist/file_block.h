// Whole-block file writing: a block goes to the file at its current position in as many
// writes as the file takes, so that a caller sees only what could not be written.
#pragma once

#include "platform/base/types.h"

// Writes the `length` bytes at the file's position; the bytes written, fewer than asked only
// when a write fails or takes nothing.
DWORD WriteFileBlock(HANDLE file, const void* bytes, DWORD length);
