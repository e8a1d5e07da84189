#include "savefile/FileClaim.h"

namespace quellhart {

bool NameStillRefersTo(FileSystem& files, const std::string& path, FileHandle file) {
    FileInfo open;
    return files.Describe(file, open) == FileError::kNone && NameStillRefersTo(files, path, open);
}

bool NameStillRefersTo(FileSystem& files, const std::string& path, const FileInfo& file) {
    return WhatNameHolds(files, path, file) == NameHolds::kThatFile;
}

NameHolds WhatNameHolds(FileSystem& files, const std::string& path, const FileInfo& file) {
    FileInfo named;
    switch (files.DescribePath(path, false, named)) {
        case FileError::kNone:
            return named.SameFile(file) ? NameHolds::kThatFile : NameHolds::kAnother;
        case FileError::kNotFound:
            return NameHolds::kAnother;
        default:
            return NameHolds::kUnknown;
    }
}

FileError LockByName(FileSystem& files, const std::string& path, FileHandle file) {
    const FileError locked = files.TryLock(file);
    if (locked != FileError::kNone) return locked;
    if (NameStillRefersTo(files, path, file)) return FileError::kNone;
    files.Unlock(file);
    return FileError::kLocked;
}

FileError FileClaim::Take() {
    Release();
    // A link is never claimed through: what it points to is not this name's file.
    FileInfo named;
    const FileError described = files_.DescribePath(path_, false, named);
    if (described != FileError::kNone) return described;
    if (named.kind != FileKind::kRegular) return FileError::kNotRegularFile;
    const FileError opened = files_.OpenForReading(path_, file_);
    if (opened != FileError::kNone) {
        file_ = kNoFile;
        return opened;
    }
    const FileError locked = LockByName(files_, path_, file_);
    locked_ = locked == FileError::kNone;
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
