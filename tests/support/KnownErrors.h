// The set of texts that opening and loading may report.
#pragma once

#include <set>
#include <string>

#include "savefile/SaveErrors.h"

namespace quellhart::test {

inline const std::set<std::string>& OpenAndLoadErrors() {
    static const std::set<std::string> texts = {errors::kNoEssInName,    errors::kUnableToOpenSave,
                                                errors::kNotASave,       errors::kNoGlobSection,
                                                errors::kGlobExtraction, errors::kNoPlayerData,
                                                errors::kPlayerSearch,   errors::kPlayerExtraction};
    return texts;
}

}  // namespace quellhart::test
