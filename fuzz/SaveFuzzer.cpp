// Fuzzes the save file library with whole save files: whatever the bytes, loading
// ends with success or a known error and a cleared model, and a commit either leaves
// the save byte-identical or writes one that loads with what was written, keeping
// the old bytes as the backup.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "savefile/SaveErrors.h"
#include "savefile/SaveGame.h"
#include "tests/support/KnownErrors.h"

using namespace quellhart;

namespace {

// A folder of this process's own, removed when it exits. Deliberately never freed:
// the exit handler still needs it after static objects are gone.
const std::string& WorkFolder() {
    static const std::string* folder = [] {
        auto* pattern = new std::string(
            (std::filesystem::temp_directory_path() / "quellhart-fuzz-XXXXXX").string());
        if (!::mkdtemp(pattern->data())) std::abort();
        std::atexit([] { std::filesystem::remove_all(*folder); });
        return pattern;
    }();
    return *folder;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

const std::set<std::string> kCommitErrors = {
    errors::kOpenOutForWrite,    errors::kReconstruction,   errors::kReconstructionTail,
    errors::kOpenOutForRead,     errors::kNoGlobAtAddress,  errors::kGlobExtractionFromOut,
    errors::kGlobNotLocated,     errors::kGlobWrite,        errors::kGlobVerify,
    errors::kRenameSaveToBackup, errors::kRenameWorkToSave, errors::kBeingWritten,
    errors::kChangedOnDisk};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string save = WorkFolder() + "/fuzz.ess";
    const std::string backup = WorkFolder() + "/fuzz.bak";
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::filesystem::remove(backup);
    {
        std::ofstream out(save, std::ios::binary | std::ios::trunc);
        out.write(input.data(), std::streamsize(input.size()));
    }

    CSaveGame doc;
    const bool loaded = doc.Open(save) && doc.Load();
    if (!loaded) {
        Check(test::OpenAndLoadErrors().count(doc.GetErrorText()) == 1,
              "load error is a known text");
        Check(doc.GlobCount() == 0, "a failed load clears the model");
        return 0;
    }
    Check(doc.GlobCount() >= 1 && doc.GlobCount() <= kMaxGlobs, "glob count in range");

    PlayerRecord record = doc.Player();
    record[PlayerRecord::FNAM] = Subrecord::FromText("Fuzzed Name");
    record[PlayerRecord::KNAM] = Subrecord::FromText("hair_fuzz");
    doc.SetPlayerData(record);
    GlobEntry& glob = doc.Glob(0);
    glob.value = 1234.5f;
    glob.modified = true;
    const int globCount = doc.GlobCount();
    const int valueLen = glob.valueLen;
    const std::string globName(glob.NameText());

    if (!doc.Commit()) {
        Check(kCommitErrors.count(doc.GetErrorText()) == 1, "commit error is a known text");
        Check(ReadAll(save) == input, "a failed commit leaves the save byte-identical");
        Check(!std::filesystem::exists(WorkFolder() + "/fuzz.out"), "no work file remains");
        return 0;
    }
    Check(ReadAll(backup) == input, "the backup holds the old save");
    CSaveGame reread;
    Check(reread.Open(save) && reread.Load(), "the new save loads");
    Check(reread.Player()[PlayerRecord::FNAM].Text() == "Fuzzed Name", "the new name is read back");
    Check(reread.Player()[PlayerRecord::KNAM].Text() == "hair_fuzz", "the new hair is read back");
    Check(reread.GlobCount() == globCount, "the globals are all still there");
    Check(reread.Glob(0).NameText() == globName, "the first global keeps its name");
    if (valueLen == kGlobValueBytes)
        Check(reread.Glob(0).value == 1234.5f, "the new value is read back");
    return 0;
}
