// The saves every edition's tests open: ordinary ones, one for each load error, and
// one for each way the pages' lists read a stored text.
#pragma once

#include <string>

namespace quellhart::test {

// Writes them into `folder` (which exists), under their names.
void WriteSampleSaves(const std::string& folder);

}  // namespace quellhart::test
