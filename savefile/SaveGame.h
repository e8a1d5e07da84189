// CSaveGame: one opened save file, from Open through Load and the user's edits to
// one Commit. Every failing operation returns false and leaves its error in the
// document (GetError: the text, and the cause where there is one); nothing throws.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "savefile/FileSystem.h"
#include "savefile/SaveCopier.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveInput.h"
#include "savefile/SaveRecords.h"
#include "savefile/SaveReplace.h"

namespace quellhart {
namespace test {
class SaveGameProbe;
}

class CSaveGame {
public:
    // Every file call goes through `files`; tests pass one that fails on demand.
    explicit CSaveGame(FileSystem& files = SystemFileSystem());
    virtual ~CSaveGame();
    CSaveGame(const CSaveGame&) = delete;
    CSaveGame& operator=(const CSaveGame&) = delete;

    // Binds the document to `path` (the file it names, through a symbolic link) and
    // checks the "TES3" magic; before that it finishes or undoes a commit or restore
    // that a stop interrupted, and after it deletes a stale work file beside the save
    // unless a running commit claims it. The input stays open until Load has read what
    // it needs, and is opened again by Commit. A refused Open leaves the document
    // empty.
    bool Open(const std::string& path);

    // Opens any file, whatever its name, for reading only: nothing beside it is
    // deleted or created, and Commit refuses with "SG Blocked".
    bool OpenReadOnly(const std::string& path);

    // Reads the GLOB run, the chargen-class mark and the player prefix.
    bool Load();

    // Writes the new save in the old one's place and keeps the old one as backup;
    // the previous backup moves into the save's history (SaveHistory.h).
    // At every moment the save's name holds a complete save, the old or the new one;
    // a failed commit leaves the save and the backup as they were and no file of its
    // own. A document that committed commits no more; after a failure it may try
    // again, edits and all, while CanCommit says so.
    bool Commit();
    // Whether Commit may run: a document opened for editing that has not committed,
    // or whose failed commit left the save's name holding the loaded file, unchanged
    // (a refusal, or a swap undone), so that the cause can be mended and the same
    // edits committed. False after a commit that went through, or one whose failure
    // left another save under the name: that one is to be loaded again.
    bool CanCommit() const { return !blocked && !readOnly && (input.IsOpen() || input.IsLetGo()); }
    // Whether the save's name still names the file loaded, with the size and times it
    // had then: a look for a watcher, made as often as the folder changes, which reads
    // no byte and holds nothing open. (The commit's own checks read the bytes too.)
    bool SaveLooksAsLoaded();
    // How many earlier versions a commit keeps besides the original (0: none, and the
    // previous backup is replaced); QUELLHART_HISTORY_KEEP's by default.
    void SetHistoryKeep(int keep) { historyKeep = keep; }
    // After a commit that went through: what it has to say beside "Done" (the previous
    // backup could not be kept, and why); empty text when nothing.
    const SaveError& GetCommitNote() const { return commitNote; }
    // What an Open that went through has to say (an edited save it kept among the
    // versions); empty for nothing.
    const SaveError& GetOpenNote() const { return openNote; }

    // Replaces the edited player prefix with `record`'s texts, each stored with exactly
    // one terminating zero; the size word follows the change in prefix length.
    void SetPlayerData(const PlayerRecord& record);

    // The byte length `record` will have as a written prefix.
    static int32_t PrefixLength(const PlayerRecord& record);

    // Offset within the first `count` bytes of `window` of the first whole occurrence
    // of `tag`, or -1.
    static int FindTag(const char* window, int count, uint32_t tag);

    void ClearModel();
    void SetError(std::string text) { error = {std::move(text), {}}; }
    const std::string& GetErrorText() const { return error.text; }
    // The last failure: its text, and beneath it the cause where a file call failed
    // for a reason the system gave, or where each version of the save was left.
    const SaveError& GetError() const { return error; }
    bool HasChargenClass() const { return chargenClass; }

    // Read access for the pages.
    int GlobCount() const { return globCount; }
    GlobEntry& Glob(int index) { return globs[size_t(index)]; }
    const GlobEntry& Glob(int index) const { return globs[size_t(index)]; }
    // A changed value, as Confirm Change stores it: in the slot at once, and marked for
    // the next commit.
    void SetGlobValue(int index, float value) {
        globs[size_t(index)].value = value;
        globs[size_t(index)].modified = true;
    }
    int32_t PlayerRawAddress() const { return playerRawAddress; }
    const PlayerRecord& Player() const { return player; }

