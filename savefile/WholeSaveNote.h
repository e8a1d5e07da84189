// A save the program has seen to be whole carries a note saying so, with the size
// and modification time it had then: the old save a commit replaced (loaded, and
// compared byte for byte as it was copied) and the new save it wrote (from those
// bytes, its values read back). A restore that finds the note still matching the
// file puts it back without reading it whole; a file written to since (its size or
// time moved), one without a note (copied, or on a file system that keeps none) or
// with another's is loaded whole first, as ever.
//
// The note is a shortcut, not a proof: a file rewritten with its time put back passes
// it. What that costs is bounded: a restore is an exchange, and the next restore
// puts the save back.
#pragma once

#include <string>

#include "savefile/FileSystem.h"

namespace quellhart {

// Notes `file`, as described by `whole`. Where the note cannot be kept, nothing is
// lost but the shortcut: the failure is not reported.
void NoteLoadsWhole(FileSystem& files, FileHandle file, const FileInfo& whole);

// Whether the file `path` names carries a note that still matches it.
bool NotedLoadsWhole(FileSystem& files, const std::string& path);

}  // namespace quellhart
