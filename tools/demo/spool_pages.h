// The last spool job of the session, kept for a person to look at: the spool file and its pages
// rendered by the spool viewer to PNG files, each path printed as it is written.
#pragma once

#include <filesystem>

// Writes FOLDER/SPOOLNAME and FOLDER/PAGEPREFIX001.png and so on (a quarter of the device's
// pixels).
void SaveLastSpoolJob(const std::filesystem::path& folder, const char* spoolName, const char* pagePrefix);
