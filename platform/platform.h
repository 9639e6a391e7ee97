// Every header of the platform layer (kept sorted).
#pragma once

#include "platform/base/addr32.h"
#include "platform/base/errors.h"
#include "platform/base/export.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/sandbox.h"
#include "platform/kernel/sim.h"
#include "platform/kernel/time.h"
