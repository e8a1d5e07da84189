#include "savefile/FileClaim.h"

#include <utility>

namespace quellhart {

bool NameStillRefersTo(FileSystem& files, const std::string& path, FileHandle file) {
    FileInfo open;
    return files.Describe(file, open) == FileError::kNone && NameStillRefersTo(files, path, open);
}

bool NameStillRefersTo(FileSystem& files, const std::string& path, const FileInfo& file) {
    return WhatNameHolds(files, path, file) == NameHolds::kThatFile;
}

NameHolds WhatNameHolds(FileSystem& files, const std::string& path, const FileInfo& file,
                        FileStatus* unknown) {
    FileInfo named;
    FileStatus described = files.DescribePath(path, false, named);
    switch (described.Kind()) {
        case FileError::kNone:
            return named.SameFile(file) ? NameHolds::kThatFile : NameHolds::kAnother;
        case FileError::kNotFound:
            return NameHolds::kAnother;
        default:
            if (unknown) *unknown = std::move(described);
            return NameHolds::kUnknown;
    }
}

FileStatus LockByName(FileSystem& files, const std::string& path, FileHandle file, bool* noLocks) {
    // Where the file system has no locks, nobody can claim a file: the name alone is
    // checked, and the operation goes on as if it held the claim.
    FileStatus locked = files.TryLock(file);
    if (!locked.Ok() && locked != FileError::kNotSupported) return locked;
    if (noLocks) *noLocks = locked == FileError::kNotSupported;
    FileInfo open;
    FileStatus unknown = files.Describe(file, open);
    if (unknown.Ok()) {
        const NameHolds holds = WhatNameHolds(files, path, open, &unknown);
        if (holds == NameHolds::kThatFile) return FileError::kNone;
        if (holds == NameHolds::kAnother) unknown = FileError::kLocked;
    }
    files.Unlock(file);
    return unknown;
}

FileStatus FileClaim::Take() {
    Release();
    withoutLock_ = false;
    // A link is never claimed through: what it points to is not this name's file.
    FileInfo named;
    if (FileStatus described = files_.DescribePath(path_, false, named); !described.Ok())
        return described;
    if (named.kind != FileKind::kRegular)
        return {FileError::kNotRegularFile,
                named.kind == FileKind::kLink ? "A link, not a file of its own"
                : named.kind == FileKind::kFolder
                    ? "A folder"
                    : "Not a regular file (a FIFO, a device or a socket)",
                path_};
    if (FileStatus opened = files_.OpenForReading(path_, file_); !opened.Ok()) {
        file_ = kNoFile;
        return opened;
    }
    FileStatus locked = LockByName(files_, path_, file_, &withoutLock_);
    locked_ = locked.Ok();
    if (!locked_) Release();
    return locked;
}

void FileClaim::Release() {
    if (file_ == kNoFile) return;
    // Unlocked before it is closed: a closed handle's number may already name
    // another file.
    if (locked_) files_.Unlock(file_);
    files_.Close(file_);
    file_ = kNoFile;
    locked_ = false;
}

}  // namespace quellhart
