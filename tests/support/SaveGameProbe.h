// What a document holds beyond what its users see, for the tests to look at.
#pragma once

#include <cstdint>
#include <string>

#include "savefile/SaveGame.h"

namespace quellhart::test {

class SaveGameProbe {
public:
    static const std::string& WorkPath(const CSaveGame& doc) { return doc.workPath; }
    static bool IsInputOpen(const CSaveGame& doc) { return doc.input.IsOpen(); }
    static std::int64_t BytesReadFromSave(const CSaveGame& doc) {
        return doc.input.BytesReadFromFile();
    }
};

}  // namespace quellhart::test
