#include "savefile/WholeSaveNote.h"

namespace quellhart {
namespace {

std::string NoteFor(const FileInfo& file) {
    return "loads whole: size " + std::to_string(file.size) + ", modified " +
           std::to_string(file.modifiedNs);
}

}  // namespace

void NoteLoadsWhole(FileSystem& files, FileHandle file, const FileInfo& whole) {
    files.SetNote(file, NoteFor(whole));
}

bool NotedLoadsWhole(FileSystem& files, const std::string& path) {
    std::string note;
    if (!files.ReadNote(path, note).Ok()) return false;
    FileInfo now;
    if (!files.DescribePath(path, true, now).Ok() || now.kind != FileKind::kRegular) return false;
    return note == NoteFor(now);
}

}  // namespace quellhart
