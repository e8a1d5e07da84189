#include "savefile/SaveGame.h"

#include <limits>

#include "savefile/FileClaim.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveHistory.h"
#include "savefile/SiblingPaths.h"
#include "savefile/SwapRecovery.h"

namespace quellhart {

CSaveGame::CSaveGame(FileSystem& fileLayer)
    : files(fileLayer), historyKeep(kDefaultHistoryKeep), input(fileLayer) {}

CSaveGame::~CSaveGame() {
    ClearModel();
    input.Close();
}

bool CSaveGame::Open(const std::string& path) { return Bind(path, false); }

bool CSaveGame::OpenReadOnly(const std::string& path) { return Bind(path, true); }

bool CSaveGame::Bind(const std::string& givenPath, bool onlyForReading) {
    if (blocked) return Refuse(errors::kBlocked);
    Unbind();
    try {
        // A save that is a link is worked on where it lies, its work file and backup
        // beside it, and the link stays a link to it.
        const std::string path = onlyForReading ? givenPath : files.FinalPath(givenPath);
        std::optional<std::string> work;
        if (!onlyForReading && !(work = WorkPathFor(path))) return Refuse(errors::kNoEssInName);
        if (std::string version = onlyForReading ? "" : VersionNotToEdit(path); !version.empty()) {
            Refuse(errors::kVersionNotASave);
            SayWhereVersionsAre(version);
            return false;
        }
        // Names shared with another save's files are left as they are: whose they
        // are cannot be told, and a commit of either save refuses.
        const bool ownSiblings = work && SiblingOfAnotherSave(files, path).empty();
        SaveError recovered;
        if (ownSiblings) recovered = FinishInterruptedSwaps(files, path, historyKeep);
        if (!OpenInput(path)) {
            // Where a stop left the save's versions under other names, the cause says
            // where.
            if (const std::string left = LeftBesideMissingSave(files, path); !left.empty())
                SayWhereVersionsAre(left);
            return false;
        }
        savePath = path;
        readOnly = onlyForReading;
        openNote = std::move(recovered);
        // A work file left by a commit that was stopped half-way is deleted, but only
        // when no commit is running now: a running one claims the save before it
        // makes its work file, and the work file from then on.
        if (work) workPath = *work;
        if (ownSiblings) {
            if (LockByName(files, path, input.Handle()) == FileError::kNone) {
                RemoveStaleWorkFile();
                files.Unlock(input.Handle());
            }
        }
        return true;
    } catch (const std::exception&) {  // no memory for a path
        Unbind();
        return Refuse(errors::kUnableToOpenSave);
    }
}

void CSaveGame::Unbind() {
    ClearModel();
    input.Close();
    savePath.clear();
    workPath.clear();
    readOnly = false;
    chargenClass = false;
    openNote = {};
}

bool CSaveGame::OpenInput(const std::string& path) {
    if (const FileStatus opened = input.Open(path); !opened.Ok())
        return Refuse(errors::kUnableToOpenSave, opened);
    uint32_t magic = 0;
    if (!input.ReadValue(magic) || magic != kTagTES3) {
        const FileStatus failed = input.ReadFailure();
        input.Close();
        return Refuse(errors::kNotASave, failed);
    }
    return true;
}

// Called with the save's lock held. Only a file is deleted: a folder or a link of
// that name is the user's.
bool CSaveGame::LoadsWhole(const std::string& path) {
    CSaveGame other(files);  // closed again before anything is done to the file
    return other.OpenReadOnly(path) && other.Load();
}

CSaveGame::StaleWorkFile CSaveGame::RemoveStaleWorkFile() {
    // A stop between a link and an unlink leaves the work file's name a second name of
    // the save itself (whose lock the caller holds, so that a claim would fail as if
    // another commit held it): only that name goes; the save keeps its own.
    if (FileInfo named; files.DescribePath(workPath, false, named).Ok() &&
                        named.kind == FileKind::kRegular && named.SameFile(input.OpenedAs())) {
        if (!files.Remove(workPath).Ok()) return StaleWorkFile::kClaimed;
        files.SyncFolderOf(workPath);
        return StaleWorkFile::kRemoved;
    }
    FileClaim stale(files, workPath);
    const FileStatus claimed = stale.Take();
    if (claimed == FileError::kLocked) return StaleWorkFile::kClaimed;
    // Only a regular file is taken for a work file; anything else stays, and the
    // commit's exclusive create then refuses.
    if (claimed != FileError::kNone) return StaleWorkFile::kRemoved;
    FileInfo info;
    if (files.Describe(stale.Handle(), info) != FileError::kNone ||
        (info.size != 0 && !BeginsAsASave(files, stale.Handle())))
        return StaleWorkFile::kNotOurs;
    // A whole save there is an edited save a commit finished writing, stopped before
    // it took the save's name (where the file system has no second names, the save's
    // name is then empty, and a game may have saved into it since): it is kept among
    // the versions, versions kept or not, and the Open says where. Anything less is a
    // copy stopped half-way.
    if (info.size != 0 && LoadsWhole(workPath)) {
        std::string keptAs;
        const FileStatus kept = KeepInHistory(files, savePath, workPath, KeptFrom::kOther, keptAs);
        if (!kept.Ok()) return StaleWorkFile::kEditStays;  // never deleted
        openNote = {errors::kEditKeptAsVersion, "It is now " + keptAs + "."};
        return StaleWorkFile::kRemoved;
    }
    files.Remove(workPath);
    return StaleWorkFile::kRemoved;
}

int32_t CSaveGame::PrefixLength(const PlayerRecord& record) {
    int32_t length = kPlayerPrefixFixedBytes;
    for (const Subrecord& sub : record.subrecords) length += int32_t(sub.Text().size()) + 1;
    return length;
}

void CSaveGame::SetPlayerData(const PlayerRecord& record) {
    // A blocked document still takes the data; the commit that follows refuses.
    if (blocked) SetError(errors::kBlocked);
    // The size word must stay a 32-bit value; a commit refuses a prefix that would
    // take it outside that range.
    const int64_t size = int64_t(readPlayer.size) - readPrefixLength + PrefixLength(record);
    playerPrefixWritable =
        size >= std::numeric_limits<int32_t>::min() && size <= std::numeric_limits<int32_t>::max();
    PlayerRecord edited;
    edited.size = playerPrefixWritable ? int32_t(size) : 0;
    edited.header = record.header;
    try {
        for (size_t i = 0; i < edited.subrecords.size(); ++i)
            edited.subrecords[i] = Subrecord::FromText(record.subrecords[i].Text());
    } catch (const std::exception&) {  // no memory for the texts
        playerPrefixWritable = false;
    }
    player = std::move(edited);
    playerRawAddress = readRawAddress;
}

void CSaveGame::ClearModel() {
    // Every slot, not only the first globCount: a slot whose reading failed half-way
    // holds buffers too.
    for (GlobEntry& slot : globs) slot = GlobEntry{};
    globCount = 0;
    player = PlayerRecord{};
    readPlayer = PlayerRecord{};
    reliedOn.clear();
    fingerprintAsLoaded.reset();
    bytesChangedSinceLoad = false;
}

bool CSaveGame::Fail(const char* text, const FileStatus& failed) {
    Refuse(text, failed);
    ClearModel();
    return false;
}

void CSaveGame::SayWhereVersionsAre(const std::string& where) { error.AddCause(where); }

bool CSaveGame::Refuse(const char* text, const FileStatus& failed) {
    SetError(text);
    error.cause = failed.Cause();
    return false;
}

}  // namespace quellhart
