// Print to file: the folder and file of a job that is saved as a file beside being printed.
// The folder is the text of item 1829, the file name the text of item 338, the extension
// ".kmr"; the file receives the job's output through the channel (mode 4).
#pragma once

#include "graphics/device/pdev.h"
#include "items/item_tables.h"
#include "platform/base/types.h"

inline constexpr WCHAR kSaveFileExtension[] = u".kmr";

// Results of CreateFolderPath and CreateOutputDirectory.
constexpr int kFolderReady = 0;      // created or already present
constexpr int kFolderSkipped = -1;   // could not be created; the user chose to print without it
constexpr int kFolderCancelled = -2; // could not be created; the user cancelled the job

// Creates the folders of the save folder and adds the file as a target of the device's
// channel. 0: the job goes on (with the file, or without it when the user chose so after a
// folder failure); -1: the user cancelled the job.
int PrepareFileOutput(Pdev* pdev);
// Creates every folder along the path, one level after the other: at each separator ("\",
// "/" or the yen sign) the text before it, leaving out the drive ("X:"), a leading separator
// and the server and share of a network path ("\\server\share"); then the whole folder unless
// it ends in a separator. Stops at the first folder that is not ready and answers its result.
int CreateFolderPath(HMODULE resourceModule, LPCWSTR folder, Pdev* pdev);
// Creates one folder; when that fails the user is asked whether to go on without it.
int CreateOutputDirectory(HMODULE resourceModule, LPCWSTR folder, Pdev* pdev);
