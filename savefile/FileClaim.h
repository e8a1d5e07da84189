// Every operation that renames or removes one of a save's files claims it first: it
// opens the file by its name and takes the file's lock, and holds both until it is
// done with the name. Locks sit on files, not names, and a rename moves a file to
// another name with its lock; so a claim counts only when the name, once the lock
// is taken, still names the locked file. Whoever finds a file claimed leaves it be.
#pragma once

#include <string>

#include "savefile/FileSystem.h"

namespace quellhart {

// Whether `path` (not followed, if a link) still names the file open as `file`.
bool NameStillRefersTo(FileSystem& files, const std::string& path, FileHandle file);
// The same for a file described when it was opened: where a file renamed while open
// is no longer described in full through its handle (Wine gives its volume as 0).
bool NameStillRefersTo(FileSystem& files, const std::string& path, const FileInfo& file);
// The same, telling another file (or none) from a system that could not say; for
// kUnknown, the call that failed is kept in `unknown` when given.
enum class NameHolds { kThatFile, kAnother, kUnknown };
NameHolds WhatNameHolds(FileSystem& files, const std::string& path, const FileInfo& file,
                        FileStatus* unknown = nullptr);

// Takes the lock of the file open as `file` and checks that `path` still names it.
// kLocked, with the lock not kept, when another holds it or the name has moved on; the
// failed call's status where the system could not say. On a file system without
// locks only the name is checked, and `noLocks`, where given, says so.
FileStatus LockByName(FileSystem& files, const std::string& path, FileHandle file,
                      bool* noLocks = nullptr);

// One claimed name for as long as the object lives.
class FileClaim {
public:
    FileClaim(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}
    ~FileClaim() { Release(); }
    FileClaim(const FileClaim&) = delete;
    FileClaim& operator=(const FileClaim&) = delete;

    // Opens and locks the file under the name: kNone, or kNotFound (no file),
    // kNotRegularFile, kLocked (claimed by another operation), kFailed.
    FileStatus Take();
    void Release();
    FileHandle Handle() const { return file_; }
    // Taken by the name alone: the file system has no locks, and another program's
    // operation at the same moment is not kept out.
    bool WithoutLock() const { return withoutLock_; }

private:
    FileSystem& files_;
    std::string path_;
    FileHandle file_ = kNoFile;
    bool locked_ = false;
    bool withoutLock_ = false;
};

}  // namespace quellhart
