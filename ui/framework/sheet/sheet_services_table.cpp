// The table through which the driver core reaches the sheets of this module.
#include "core/messages/sheet_services.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/sheet/sheet_state.h"

namespace {

constexpr SheetServices kSheetServices = {FindSheetState, ReadSheetMeasurementFlags, ShowSheetMessageBox};

}  // namespace

void RegisterSheetServices(bool registered) { SetSheetServices(registered ? &kSheetServices : nullptr); }
