// The file layer in memory does what the system's does wherever the document relies
// on it, and a commit through it ends as one on disk does.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>

#include "savefile/FileSystemMemory.h"
#include "savefile/SaveGame.h"
#include "tests/support/SaveBuilder.h"
#include "tests/support/TempDir.h"

namespace quellhart {
namespace {

FileHandle Created(FileSystem& files, const std::string& path, const std::string& bytes) {
    FileHandle file = kNoFile;
    EXPECT_EQ(files.CreateNew(path, file), FileError::kNone) << path;
    EXPECT_EQ(files.WriteAt(file, 0, bytes.data(), bytes.size()), FileError::kNone);
    return file;
}

std::string Read(FileSystem& files, const std::string& path) {
    FileHandle file = kNoFile;
    if (files.OpenForReading(path, file) != FileError::kNone) return "(none)";
    char bytes[64];
    size_t got = 0;
    files.ReadAt(file, 0, bytes, sizeof bytes, got);
    files.Close(file);
    return {bytes, got};
}

std::uint64_t IndexOf(FileSystem& files, const std::string& path) {
    FileInfo info;
    return files.DescribePath(path, false, info) == FileError::kNone ? info.index : 0;
}

// Each case runs on the system's files in a fresh folder and on files in memory. An
// exchange or a link that the system's files cannot do (Windows, FAT) ends the case
// there; in memory both must work.
using Name = std::function<std::string(const char*)>;
struct Case {
    const char* what;
    std::function<void(FileSystem&, const Name&, bool inMemory)> check;
};
bool Unsupported(const FileStatus& result, bool inMemory) {
    return result == FileError::kNotSupported && !inMemory;
}

const Case kCases[] = {
    {"an exclusive create meets the existing name",
     [](FileSystem& files, const Name& at, bool) {
         files.Close(Created(files, at("a"), "one"));
         FileHandle again = kNoFile;
         EXPECT_EQ(files.CreateNew(at("a"), again), FileError::kExists);
         EXPECT_EQ(Read(files, at("a")), "one");
     }},
    {"a lock excludes another handle until its own is closed",
     [](FileSystem& files, const Name& at, bool) {
         files.Close(Created(files, at("a"), "one"));
         FileHandle first = kNoFile, second = kNoFile;
         ASSERT_EQ(files.OpenForReading(at("a"), first), FileError::kNone);
         ASSERT_EQ(files.OpenForReading(at("a"), second), FileError::kNone);
         EXPECT_EQ(files.TryLock(first), FileError::kNone);
         EXPECT_EQ(files.TryLock(second), FileError::kLocked);
         files.Close(first);
         EXPECT_EQ(files.TryLock(second), FileError::kNone);
         files.Close(second);
     }},
    {"an exchange swaps the files, and an open handle keeps its file",
     [](FileSystem& files, const Name& at, bool inMemory) {
         const FileHandle a = Created(files, at("a"), "one");
         files.Close(Created(files, at("b"), "two"));
         const std::uint64_t indexA = IndexOf(files, at("a"));
         const FileStatus exchanged = files.Exchange(at("a"), at("b"));
         if (Unsupported(exchanged, inMemory)) return (void)files.Close(a);
         ASSERT_EQ(exchanged, FileError::kNone);
         EXPECT_EQ(Read(files, at("a")), "two");
         EXPECT_EQ(IndexOf(files, at("b")), indexA);
         FileInfo held;
         ASSERT_EQ(files.Describe(a, held), FileError::kNone);
         EXPECT_EQ(held.index, indexA);
         files.Close(a);
     }},
    {"a rename replaces the target; a link is the same file under two names",
     [](FileSystem& files, const Name& at, bool inMemory) {
         files.Close(Created(files, at("a"), "one"));
         files.Close(Created(files, at("b"), "two"));
         const FileStatus linked = files.Link(at("a"), at("c"));
         if (Unsupported(linked, inMemory)) return;
         ASSERT_EQ(linked, FileError::kNone);
         EXPECT_EQ(files.Link(at("a"), at("b")), FileError::kExists);
         ASSERT_EQ(files.Rename(at("a"), at("b")), FileError::kNone);
         EXPECT_EQ(Read(files, at("a")), "(none)");
         EXPECT_EQ(IndexOf(files, at("b")), IndexOf(files, at("c")));
         ASSERT_EQ(files.Remove(at("b")), FileError::kNone);
         EXPECT_EQ(Read(files, at("c")), "one");
         EXPECT_EQ(files.Remove(at("b")), FileError::kNotFound);
     }},
    {"a note stays with its file through a rename and is given to no other",
     [](FileSystem& files, const Name& at, bool inMemory) {
         const FileHandle a = Created(files, at("a"), "one");
         const FileHandle b = Created(files, at("b"), "two");
         const FileStatus noted = files.SetNote(a, "whole");
         if (Unsupported(noted, inMemory)) return (void)(files.Close(a), files.Close(b));
         ASSERT_EQ(noted, FileError::kNone);
         FileInfo like;
         ASSERT_EQ(files.Describe(a, like), FileError::kNone);
         EXPECT_EQ(files.CopyAccess(b, a, like), FileError::kNone);
         files.Close(a);
         files.Close(b);
         ASSERT_EQ(files.Rename(at("a"), at("c")), FileError::kNone);
         std::string note;
         EXPECT_EQ(files.ReadNote(at("c"), note), FileError::kNone);
         EXPECT_EQ(note, "whole");
         EXPECT_EQ(files.ReadNote(at("b"), note), FileError::kNotFound);
         EXPECT_EQ(files.ReadNote(at("a"), note), FileError::kNotFound);
     }},
    // The versions are named by it, and a save is shared by the editions of every system.
    {"a file's times count from 1970, as the clock does",
     [](FileSystem& files, const Name& at, bool) {
         const FileHandle a = Created(files, at("a"), "one");
         FileInfo info;
         ASSERT_EQ(files.Describe(a, info), FileError::kNone);
         files.Close(a);
         const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                      std::chrono::system_clock::now().time_since_epoch())
                                      .count();
         constexpr std::int64_t kMinute = 60'000'000'000;
         EXPECT_LT(std::llabs(info.modifiedNs - now), kMinute) << info.modifiedNs;
         if (info.changedNs != 0) {
             EXPECT_LT(std::llabs(info.changedNs - now), kMinute);
         }
     }},
};

TEST(MemoryFiles, DoWhatTheSystemsFilesDo) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        c.check(
            SystemFileSystem(), [&](const char* name) { return dir.File(name); }, false);
        MemoryFileSystem memory;
        c.check(
            memory, [](const char* name) { return std::string(name); }, true);
    }
}

