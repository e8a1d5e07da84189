// A commit cut off by a power failure at any of its calls, on a disk that keeps or
// loses each change of names made since the last sync of its folder, in any
// combination, and the bytes written since each file's last sync or not: the next
// Open finds the old save or the new one whole under the save's name, with the old
// one beside it where the new one is in place, and loses no earlier version. What a
// process that stopped (but whose system went on) leaves is the case where everything
// is kept.
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "savefile/BackupRestore.h"
#include "savefile/SaveGame.h"
#include "savefile/SaveHistory.h"
#include "tests/support/CoarseTimes.h"
#include "tests/support/PowerLossFileSystem.h"
#include "tests/support/SaveBuilder.h"

namespace quellhart {
namespace {

using test::PowerLossFileSystem;

std::string SaveNamed(const std::string& name) {
    test::PlayerTexts texts;
    texts.name = name;
    return test::SaveBuilder().Header().Glob("Day", 3.0f).Filler(3000).Player(texts).Bytes();
}

const std::string kOld = SaveNamed("Old");
const std::string kPrevious = SaveNamed("Previous");
const std::string kSave = "saves/save.ess";
const std::string kBackup = "saves/save.bak";

bool EditAndCommit(FileSystem& files) {
    CSaveGame doc(files);
    if (!doc.Open(kSave) || !doc.Load()) return false;
    doc.Glob(0).value = 9.0f;
    doc.Glob(0).modified = true;
    return doc.Commit();
}

size_t Holding(const std::map<std::string, std::string>& files, const std::string& version) {
    size_t count = 0;
    for (const auto& [name, bytes] : files) count += bytes == version;
    return count;
}

// What the next run finds on `disk`: every one of `kept` somewhere (the save, the
// backup, a version, a name of a stopped swap), and the save's bytes once it opens and
// loads. Only without second names may the save's name be left empty; the Open then
// says where the versions are.
std::optional<std::string> NextOpenFinds(MemoryFileSystem& disk, bool links,
                                         std::initializer_list<const std::string*> kept,
                                         const std::string& where) {
    CSaveGame next(disk);
    const bool opened = next.Open(kSave);
    const auto left = test::FilesIn(disk, {"saves", "saves/save.history"});
    for (const std::string* version : kept) EXPECT_GE(Holding(left, *version), 1u) << where;
    if (!opened) {
        EXPECT_FALSE(links) << where;
        EXPECT_NE(next.GetError().cause.find("beside it"), std::string::npos) << where;
        return std::nullopt;
    }
    EXPECT_TRUE(next.Load()) << where << ": " << next.GetErrorText();
    return disk.Contents(kSave);
}

// With a journal and fine times (ext4, XFS, Btrfs; NFS and SMB servers, the first
// of them without its lock service) or without either (FAT, exFAT, which also have no
// links; their times are kept to 2 s or 10 ms, with no change time of their own).
struct Profile {
    bool exchange, links, journal;
    std::int64_t coarseTimes;
    bool locks;

