// Operations on one save that overlap: operation A is paused before each of its file
// calls in turn while a whole operation B runs, then goes on. Whatever the moment,
// every reported success must be in the files, every reported failure must have left
// them as they were, and no file may be left behind: the outcome is that of A and B
// one after the other, in some order, counting only those that succeeded.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include "savefile/BackupRestore.h"
#include "savefile/SaveGame.h"
#include "savefile/SaveHistory.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/SaveBuilder.h"
#include "tests/support/TempDir.h"

namespace quellhart {
namespace {

namespace fs = std::filesystem;

// The versions are told apart by the player's name.
void WriteSaveNamed(const std::string& path, const std::string& name) {
    test::PlayerTexts texts;
    texts.name = name;
    test::SaveBuilder().Header().Glob("Day", 3.0f).Filler(2000).Player(texts).WriteTo(path);
}

std::string NameIn(const std::string& path) {
    CSaveGame doc;
    if (!doc.OpenReadOnly(path) || !doc.Load()) return fs::exists(path) ? "(broken)" : "";
    return std::string(doc.Player()[PlayerRecord::FNAM].Text());
}

struct Names {
    std::string save, backup;
    bool operator==(const Names&) const = default;
};

// One operation: what it does to the files, and what it does when it succeeds.
struct Operation {
    const char* name;
    std::function<bool(FileSystem&, const std::string& save)> run;
    std::function<Names(const Names&)> effect;
};

Operation Commit(const char* playerName) {
    return {"commit",
            [playerName](FileSystem& files, const std::string& save) {
                CSaveGame doc(files);
                if (!doc.Open(save) || !doc.Load()) return false;
                PlayerRecord record = doc.Player();
                record[PlayerRecord::FNAM] = Subrecord::FromText(playerName);
                doc.SetPlayerData(record);
                return doc.Commit();
            },
            [playerName](const Names& before) {
                return Names{playerName, before.save};
            }};
}

const Operation kOpen{"open",
                      [](FileSystem& files, const std::string& save) {
                          CSaveGame doc(files);
                          return doc.Open(save) && doc.Load();
                      },
                      [](const Names& before) { return before; }};
const Operation kShow{"show",
                      [](FileSystem& files, const std::string& save) {
                          CSaveGame doc(files);
                          return doc.OpenReadOnly(save) && doc.Load();
                      },
                      [](const Names& before) { return before; }};
const Operation kRestore{"restore",
                         [](FileSystem& files, const std::string& save) {
                             SaveError error;
                             return RestoreBackup(save, kDefaultHistoryKeep, error, files);
                         },
                         [](const Names& before) {
                             return Names{before.backup, before.save};
                         }};

// The game saves as many programs do: a whole new file, renamed over the save.
const Operation kGameSaves{"game saves by rename",
                           [](FileSystem& files, const std::string& save) {
                               WriteSaveNamed(save + ".new", "Game");
                               return files.Rename(save + ".new", save) == FileError::kNone ||
                                      !fs::remove(save + ".new");
                           },
                           [](const Names& before) {
                               return Names{"Game", before.backup};
                           }};

TEST(Interleaving, EveryPairOfOperationsAtEveryCallEndsAsOneAfterTheOther) {
    const Names start{"Old", "Previous"};
    const Operation firsts[] = {Commit("A"), kRestore, kOpen};
    const Operation seconds[] = {kOpen, Commit("B"), kRestore, kShow, kGameSaves};
    int cases = 0;
    // With an exchange of names in one step, and without (FAT, Windows), where the
    // operations take their ways of several renames.
    for (const bool exchange : {true, false})
        for (const Operation& a : firsts) {
            for (const Operation& b : seconds) {
                for (int pauseAt = 1;; ++pauseAt) {
                    test::TempDir dir;
                    const std::string save = dir.File("save.ess");
                    WriteSaveNamed(save, start.save);
                    WriteSaveNamed(dir.File("save.bak"), start.backup);
                    bool bRan = false, bDone = false;
                    test::FaultyFileSystem files([&](int call, std::string_view) {
                        if (call == pauseAt) {
                            bRan = true;
                            bDone = b.run(SystemFileSystem(), save);
                        }
                        return FileError::kNone;
                    });
                    files.exchangeSupported = exchange;
                    const bool aDone = a.run(files, save);
                    if (!bRan) break;  // A made fewer calls than that
                    ++cases;
                    const Names now{NameIn(save), NameIn(dir.File("save.bak"))};
                    Names aThenB = start, bThenA = start;
                    if (aDone) aThenB = a.effect(aThenB);
                    if (bDone) aThenB = b.effect(aThenB);
                    if (bDone) bThenA = b.effect(bThenA);
                    if (aDone) bThenA = a.effect(bThenA);
                    const std::string where =
                        std::string(exchange ? "" : "without exchange: ") + a.name +
                        " paused at call " + std::to_string(pauseAt) + " (" +
                        files.Names()[size_t(pauseAt - 1)] + ") for " + b.name + ": " +
                        (aDone ? "A done, " : "A refused, ") + (bDone ? "B done" : "B refused") +
                        "; found " + now.save + "/" + now.backup;
                    // Without an exchange a commit renames the save to the backup first:
                    // refused after that, it has cost the previous backup, not the save.
                    const bool lostOnlyThePreviousBackup = !exchange && !aDone &&
                                                           std::string(a.name) == "commit" &&
                                                           now == Names{bThenA.save, start.save};
                    EXPECT_TRUE(now == aThenB || now == bThenA || lostOnlyThePreviousBackup)
                        << where;
                    std::set<std::string> left;
                    for (const auto& entry : fs::directory_iterator(dir.Path()))
                        left.insert(entry.path().filename().string());
                    left.erase("save.history");  // the commits' earlier versions
                    EXPECT_EQ(left, (std::set<std::string>{"save.ess", "save.bak"})) << where;
                }
            }
        }
    EXPECT_GT(cases, 200);
}

}  // namespace
}  // namespace quellhart
