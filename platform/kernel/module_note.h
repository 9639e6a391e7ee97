// The note by which a module declares that it keeps no state between loads: no variable
// that its code changes, no thread-local data, no initialiser that makes anything outside
// its own image. The loader may then keep such a module's image mapped after its last
// FreeLibrary and serve the next load from it (module.cpp checks at every last free that the
// module's writable memory still holds the bytes it was loaded with, and unloads it for real
// otherwise). The note is an ELF note in the module's image, not an export, so the module's
// exports stay exactly its own.
#pragma once

#include <cstdint>

// An ELF note with no descriptor: owner name size (with its terminator), descriptor size,
// type, owner name padded to four bytes.
struct ModuleStateNote {
  std::uint32_t ownerSize;
  std::uint32_t descriptorSize;
  std::uint32_t type;
  char owner[4];
};

inline constexpr char kModuleNoteOwner[] = "QV";
inline constexpr std::uint32_t kModuleNoteKeepsNoState = 1;

// Placed once in a module's sources at namespace scope. A section whose name begins with
// ".note" is an ELF note section; the linker gathers it into the image's note segment.
#define QV_MODULE_KEEPS_NO_STATE                                                                        \
  [[gnu::used, gnu::section(".note.qv.state"), gnu::aligned(4)]] static const ModuleStateNote \
      kModuleKeepsNoStateNote = {sizeof kModuleNoteOwner, 0, kModuleNoteKeepsNoState, {'Q', 'V', 0, 0}}
