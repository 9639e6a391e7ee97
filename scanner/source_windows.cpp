#include "scanner/source_windows.h"

#include <atomic>

namespace {

// The answers of a source without windows.
const SourceWindows kNoWindows = {
    .createScanDialog = [](ImageRecord&) -> HWND { return nullptr; },
    .destroyScanDialog = [] {},
    .scanDialogWindow = []() -> HWND { return nullptr; },
    .activateScanDialog = [] {},
    .suspendPreviewAnimation = [](BOOL) -> BOOL { return FALSE; },
    .setProgressShown = [](BOOL) {},
    .openProgressWindow = [](double) -> HWND { return nullptr; },
    .stepProgressCancelled = [](double) -> BOOL { return FALSE; },
    .pumpProgressMessages = []() -> BOOL { return FALSE; },
    .closeProgressWindow = [](BOOL) -> BOOL { return FALSE; },
    .progressDialogWindow = []() -> HWND { return nullptr; },
    .unregisterWindowClasses = [] {},
};

std::atomic<const SourceWindows*> g_windows{&kNoWindows};

}  // namespace

void SetSourceWindows(const SourceWindows* windows) { g_windows.store(windows != nullptr ? windows : &kNoWindows); }

const SourceWindows& CurrentSourceWindows() { return *g_windows.load(); }