TEST(MemoryFiles, ACommitThereWritesWhatOneOnDiskWrites) {
    const std::string old = test::StandardSave().Bytes();
    const auto commit = [&](FileSystem& files, const std::string& path) {
        CSaveGame doc(files);
        ASSERT_TRUE(doc.Open(path) && doc.Load()) << doc.GetErrorText();
        doc.Glob(1).value = 42.5f;
        doc.Glob(1).modified = true;
        PlayerRecord record = doc.Player();
        record[PlayerRecord::FNAM] = Subrecord::FromText("Wanderer");
        doc.SetPlayerData(record);
        ASSERT_TRUE(doc.Commit()) << doc.GetErrorText();
    };
    test::TempDir dir;
    test::StandardSave().WriteTo(dir.File("s.ess"));
    commit(SystemFileSystem(), dir.File("s.ess"));
    MemoryFileSystem memory;
    memory.Put("s.ess", old);
    commit(memory, "s.ess");
    EXPECT_EQ(memory.Contents("s.ess"), test::ReadFileBytes(dir.File("s.ess")));
    EXPECT_EQ(memory.Contents("s.bak"), old);
    EXPECT_FALSE(memory.Contents("s.out"));
    EXPECT_FALSE(memory.Contents("s.prev"));
    // The new save is held open by nobody: a second document may commit it.
    commit(memory, "s.ess");
    EXPECT_NE(memory.Contents("s.bak"), old);
}

}  // namespace
}  // namespace quellhart
