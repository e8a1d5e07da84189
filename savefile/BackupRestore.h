// Putting the backup back: the save and its backup (".bak") swap names, so that the
// backup becomes the save and the save becomes the backup. A second restore undoes
// the first.
#pragma once

#include <string>

#include "savefile/FileSystem.h"
#include "savefile/SaveErrors.h"

namespace quellhart {

// Swaps the save at `savePath` and its backup. The backup must load as a save before
// anything is touched; a commit of the save must not be running. Where the file
// system can exchange two names in one step, both names hold a complete save at every
// moment. Returns false with `error` set, both files as they were and no file left
// behind, when the swap did not happen. `keep` is the number of versions kept by a
// stopped commit the restore finishes first.
// `note`, where given, receives what "Done" is followed by: that the save could not
// be locked, on a file system without locks.
bool RestoreBackup(const std::string& savePath, int keep, SaveError& error,
                   FileSystem& files = SystemFileSystem(), SaveError* note = nullptr);

}  // namespace quellhart
