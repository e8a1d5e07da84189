// The loader's searches must find exactly what a scan in 1024-byte windows with a
// 4-byte overlap finds. ReferenceLoad below is that scan, written out step by step
// over a classic byte stream, and every save here is loaded both ways.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "savefile/SaveErrors.h"
#include "tests/support/LoadedSave.h"

namespace quellhart {
namespace {

using test::SaveBuilder;

// A byte stream with the classic state: a short read fails it, seeking does not
// clear the failure, and a failed stream delivers nothing.
class ClassicStream {
public:
    explicit ClassicStream(const std::string& bytes) : bytes_(bytes) {}
    size_t Read(char* into, size_t n) {
        if (failed_) return 0;
        const size_t got = pos_ < bytes_.size() ? std::min(n, bytes_.size() - pos_) : 0;
        if (got) std::memcpy(into, bytes_.data() + pos_, got);
        pos_ += got;
        failed_ = got < n;
        return got;
    }
    template <typename T>
    bool Read(T& value) {
        return Read(reinterpret_cast<char*>(&value), sizeof value) == sizeof value;
    }
    void Seek(int64_t at) {
        if (!failed_) pos_ = size_t(at);
    }
    int64_t Tell() const { return failed_ ? -1 : int64_t(pos_); }
    bool Good() const { return !failed_; }
    void Clear() { failed_ = false; }
    int64_t Remaining() const { return int64_t(bytes_.size()) - int64_t(pos_); }

private:
    const std::string& bytes_;
    size_t pos_ = 4;  // Open has read the magic
    bool failed_ = false;
};

struct Outcome {
    std::string error;  // empty on success
    int globCount = 0;
    int32_t firstGlob = -1;
    int32_t player = -1;
    bool chargen = false;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << "{" << o.error << ", globs " << o.globCount << " at " << o.firstGlob << ", player "
              << o.player << ", chargen " << o.chargen << "}";
}

Outcome ReferenceLoad(const std::string& bytes) {
    ClassicStream s(bytes);
    Outcome out;
    auto fail = [&](const char* text) { return Outcome{text}; };
    char window[1024];
    auto lengthOk = [&](int32_t len, int32_t max) {
        return len >= 0 && len <= max && len <= s.Remaining();
    };

    s.Seek(0);
    while (true) {
        const int64_t start = s.Tell();
        const size_t n = s.Read(window, sizeof window);
        const int off = CSaveGame::FindTag(window, int(n), kTagGLOB);
        if (off >= 0) {
            s.Clear();
            s.Seek(start + off);
            break;
        }
        if (n == sizeof window) {
            s.Seek(start + 1020);
            continue;
        }
        return fail(errors::kNoGlobSection);
    }
    while (out.globCount < 1000) {
        const int64_t at = s.Tell();
        uint32_t tag;
        if (!s.Read(tag) || tag != kTagGLOB) break;
        char skip[12];
        int32_t len;
        std::vector<char> data;
        bool ok = s.Read(skip, 12) == 12 && s.Read(skip, 4) == 4 && s.Read(len) &&
                  lengthOk(len, INT32_MAX);
        if (ok) {
            data.resize(size_t(len));
            ok = s.Read(data.data(), size_t(len)) == size_t(len);
        }
        ok = ok && s.Read(skip, 4) == 4 && s.Read(len) && lengthOk(len, INT32_MAX);
        if (ok) {
            data.resize(size_t(len));
            ok = s.Read(data.data(), size_t(len)) == size_t(len);
        }
        ok = ok && s.Read(skip, 4) == 4 && s.Read(len) && lengthOk(len, 4);
        if (ok) ok = s.Read(skip, size_t(len)) == size_t(len);
        if (!ok) return fail(errors::kGlobExtraction);
        if (out.globCount == 0) out.firstGlob = int32_t(at);
        ++out.globCount;
    }
    uint32_t tag = 0;
    s.Seek(s.Tell() - 4);
    if (s.Read(tag) && tag == kTagCLAS) {
        char skip[12];
        s.Read(skip, 12);
        if (s.Read(tag) && tag == kTagNAME) {
            char name[18];
            s.Read(skip, 4);
            if (s.Read(name, 18) == 18)
                out.chargen = std::memcmp(name, "NEWCLASSID_CHARGEN", 18) == 0;
        }
    }
    s.Seek(s.Tell() - 4);
    if (!s.Good()) return fail(errors::kNoPlayerData);

    std::vector<char> name;
    bool haveCandidate = false;
    int64_t raw = 0;
    uint32_t nameTag = 0;
    while (!(haveCandidate && name.size() >= 7 && std::memcmp(name.data(), "player", 7) == 0)) {
        const int64_t start = s.Tell();
        const size_t n = s.Read(window, sizeof window);
        const int off = CSaveGame::FindTag(window, int(n), kTagNPC_);
        if (off < 0) {
            if (!s.Good()) return fail(errors::kNoPlayerData);
            s.Seek(start + int64_t(n) - 4);
            continue;
        }
        s.Clear();
        raw = start + off;
        s.Seek(raw);
        char skip[12];
        int32_t len;
        bool ok = s.Read(skip, 4) == 4 && s.Read(skip, 12) == 12 && s.Read(nameTag) &&
                  s.Read(len) && lengthOk(len, INT32_MAX);
        if (ok) {
            name.resize(size_t(len));
            ok = s.Read(name.data(), size_t(len)) == size_t(len);
        }
        if (!ok) return fail(errors::kPlayerSearch);
        haveCandidate = true;
    }
    bool ok = nameTag == kTagNAME;
    for (int i = 1; ok && i < 7; ++i) {
        int32_t len;
        ok = s.Read(tag) && tag == kPlayerSubrecordTags[i] && s.Read(len) &&
             lengthOk(len, INT32_MAX);
        std::vector<char> data(ok ? size_t(len) : 0);
        ok = ok && s.Read(data.data(), data.size()) == data.size();
    }
    if (!ok) return fail(errors::kPlayerExtraction);
    out.player = int32_t(raw);
    return out;
}

class WindowSearchTest : public test::LoadedSaveTest {
protected:
    Outcome Load(const SaveBuilder& save) {
        Outcome out;
        if (!OpenAndLoad(save)) {
            out.error = doc->GetErrorText();
            return out;
        }
        out.globCount = doc->GlobCount();
        out.firstGlob = doc->Glob(0).rawAddress;
        out.player = doc->PlayerRawAddress();
        out.chargen = doc->HasChargenClass();
        return out;
    }
    void ExpectSameAsWindows(const SaveBuilder& save, const std::string& what) {
        EXPECT_EQ(Load(save), ReferenceLoad(save.Bytes())) << what;
    }
};

// Offsets around the end of the first three windows (1024, 2044, 3064).
std::vector<size_t> BoundaryOffsets() {
    std::vector<size_t> offsets;
    for (size_t window = 0; window < 3; ++window)
        for (size_t at = 1019; at <= 1025; ++at) offsets.push_back(at + 1020 * window);
    return offsets;
}

TEST_F(WindowSearchTest, GlobTagAcrossWindowBoundaries) {
    for (size_t at : BoundaryOffsets()) {
        SaveBuilder b;
        b.Raw("TES3").PadTo(at).Glob("g", 1.0f).Player();
        const Outcome got = Load(b);
        EXPECT_EQ(got.firstGlob, int32_t(at));
        EXPECT_EQ(got, ReferenceLoad(b.Bytes())) << "GLOB at " << at;
    }
}

TEST_F(WindowSearchTest, PlayerTagAcrossWindowBoundaries) {
    for (size_t at : BoundaryOffsets()) {
        for (size_t runEnd : {size_t(4), size_t(1000)}) {
            SaveBuilder b;
            b.Raw("TES3").PadTo(runEnd).Glob("g", 1.0f).Filler(24);
            const size_t playerAt = b.Offset() + at;
            b.PadTo(playerAt).Player();
            const Outcome got = Load(b);
            EXPECT_EQ(got.player, int32_t(playerAt));
            EXPECT_EQ(got, ReferenceLoad(b.Bytes())) << "NPC_ at " << playerAt;
        }
    }
}

TEST_F(WindowSearchTest, TagsAcrossTheInputsReadAheadBuffer) {
    constexpr size_t kBuffer = 256 << 10;
    for (size_t at : {kBuffer - 3, kBuffer - 2, kBuffer, kBuffer + 1, 2 * kBuffer - 3}) {
        SaveBuilder b;
        b.Raw("TES3").PadTo(at).Glob("g", 1.0f).Filler(24);
        b.PadTo(at + kBuffer).Npc("guard").PadTo(at + kBuffer + 100).Player();
        ExpectSameAsWindows(b, "tags at " + std::to_string(at));
        EXPECT_EQ(doc->Glob(0).rawAddress, int32_t(at));
        EXPECT_EQ(doc->PlayerRawAddress(), int32_t(at + kBuffer + 100));
    }
}

TEST_F(WindowSearchTest, NpcOverlappingARejectedCandidatesHeaderIsSkipped) {
    // A candidate whose 8 header bytes hold "NPC_": the search resumes after the
    // candidate's NAME data, so that inner tag is never a candidate.
    SaveBuilder b;
    b.Header().Glob("g", 1.0f);
    const size_t guardAt = b.Offset();
    b.Record("NPC_", {test::TextSub("NAME", "guard")}, "xxNPC_xx");
    b.Player();
    const Outcome got = Load(b);
    EXPECT_GT(got.player, int32_t(guardAt));
    EXPECT_EQ(got, ReferenceLoad(b.Bytes()));

    // A candidate whose NAME data holds a whole player record is passed over too.
    SaveBuilder nested;
    nested.Header().Glob("g", 1.0f);
    SaveBuilder inner;
    inner.Player();
    nested.Record("NPC_", {{"NAME", "guard" + inner.Bytes()}}).Filler(30).Player();
    ExpectSameAsWindows(nested, "player inside a rejected candidate's NAME");
}

TEST_F(WindowSearchTest, SeededRandomChangesLoadAsTheWindowsDo) {
    std::mt19937 random(20261207);
    SaveBuilder base;
    base.Header(900).Glob("Day", 1).Glob("Month", 2).Clas("NEWCLASSID_CHARGEN").Npc("guard");
    base.Filler(700).Player().Filler(300);
    for (int round = 0; round < 300; ++round) {
        std::string bytes = base.Bytes();
        const int changes = 1 + int(random() % 4);
        for (int c = 0; c < changes; ++c) {
            const size_t at = 4 + random() % (bytes.size() - 4);
            switch (random() % 3) {
                case 0:
                    bytes[at] = char(random());
                    break;
                case 1:
                    bytes.replace(at, 0, random() % 2 ? "GLOB" : "NPC_");
                    break;
                default:
                    bytes.erase(at, 1 + random() % 40);
                    break;
            }
        }
        SaveBuilder mutated;
        mutated.Raw(bytes);
        ExpectSameAsWindows(mutated, "round " + std::to_string(round));
    }
}

}  // namespace
}  // namespace quellhart
