// Freeing a record with everything it owns: values, arrays, texts and condition lists, by the
// record's type.
#include "core/database/dbrecords.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

void FreeValue(StoredValue& v) {
  if (v.owned && v.value) GlobalFree(v.value);
  v.value = nullptr;
  v.owned = FALSE;
}

template <typename T>
void FreeArray(T*& items) {
  if (items) GlobalFree(items);
  items = nullptr;
}

void FreeText(LPWSTR& text) {
  if (text) GlobalFree(text);
  text = nullptr;
}

void FreeConditions(ConditionList& list) {
  for (WORD i = 0; list.items && i < list.count; ++i) FreeValue(list.items[i].test.value);
  FreeArray(list.items);
}

void FreeItemValues(ItemValueList& list) {
  for (WORD i = 0; list.items && i < list.count; ++i) FreeValue(list.items[i].value);
  FreeArray(list.items);
}

void FreeTexts(WORD count, LPWSTR*& texts) {
  for (WORD i = 0; texts && i < count; ++i) FreeText(texts[i]);
  FreeArray(texts);
}

// Frees every block the record owns (not the record itself).
void FreeRecordContents(DatabaseRecord* record) {
  switch (record->h.type) {
    case DDD_RECORD_HEADER: {
      auto* r = reinterpret_cast<HeaderRecord*>(record);
      FreeText(r->modelName);
      FreeText(r->displayName);
      FreeText(r->linkedName);
      break;
    }
    case 3: case 4: {
      auto* r = reinterpret_cast<ChoiceListRecord*>(record);
      FreeText(r->name);
      FreeArray(r->choices.items);
      FreeArray(r->rules.items);
      FreeArray(r->requirements.items);
      FreeText(r->name2);
      break;
    }
    case 5: case 6: {
      auto* r = reinterpret_cast<PaperSourceRecord*>(record);
      FreeText(r->name);
      FreeArray(r->papers.items);
      FreeArray(r->attributes.items);
      FreeText(r->name2);
      break;
    }
    case 7: case 8: {
      auto* r = reinterpret_cast<ConstraintRecord*>(record);
      FreeValue(r->watch.value);
      FreeText(r->message);
      FreeConditions(r->conditions);
      FreeItemValues(r->forced);
      break;
    }
    case 9: FreeConditions(reinterpret_cast<PictureRefRecord*>(record)->conditions); break;
    case 10: FreeText(reinterpret_cast<PaperRecord*>(record)->name); break;
    case 11: {
      auto* r = reinterpret_cast<DeviceFontRecord*>(record);
      FreeText(r->name);
      FreeText(r->name2);
      FreeTexts(r->faceCount, r->faces);
      FreeTexts(r->textCount2, r->texts2);
      for (WORD i = 0; r->pairs && i < r->pairCount; ++i) FreeValue(r->pairs[i]);
      FreeArray(r->pairs);
      break;
    }
    case 12: FreeArray(reinterpret_cast<PictureRecord*>(record)->data); break;
    case 13: case 14: {
      auto* r = reinterpret_cast<ChoiceEntryRecord*>(record);
      FreeText(r->name);
      FreeArray(r->rules.items);
      FreeArray(r->requirements.items);
      FreeValue(r->value);
      break;
    }
    case 15: {
      auto* r = reinterpret_cast<JobTemplate*>(record);
      FreeConditions(r->conditions);
      FreeText(r->key);
      FreeText(r->value);
      break;
    }
    case 16: {
      auto* r = reinterpret_cast<Type16Record*>(record);
      FreeConditions(r->conditions);
      FreeArray(r->data);
      break;
    }
    case 18:
    case DDD_KIND_DATA_BLOCK: FreeArray(reinterpret_cast<DataBlock*>(record)->data); break;
    case 19: {
      auto* r = reinterpret_cast<MediaTypeRecord*>(record);
      FreeText(r->name);
      FreeText(r->name2);
      break;
    }
    case 21: {
      auto* r = reinterpret_cast<PresetRecord*>(record);
      FreeText(r->name);
      for (WORD i = 0; r->entries && i < r->count; ++i) FreeValue(r->entries[i].value);
      FreeArray(r->entries);
      break;
    }
    case 22: {
      auto* r = reinterpret_cast<ConditionRecord*>(record);
      for (WORD i = 0; r->names.items && i < r->names.count; ++i) FreeText(r->names.items[i].text);
      FreeArray(r->names.items);
      for (WORD i = 0; r->pairs.items && i < r->pairs.count; ++i) FreeValue(r->pairs.items[i].value);
      FreeArray(r->pairs.items);
      break;
    }
    case 23: {
      auto* r = reinterpret_cast<TrayRuleRecord*>(record);
      FreeConditions(r->conditions);
      FreeArray(r->triples.items);
      break;
    }
    default: break;  // 17, 20 and types without a reader own nothing
  }
}

}  // namespace

WORD FreeRecord(DatabaseRecord** record, WORD type) {
  if (!record || !*record) return kDbFailed;
  if (type != kDbAnyType && type != (*record)->h.type) return kDbFailed;
  FreeRecordContents(*record);
  GlobalFree(*record);
  *record = nullptr;
  return kDbOk;
}
