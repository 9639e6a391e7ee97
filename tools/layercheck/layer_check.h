// The include check of the layered trees (core/, platform/, scanner/, ui/, graphics/): each
// tree's README.md names its layers lowest first in a "## Layers" section, one list item per
// folder, the folder's path from the checkout's root in backticks ("- `core/store/`: ..."). A
// file belongs to the longest listed folder that holds it. An include whose line ends in a comment starting
// "// up:" is a known exception to the order, its reason after the mark; it is left out of the
// order and circle checks. The check reports:
//   - an include from a file to a file of a higher layer of the same tree;
//   - a circle of includes between folders (sub-folders of one layer included);
//   - an include from one tree into another that the trees' order does not allow;
//   - a folder of a tree that no layer of its README holds;
//   - a folder of core/ that holds more than 40 files;
//   - a test-control header (*_sim.h) that includes another folder's *_sim.h, and a file of
//     core/, scanner/, ui/ or graphics/ that includes a *_sim.h or the platform's umbrella header.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Largest number of files one folder of core/ holds.
inline constexpr int kCoreFolderFileLimit = 40;

// The faults of the checkout at `root`, one line each, in a stable order; empty when it holds
// its layers.
std::vector<std::string> CheckLayers(const std::filesystem::path& root);
