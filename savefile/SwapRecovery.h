// A commit or a restore stopped half-way (the program killed, the power cut) leaves
// every version of the save whole, some under a name of their own: the old save under
// ".prev" (and ".out") during a commit's swap, under ".swap" during a restore without
// an exchange. Before a save is opened again, what such a stop left is put right, by
// what the names hold rather than by guessing:
// - ".prev" names the save the commit replaces. If the work file is that same file,
//   the commit had exchanged the names and is finished (the previous backup goes
//   among the versions, and the old save becomes the backup); if the save's name is empty and the
//   backup is that file, the commit had made the old save the backup and is finished (the new save,
//   whole and synced before the first rename, takes the save's name). ".prev" goes once the old
//   save has the save's or the backup's name.
// - ".swap" names the save a restore put aside: with the save's name empty the
//   restore is undone, with the backup's name empty it is finished; with both names
//   taken (a version's restore that had put the version in place) it goes into the
//   history as a version.
// Nothing is touched while an operation has any of these files claimed (a running
// commit claims its work file as well as the save).
#pragma once

#include <string>

#include "savefile/FileSystem.h"
#include "savefile/SaveErrors.h"

namespace quellhart {

// Callers first make sure that no other save in the folder shares these names
// (SiblingOfAnotherSave): whose they would be could not be told. `keep` is the number
// of versions the commit kept (0: the previous backup is replaced, as without
// versions). Returns what the Open has to say: where a stopped commit's old save stays
// because the history could not take the previous backup; empty for nothing.
SaveError FinishInterruptedSwaps(FileSystem& files, const std::string& savePath, int keep);

// Before a file is put back as the save (its backup, an earlier version): no other
// save in the folder shares the save's names, what a stop left is put right, and the
// file loads whole (or is noted as whole by the commit that made it a version, and not
// written to since). Otherwise false, with `error` (`refusal` for a shared name).
bool ReadyToPutBack(FileSystem& files, const std::string& savePath, const std::string& candidate,
                    int keep, const char* refusal, SaveError& error);

// Whether `candidate`, to be put back as the save, is the save itself under a second
// name (a stop between a link and an unlink, or a link made by hand): no earlier
// version, and a name whose claim would fail as if another program held the save.
// That name is removed, and `error` (`refusal`) says so. `save` is the save, claimed.
bool SecondNameOfSave(FileSystem& files, const std::string& candidate, FileHandle save,
                      const char* refusal, SaveError& error);

// When the save's name holds nothing: a line naming what lies beside it from such a
// stop, for the user to sort out; empty when there is nothing.
std::string LeftBesideMissingSave(FileSystem& files, const std::string& savePath);

}  // namespace quellhart
