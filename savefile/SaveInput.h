// The document's read-only view of the save file: a binary input with the classic
// stream state the loader's outcomes are defined by, and a read-ahead buffer of its
// own so that the loader's searches and its back-and-forth reads ("move back 4
// bytes", "read the candidate at the tag just found") cost no second read of the file.
//
// Classic state: a read that delivers fewer bytes than asked leaves the input failed;
// while failed, reads deliver nothing and seeking does nothing. Only Clear (and a
// found tag) ends the failure. Seeking past the end is allowed; the next read fails.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "savefile/FileSystem.h"
#include "savefile/SaveFingerprint.h"

namespace quellhart {

// Offset within the first `count` bytes of `bytes` of the first whole occurrence of
// `tag`, or -1.
int FindTagIn(const char* bytes, int count, uint32_t tag);

class SaveInput {
public:
    explicit SaveInput(FileSystem& files);
    ~SaveInput() { Close(); }
    SaveInput(const SaveInput&) = delete;
    SaveInput& operator=(const SaveInput&) = delete;

    // Opens a regular file; anything else, or a file that cannot be described, fails.
    FileStatus Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != kNoFile; }
    // Closes the file but keeps what it was opened as: between a load and a commit
    // nothing of the editor's holds the save, so that a game can rename another file
    // over it, rewrite it or open it for itself alone (Windows refuses all three while
    // another handle is open on the file).
    void LetGo();
    bool IsLetGo() const { return letGo_; }
    // Opens `path` again after LetGo, still taken as the file it was opened as: the
    // caller checks that it is that file (FileInfo::SameFile) before relying on it. A
    // failure leaves it let go.
    FileStatus TakeAgain(const std::string& path);
    // The open file, for the document's lock and identity checks.
    FileHandle Handle() const { return file_; }
    // The file as it was when opened (or last redescribed).
    const FileInfo& OpenedAs() const { return openedAs_; }
    // The file as it is now, its bytes known to be those read: what it is taken as
    // from here on (its times and access, after an attribute changed).
    void Redescribe(const FileInfo& now) { openedAs_ = now; }

    bool Good() const { return IsOpen() && !failed_; }
    explicit operator bool() const { return Good(); }
    void Clear() { failed_ = false; }
    // The first read from the file that failed since it was opened, with its cause; a
    // failed read delivers nothing, and the input fails.
    const FileStatus& ReadFailure() const { return readFailure_; }

    int64_t Size() const { return size_; }
    // How many bytes have been read from the file since it was opened.
    int64_t BytesReadFromFile() const { return bytesReadFromFile_; }
    // The current offset, or -1 while failed.
    int64_t Tell() const { return Good() ? position_ : -1; }
    int64_t Remaining() const { return Good() ? size_ - position_ : 0; }

    SaveInput& Seek(int64_t offset);
    SaveInput& Skip(int64_t bytes) { return Seek(position_ + bytes); }

    // Reads `count` bytes; returns how many were delivered, failing on a short read.
    size_t Read(void* into, size_t count);
    template <typename T>
    bool ReadValue(T& value) {
        return Read(&value, sizeof value) == sizeof value;
    }

    // From now on every byte read from the file, from its start on, goes into a
    // fingerprint of the file as it was opened, as it passes: the loader's forward
    // scan pays for no second read.
    void StartFingerprint();
    // Reads what the scan left out, to the size the file had when opened, and gives
    // the fingerprint of those bytes. A file that ends sooner fails.
    FileStatus FinishFingerprint(uint64_t& value);

    // Moves forward to the first whole occurrence of `tag` at or after the current
    // offset and returns its offset, clearing a failure. Without one, the input is
    // left failed at the end of the file.
    std::optional<int64_t> FindTag(uint32_t tag);

private:
    // Makes the buffer start at `offset`, keeping bytes it already holds from there on.
    void FillFrom(int64_t offset);
    // Reads from the file itself; a read error delivers nothing.
    size_t ReadFile(int64_t offset, char* into, size_t count);
    int64_t BufferEnd() const { return bufferStart_ + int64_t(bufferLength_); }
    // Adds the bytes read at `offset` that follow on those already fingerprinted.
    void Fingerprinted(int64_t offset, const char* bytes, size_t count);

    FileSystem& files_;
    FileHandle file_ = kNoFile;
    bool letGo_ = false;
    FileInfo openedAs_;
    int64_t size_ = 0;
    int64_t position_ = 0;
    bool failed_ = false;
    FileStatus readFailure_;
    std::vector<char> buffer_;
    int64_t bufferStart_ = 0;
    size_t bufferLength_ = 0;
    int64_t bytesReadFromFile_ = 0;
    std::unique_ptr<Fingerprint> fingerprint_;
    int64_t fingerprintedTo_ = 0;
};

}  // namespace quellhart
