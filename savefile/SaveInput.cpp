#include "savefile/SaveInput.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "savefile/SaveFormat.h"

namespace quellhart {
namespace {

// Large enough that a search reads in few calls, small enough to stay in the cache
// while it is searched.
constexpr size_t kBufferBytes = 256 << 10;

}  // namespace

int FindTagIn(const char* bytes, int count, uint32_t tag) {
    const char first = char(tag & 0xFF);
    const char* end = bytes + std::max(count, 0);
    for (const char* p = bytes; end - p >= kTagSize; ++p) {
        p = static_cast<const char*>(std::memchr(p, first, size_t(end - p - (kTagSize - 1))));
        if (!p) break;
        uint32_t word;
        std::memcpy(&word, p, sizeof word);
        if (word == tag) return int(p - bytes);
    }
    return -1;
}

SaveInput::SaveInput(FileSystem& files) : files_(files), buffer_(kBufferBytes) {}

FileStatus SaveInput::Open(const std::string& path) {
    Close();
    FileHandle file = kNoFile;
    if (FileStatus opened = files_.OpenForReading(path, file); !opened.Ok()) return opened;
    file_ = file;
    if (FileStatus described = files_.Describe(file_, openedAs_); !described.Ok()) {
        Close();
        return described;
    }
    size_ = openedAs_.size;
    return FileError::kNone;
}

void SaveInput::LetGo() {
    if (file_ == kNoFile) return;
    files_.Close(file_);
    file_ = kNoFile;
    letGo_ = true;
    // Nothing read before stays: the next reads are of the file taken again.
    position_ = bufferStart_ = 0;
    bufferLength_ = 0;
    failed_ = false;
    fingerprint_.reset();
    fingerprintedTo_ = 0;
}

FileStatus SaveInput::TakeAgain(const std::string& path) {
    if (!letGo_) return FileError::kFailed;
    FileHandle file = kNoFile;
    if (FileStatus opened = files_.OpenForReading(path, file); !opened.Ok()) return opened;
    file_ = file;
    letGo_ = false;
    readFailure_ = FileStatus();
    return FileError::kNone;
}

void SaveInput::Close() {
    if (file_ != kNoFile) files_.Close(file_);
    file_ = kNoFile;
    letGo_ = false;
    openedAs_ = FileInfo{};
    size_ = position_ = bufferStart_ = bytesReadFromFile_ = 0;
    bufferLength_ = 0;
    failed_ = false;
    readFailure_ = FileStatus();
    fingerprint_.reset();
    fingerprintedTo_ = 0;
}

SaveInput& SaveInput::Seek(int64_t offset) {
    if (Good() && offset >= 0) position_ = offset;
    return *this;
}

size_t SaveInput::ReadFile(int64_t offset, char* into, size_t count) {
    size_t got = 0;
    if (FileStatus read = files_.ReadAt(file_, offset, into, count, got); !read.Ok()) {
        got = 0;
        if (readFailure_.Ok()) readFailure_ = std::move(read);
    }
    bytesReadFromFile_ += int64_t(got);
    Fingerprinted(offset, into, got);
    return got;
}

void SaveInput::Fingerprinted(int64_t offset, const char* bytes, size_t count) {
    // Only up to the size the file had when opened: that is the save loaded.
    const int64_t end = std::min(offset + int64_t(count), size_);
    if (!fingerprint_ || offset > fingerprintedTo_ || end <= fingerprintedTo_) return;
    fingerprint_->Add(bytes + (fingerprintedTo_ - offset), size_t(end - fingerprintedTo_));
    fingerprintedTo_ = end;
}

void SaveInput::StartFingerprint() {
    fingerprint_ = std::make_unique<Fingerprint>();
    fingerprintedTo_ = 0;
    if (bufferStart_ == 0) Fingerprinted(0, buffer_.data(), bufferLength_);
}

FileStatus SaveInput::FinishFingerprint(uint64_t& value) {
    if (!fingerprint_) StartFingerprint();
    // The buffer holds what is read here no longer than the read.
    bufferStart_ = 0;
    bufferLength_ = 0;
    while (fingerprintedTo_ < size_) {
        const size_t want = size_t(std::min(size_ - fingerprintedTo_, int64_t(buffer_.size())));
        size_t got = 0;
        if (FileStatus read = files_.ReadAt(file_, fingerprintedTo_, buffer_.data(), want, got);
            !read.Ok())
            return read;
        if (got != want) return FileError::kFailed;  // the file was cut short meanwhile
        bytesReadFromFile_ += int64_t(got);
        Fingerprinted(fingerprintedTo_, buffer_.data(), got);
    }
    value = fingerprint_->Value();
    fingerprint_.reset();
    return FileError::kNone;
}

void SaveInput::FillFrom(int64_t offset) {
    size_t kept = 0;
    if (offset >= bufferStart_ && offset < BufferEnd()) {
        kept = size_t(BufferEnd() - offset);
        std::memmove(buffer_.data(), buffer_.data() + (offset - bufferStart_), kept);
    }
    bufferStart_ = offset;
    const size_t got =
        ReadFile(offset + int64_t(kept), buffer_.data() + kept, buffer_.size() - kept);
    bufferLength_ = kept + got;
}

size_t SaveInput::Read(void* into, size_t count) {
    if (!Good()) return 0;
    auto* out = static_cast<char*>(into);
    size_t delivered = 0;
    while (delivered < count && position_ < size_) {
        if (position_ < bufferStart_ || position_ >= BufferEnd()) {
            const size_t wanted = count - delivered;
            if (wanted >= buffer_.size()) {  // large copies skip the buffer
                const size_t got = ReadFile(position_, out + delivered, wanted);
                delivered += got;
                position_ += int64_t(got);
                if (got == 0) break;
                continue;
            }
            FillFrom(position_);
            if (position_ >= BufferEnd()) break;
        }
        const size_t available = size_t(BufferEnd() - position_);
        const size_t take = std::min(available, count - delivered);
        std::memcpy(out + delivered, buffer_.data() + (position_ - bufferStart_), take);
        delivered += take;
        position_ += int64_t(take);
    }
    if (delivered < count) failed_ = true;
    return delivered;
}

std::optional<int64_t> SaveInput::FindTag(uint32_t tag) {
    if (!IsOpen()) return std::nullopt;
    // A failed input searches nothing: its reads would deliver nothing.
    if (failed_) return std::nullopt;
    while (true) {
        if (position_ < bufferStart_ || BufferEnd() - position_ < kTagSize) {
            if (BufferEnd() >= size_ && position_ >= bufferStart_) break;
            FillFrom(position_);
            if (BufferEnd() - position_ < kTagSize) break;
        }
        const char* from = buffer_.data() + (position_ - bufferStart_);
        const int hit = FindTagIn(from, int(BufferEnd() - position_), tag);
        if (hit >= 0) {
            position_ += hit;
            return position_;
        }
        position_ = BufferEnd() - (kTagSize - 1);  // a tag's head may end the buffer
        if (BufferEnd() >= size_) break;
    }
    position_ = size_;
    failed_ = true;
    return std::nullopt;
}

}  // namespace quellhart
