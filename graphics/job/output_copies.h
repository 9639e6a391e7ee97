// The copies the driver makes itself: the stored pages of the document replayed once per
// collated copy, each copy with the sheets inserted before and after it.
#pragma once

#include "graphics/device/pdev.h"

// Every copy of a document whose pages were stored, with the state cache off so that each copy
// sends all its state again. A failed copy does not stop the next; the results are ORed. -1
// without an open page store.
int OutputCopies(Pdev* pdev);
