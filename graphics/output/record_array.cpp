#include "graphics/output/record_array.h"

#include <cstring>

#include "platform/kernel/memory.h"

int InitRecordArray(RecordArray* array) {
  if (array == nullptr) return -1;
  *array = {};
  return 0;
}

int ReserveBuffer(RecordArray* array, WORD elementSize, WORD count) {
  if (array == nullptr) return -1;
  *array = {};
  if (elementSize == 0 || count == 0) return -1;
  array->data = static_cast<BYTE*>(GlobalAlloc(GPTR, static_cast<SIZE_T>(elementSize) * count));
  if (array->data == nullptr) return -1;
  array->capacity = array->growthStep = count;
  array->elementSize = elementSize;
  return 0;
}

int GrowRecordArray(RecordArray* array) {
  if (array == nullptr || array->data == nullptr) return -1;
  const DWORD capacity = static_cast<DWORD>(array->capacity) + array->growthStep;
  if (capacity > 0xFFFF) return -1;
  const SIZE_T oldBytes = static_cast<SIZE_T>(array->capacity) * array->elementSize;
  auto* data = static_cast<BYTE*>(GlobalAlloc(GPTR, static_cast<SIZE_T>(capacity) * array->elementSize));
  if (data == nullptr) return -1;
  std::memcpy(data, array->data, oldBytes);
  GlobalFree(array->data);
  array->data = data;
  array->capacity = static_cast<WORD>(capacity);
  return 0;
}

WORD GetArrayCapacity(const RecordArray* array) { return array != nullptr ? array->capacity : 0; }

WORD GetArrayElementSize(const RecordArray* array) { return array != nullptr ? array->elementSize : 0; }

int PutArrayElement(RecordArray* array, WORD index, const void* source) {
  if (array == nullptr || source == nullptr || array->data == nullptr || index >= array->capacity) return -1;
  std::memcpy(array->data + static_cast<SIZE_T>(index) * array->elementSize, source, array->elementSize);
  return 0;
}

int GetArrayElement(const RecordArray* array, WORD index, void* destination) {
  if (array == nullptr || destination == nullptr || array->data == nullptr || index >= array->capacity) return -1;
  std::memcpy(destination, array->data + static_cast<SIZE_T>(index) * array->elementSize, array->elementSize);
  return 0;
}

int ClearArrayElement(RecordArray* array, WORD index, BYTE value) {
  if (array == nullptr || array->data == nullptr || index >= array->capacity) return -1;
  std::memset(array->data + static_cast<SIZE_T>(index) * array->elementSize, value, array->elementSize);
  return 0;
}

int FreeBuffer(RecordArray* array) {
  if (array == nullptr) return -1;
  if (array->data != nullptr) GlobalFree(array->data);
  *array = {};
  return 0;
}
