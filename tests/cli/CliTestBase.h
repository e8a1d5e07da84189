// Runs quellhart-cli's commands in-process on saves in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "savefile/FileSystem.h"
#include "tests/support/SaveBuilder.h"
#include "tests/support/ScopedVariable.h"
#include "tests/support/TempDir.h"

namespace quellhart::test {

struct CliResult {
    int code = -1;
    std::string out, err;
    nlohmann::json Json() const { return nlohmann::json::parse(out); }
};

class CliTest : public ::testing::Test {
protected:
    CliTest();
    // Runs the command line; `answers` is what the user types, on a terminal when
    // `onTerminal` is true.
    CliResult Cli(const std::vector<std::string>& args, const std::string& answers = "",
                  bool onTerminal = false, FileSystem& files = SystemFileSystem());
    std::string SavePath() const { return dir.File("save.ess"); }
    std::string BackupPath() const { return dir.File("save.bak"); }

    // The texts of the tests' saves are Windows-1252 whatever the locale of the
    // machine that runs them; a test that means another code page says so.
    ScopedVariable codePage{"QUELLHART_CODE_PAGE", "1252"};
    TempDir dir;
    SaveBuilder save;
};

}  // namespace quellhart::test
