// Durability for the commit: the work file's bytes must be on disk before it takes
// the save's place, or a power cut right after the swap could leave an empty save.
// The standard library flushes only into the operating system, so these two calls
// use the system's own.
#pragma once

#include <string>

namespace quellhart {

// Forces the file's data to disk. False when the file cannot be opened or synced.
bool SyncFileToDisk(const std::string& path);

// Forces the folder holding `path` to disk, so that renames in it are durable.
// Best effort: some file systems cannot sync a folder, and the renames have already
// happened.
void SyncFolderToDisk(const std::string& path);

}  // namespace quellhart