    const std::string& SavePath() const { return savePath; }

private:
    friend class test::SaveGameProbe;  // the tests look at the input and the work file

    // Open and OpenReadOnly: an editable document needs ".ess" in the file's name.
    bool Bind(const std::string& givenPath, bool onlyForReading);
    bool OpenInput(const std::string& path);
    void Unbind();
    // SetError, ClearModel, false; the cause is the failed call's, by default the
    // input's failed read, if any.
    bool Fail(const char* text) { return Fail(text, input.ReadFailure()); }
    bool Fail(const char* text, const FileStatus& failed);
    // SetError, false; the cause is the failed call's, if any.
    bool Refuse(const char* text, const FileStatus& failed = {});
    // After an undo that failed: where each version is, beside the system's reason.
    void SayWhereVersionsAre(const std::string& where);
    bool LoadModel();
    bool ReadGlobRecord(GlobEntry& slot, int64_t offset);
    void ProbeChargenClass();
    bool ReadSubrecord(Subrecord& into, uint32_t* tag);
    bool ReadPlayerRest();

    bool CommitLocked();
    // Opens the save under its name again for the commit; false, with the error, when
    // it cannot.
    bool TakeSaveAgain();
    // The save's name still names the loaded file, untouched; otherwise refuses, with
    // the save changed or, where the system could not tell, unreadable.
    bool SaveStillAsLoaded();
    // The same look, without a word: after a failed commit, whether it may try again.
    bool SaveIsTheLoadedFile();
    // The loaded file, wherever its name is now, unchanged since it was loaded: the
    // same size and modification time, and the same bytes where the commit relies on
    // them, since a time kept to the second cannot tell a rewrite in the same second.
    // While no name of it has changed since, a change time that moved (an attribute
    // changed, or the bytes with the modification time put back) sends the look to
    // the whole file's bytes, which decide; so, for the file that `leftTheName` of the
    // save at the swap, do times too coarse to tell a rewrite (FAT, exFAT). Unreadable:
    // the call that failed is in `unreadable`.
    OnDisk LoadedFileOnDisk(bool changeTimeToo, FileStatus& unreadable, bool leftTheName = false);
    FileStatus RememberReliedOnBytes(int64_t globRunStart, int64_t globRunEnd);
    // kEditStays: an edited save, whole, which the versions could not take.
    enum class StaleWorkFile { kRemoved, kClaimed, kNotOurs, kEditStays };
    // Removes a work file that no running commit has claimed (none there counts as
    // removed). A file that no commit could have left, one that does not begin as a
    // save does, is another program's and stays.
    StaleWorkFile RemoveStaleWorkFile();
    // Whether the file at `path` opens and loads as a whole save.
    bool LoadsWhole(const std::string& path);
    bool PlanValuePatches(std::vector<ValuePatch>& patches);
    bool RebuildOutFile(std::span<const ValuePatch> patches);
    bool CopyFailed(const SaveCopier& copier, const char* step = errors::kReconstruction);
    bool ReadBackValuePatches(std::span<const ValuePatch> patches);
    std::optional<int64_t> LocateGlobValue(const GlobEntry& slot);

    FileSystem& files;
    int globCount = 0;
    std::array<GlobEntry, kMaxGlobs> globs;
    int32_t playerRawAddress = 0;
    PlayerRecord player;
    bool blocked = false;
    bool readOnly = false;
    // A commit has changed the loaded file's names (and undone it): its change time
    // no longer tells whether anything else touched it.
    bool namesChanged = false;
    // False when the edited prefix cannot be written: its size word would leave the
    // 32-bit range, or its texts could not be stored.
    bool playerPrefixWritable = true;
    FileHandle workFile = kNoFile;  // open during a commit
    SaveError error;
    int historyKeep;
    SaveError commitNote;
    SaveError openNote;
    int32_t readRawAddress = 0;
    int32_t readPrefixLength = 0;
    PlayerRecord readPlayer;
    // The GLOB run and the player prefix as loaded: offset and bytes.
    std::vector<std::pair<int64_t, std::vector<char>>> reliedOn;
    // The whole save's fingerprint, taken as an editable save loads. A commit copies
    // the save only if the bytes it copies have it, and a change time that moved (an
    // attribute changed to mend a failure, or a rewrite) is told by it.
    std::optional<uint64_t> fingerprintAsLoaded;
    // A commit found other bytes than those loaded (copying them, or in the file that
    // left the save's name), though the times did not show it.
    bool bytesChangedSinceLoad = false;
    bool chargenClass = false;
    SaveInput input;
    std::string savePath;
    std::string workPath;
};

}  // namespace quellhart
