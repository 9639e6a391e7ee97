// RecordArray: a growable array of fixed-size elements, zero-filled, on the global heap. The
// output channel keeps its page tables in two of them.
#pragma once

#include "platform/base/types.h"

struct RecordArray {
  WORD capacity;     // elements
  WORD elementSize;  // bytes
  WORD growthStep;   // elements
  BYTE* data;
};

// All operations answer 0 for success and -1 for a missing argument or failure.
// Empties the record without freeing anything.
int InitRecordArray(RecordArray* array);
// Allocates count elements of elementSize bytes, zero-filled, with capacity and growth step
// count. A zero size or count, or no memory, empties the array: -1.
int ReserveBuffer(RecordArray* array, WORD elementSize, WORD count);
// Adds the growth step to the capacity, keeping the contents; -1 with nothing changed when no
// memory is left or the capacity would pass 65535.
int GrowRecordArray(RecordArray* array);
WORD GetArrayCapacity(const RecordArray* array);
WORD GetArrayElementSize(const RecordArray* array);
// Copy one element in or out; -1 for an index at or above the capacity.
int PutArrayElement(RecordArray* array, WORD index, const void* source);
int GetArrayElement(const RecordArray* array, WORD index, void* destination);
// Fills one element with the byte; -1 for an index at or above the capacity.
int ClearArrayElement(RecordArray* array, WORD index, BYTE value);
// Frees the data and empties the array.
int FreeBuffer(RecordArray* array);
