// Stand-in until the favourites are built: every sheet runs without favourites and keeps no
// last applied settings. The favourites' own files replace this one.
#include "ui/pages/favorites_state.h"

void* CreateFavoritesState(HANDLE /*printer*/, ItemStore* /*store*/) { return nullptr; }

void FreeFavoritesState(void* /*favorites*/) {}

int SaveLastAppliedSettings(SheetState* /*state*/, const SettingsRecord* /*settings*/, DWORD /*applied*/) {
  return 1;
}
