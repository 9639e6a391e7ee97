// The demo's application-style printing: a short document printed through CreateDCW and both
// printer modules, its pages rendered to PNG files.
#pragma once

#include <filesystem>

// Prints the document on a printer of the sample model and writes its spool file and page
// pictures into `outputDirectory`, saying where they are.
void PrintFromApplication(const std::filesystem::path& outputDirectory);
