// The demo's office document printed through the whole print path and rendered to PNG pages.
#pragma once

#include <filesystem>

// Prints the sample document on a printer of the sample model made for it, keeps the spool file
// in `folder` and renders its pages there as PNG files, saying what it produced.
void PrintOfficeDocument(const std::filesystem::path& folder);
