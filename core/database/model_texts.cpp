// Reading single texts of the printer's model database. Only the two streams are opened:
// these texts need neither the policy file nor the record queries.
#include "core/database/model_texts.h"

#include <cstring>

#include "core/database/database.h"
#include "core/database/dbrecords.h"
#include "core/system/chunked_printer_data.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"

namespace {

constexpr WORD kHeaderTextUserModeDriver = 2;

enum class ModelText { UserBase, ModelName, UserModeDriver };

LPWSTR ReadModelText(HANDLE printer, ModelText which) {
  LPWSTR path = GetDriverDataFile(printer);
  if (path == nullptr) return nullptr;
  DatabaseStream main, linked;
  std::memset(&main, 0, sizeof main);
  std::memset(&linked, 0, sizeof linked);
  LPWSTR text = nullptr;
  if (OpenDescriptionDatabase(path, 0, &main, &linked) == kDbOk) {
    switch (which) {
      case ModelText::UserBase:
        if (ReadDriverText(&main, kDbDriverTextUserBase, &text) != kDbOk) text = nullptr;
        break;
      case ModelText::UserModeDriver:
        if (ReadHeaderText(&main, kHeaderTextUserModeDriver, &text) != kDbOk) text = nullptr;
        break;
      case ModelText::ModelName: {
        DatabaseRecord* record = nullptr;
        if (ReadDatabaseHeader(&main, &record) == kDbOk && record != nullptr) {
          const HeaderRecord* header = reinterpret_cast<const HeaderRecord*>(record);
          text = GlobalCopyText(header->modelName);
          FreeRecord(&record, kDbAnyType);
        }
        break;
      }
    }
  }
  CloseDatabaseStreams(&main, &linked);
  GlobalFree(path);
  return text;
}

}  // namespace

LPWSTR ReadUserBaseText(HANDLE printer) { return ReadModelText(printer, ModelText::UserBase); }
LPWSTR ReadModelNameText(HANDLE printer) { return ReadModelText(printer, ModelText::ModelName); }
LPWSTR ReadUserModeDriverText(HANDLE printer) { return ReadModelText(printer, ModelText::UserModeDriver); }
