// Writes a built save into a temporary folder and opens and loads it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "savefile/SaveGame.h"
#include "tests/support/SaveBuilder.h"
#include "tests/support/TempDir.h"

namespace quellhart::test {

class LoadedSaveTest : public ::testing::Test {
protected:
    // Writes `save` as "save.ess", opens it through `files` and returns what Load
    // returned.
    bool OpenAndLoad(const SaveBuilder& save, FileSystem& files = SystemFileSystem()) {
        save.WriteTo(SavePath());
        doc = std::make_unique<CSaveGame>(files);
        if (!doc->Open(SavePath())) return false;
        return doc->Load();
    }
    std::string SavePath() const { return dir.File("save.ess"); }
    std::string WorkPath() const { return dir.File("save.out"); }
    std::string BackupPath() const { return dir.File("save.bak"); }
    // What the globals page does on "Confirm Change" for the first global.
    static void ChangeDay(CSaveGame& save, float value) {
        save.Glob(0).value = value;
        save.Glob(0).modified = true;
    }

    TempDir dir;
    std::unique_ptr<CSaveGame> doc;
};

}  // namespace quellhart::test
