// The work file (".out") and the backup file (".bak") live beside the save and are
// named by replacing every ".ess" in the save's file name; so do the names that hold
// a save only while its names change hands: ".prev", a second name of the save a
// commit replaces, and ".swap", the save a restore puts aside where two names cannot
// be exchanged in one step; and ".history", the folder of its earlier versions. Only
// the file's own name
// changes, never a folder's: "a.ess.d/b.ess" has the backup "a.ess.d/b.bak". The
// editor's backup question, the document and the command-line tool must agree on
// these names, so all of them call these functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "savefile/FileSystem.h"

namespace quellhart {

// The path with every occurrence of ".ess" in its last component replaced by
// `extension` (case-sensitive), or nothing when that name holds no ".ess": the
// sibling would then be the save itself, and deleting the stale work file would
// delete the save.
std::optional<std::string> SiblingPathFor(std::string_view savePath, std::string_view extension);

inline std::optional<std::string> WorkPathFor(std::string_view savePath) {
    return SiblingPathFor(savePath, ".out");
}
inline std::optional<std::string> BackupPathFor(std::string_view savePath) {
    return SiblingPathFor(savePath, ".bak");
}
inline std::optional<std::string> PreviousPathFor(std::string_view savePath) {
    return SiblingPathFor(savePath, ".prev");
}
inline std::optional<std::string> SwapPathFor(std::string_view savePath) {
    return SiblingPathFor(savePath, ".swap");
}
// The folder of the save's earlier versions (SaveHistory.h).
inline std::optional<std::string> HistoryPathFor(std::string_view savePath) {
    return SiblingPathFor(savePath, ".history");
}

// Where two saves' sibling names meet ("p.out.bak" is the backup of "p.out.ess" and
// the work file of "p.ess.bak"), a line saying so, naming the other save found in the
// folder; empty when none does. Neither save's commit or Open may then touch the
// shared name: it may hold the other save's only backup.
std::string SiblingOfAnotherSave(FileSystem& files, std::string_view savePath);

// Where the name of a sibling a commit or restore needs would be longer than file
// systems allow (255 bytes, when the save's own name keeps within them), a line
// naming it; empty when all fit. A commit checks before it makes anything, rather
// than failing half-way at the first name that does not fit. (The folder of versions
// is not needed: a commit without it goes through, and says so.)
std::string SiblingNameTooLong(std::string_view savePath);

// Where the backup's name holds something that is no file (a folder, a FIFO, a device,
// or a link to one), a line naming it: the commit would replace it, or fail half-way.
// Empty when there is none, or a file.
std::string BackupNameInTheWay(FileSystem& files, std::string_view savePath);

// Whether the file open as `file` begins as every save does. A file under a sibling
// name that does not (and is not an empty work file, stopped before its first write)
// is none the program left there: it is a file of the user's own.
bool BeginsAsASave(FileSystem& files, FileHandle file);

// Whether the save has a backup that a commit would replace: a regular file (or a
// link to one) under the backup name. A folder of that name is not a backup.
bool HasBackup(std::string_view savePath, FileSystem& files = SystemFileSystem());

}  // namespace quellhart
