// Marks a function a module exports by name (what GetProcAddress finds).
#pragma once

#define DLLEXPORT extern "C" __attribute__((visibility("default")))
// The platform layer's own entry points, shared by every module of the process.
#define PLATFORM_API __attribute__((visibility("default")))