    void GiveTo(PowerLossFileSystem& files) const {
        files.exchangeSupported = exchange;
        files.linksSupported = links;
        files.journal = journal;
        files.coarseTimes = coarseTimes;
        files.locksSupported = locks;
    }
};
constexpr Profile kProfiles[] = {{true, true, true, 0, true},
                                 {false, true, true, 0, false},
                                 {false, false, false, test::kFatTimes, true},
                                 {false, false, false, test::kExFatTimes, true}};

// Runs `operation` on the save and its previous backup (or `start`), cut at each of its calls, and
// hands every disk such a cut can leave to `check`, with a line saying which it is.
template <typename Operation, typename Check>
void CutAtEveryCall(const Profile& can, Operation operation, Check check,
                    const std::map<std::string, std::string>& start = {{kSave, kOld},
                                                                       {kBackup, kPrevious}}) {
    PowerLossFileSystem clean(start);
    can.GiveTo(clean);
    ASSERT_TRUE(operation(clean));
    for (int call = 1; call <= clean.Calls() + 1; ++call) {
        PowerLossFileSystem files(start);
        can.GiveTo(files);
        files.stopAtCall = call;
        operation(files);
        const std::uint32_t combinations = 1u << files.UnsyncedNameChanges();
        for (std::uint32_t kept = 0; kept < combinations * 2; ++kept) {
            const std::uint32_t names = kept / 2;
            if (can.journal && (names & (names + 1)) != 0) continue;  // not the first n
            const std::string where =
                std::string(can.exchange ? "exchange" : "renames") + (can.links ? ", links" : "") +
                (can.locks ? "" : ", no locks") + ", cut at call " + std::to_string(call) +
                ", name changes kept " + std::to_string(names) + " of " +
                std::to_string(combinations - 1) + (kept % 2 ? ", bytes kept" : "") + " (" +
                files.UnsyncedNameChangesText() + ")";
            std::unique_ptr<MemoryFileSystem> disk = files.AfterPowerCut(names, kept % 2 != 0);
            check(*disk, where);
        }
    }
}

TEST(PowerLoss, ACommitCutAtAnyCallLeavesTheOldOrTheNewSaveAndEveryVersion) {
    for (const Profile& can : kProfiles) {
        PowerLossFileSystem clean({{kSave, kOld}, {kBackup, kPrevious}});
        can.GiveTo(clean);
        ASSERT_TRUE(EditAndCommit(clean));
        const std::string newSave = *clean.AfterPowerCut(~0u, true)->Contents(kSave);
        ASSERT_NE(newSave, kOld);
        // "Done" means on the disk: the new save and its backup, whatever the power does
        // next (the old save's second name, removed last, may come back, for the next
        // Open to clear).
        const auto done = clean.AfterPowerCut(0, false);
        EXPECT_EQ(done->Contents(kSave), newSave);
        EXPECT_EQ(done->Contents(kBackup), kOld);
        CutAtEveryCall(can, EditAndCommit, [&](MemoryFileSystem& disk, const std::string& where) {
            const auto save = NextOpenFinds(disk, can.links, {&kOld, &kPrevious}, where);
            if (!save) return;
            EXPECT_TRUE(save == kOld || save == newSave) << where;
            if (save == newSave) {
                EXPECT_TRUE(disk.Contents(kBackup) == kOld) << where;
            }
        });
    }
}

// A restore cut likewise leaves both versions, each whole, the save's name holding one.
TEST(PowerLoss, ARestoreCutAtAnyCallLeavesBothVersionsWhole) {
    const auto restore = [](FileSystem& files) {
        SaveError error;
        return RestoreBackup(kSave, kDefaultHistoryKeep, error, files);
    };
    for (const Profile& can : kProfiles) {
        CutAtEveryCall(can, restore, [&](MemoryFileSystem& disk, const std::string& where) {
            const auto save = NextOpenFinds(disk, can.links, {&kOld, &kPrevious}, where);
            EXPECT_TRUE(!save || save == kOld || save == kPrevious) << where;
        });
    }
}

// As does a version's restore: the save, its backup and every version stay.
TEST(PowerLoss, AVersionsRestoreCutAtAnyCallLeavesEveryVersion) {
    const std::string version = SaveNamed("Version");
    const auto restore = [](FileSystem& files) {
        std::vector<SaveVersion> versions;
        if (!ListVersions(files, kSave, versions).Ok() || versions.empty()) return false;
        SaveError error;
        std::string keptAs;
        return RestoreVersion(kSave, versions.front(), kDefaultHistoryKeep, error, keptAs, files);
    };
    for (const Profile& can : kProfiles) {
        CutAtEveryCall(can, restore,
                       [&](MemoryFileSystem& disk, const std::string& where) {
                           const auto save =
                               NextOpenFinds(disk, can.links, {&kOld, &kPrevious, &version}, where);
                           EXPECT_TRUE(!save || save == kOld || save == version) << where;
                       },
                       {{kSave, kOld},
                        {kBackup, kPrevious},
                        {"saves/save.history/2026-01-01T00-00-00.000000000Z.ess", version}});
    }
}

}  // namespace
}  // namespace quellhart
