// map-or-read FILE [ROUNDS]: what the load's scan of a whole save costs read into a
// buffer of the program's (256 KiB reads, as the loader makes them) against read
// through a memory map of the file (plain, and with the pages mapped in advance),
// each scanning every byte once with the loader's search for a tag. Medians of
// the rounds, in milliseconds, the file in the page cache. The map saves the copy
// into the program but pays a page fault for every few pages instead (how many
// depends on the size of the pages the system keeps the file in: a file copied by
// `cp` is held in small ones). Last, the scan as an editable load makes it,
// fingerprinting every byte as it passes: read in, and through 2 MiB windows of a map.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "savefile/SaveFingerprint.h"
#include "savefile/SaveInput.h"

namespace {

constexpr size_t kChunk = 256 << 10;

// The loader's own search, going on after each hit to the end: every byte is looked
// at, as by the load of a save whose player record is at its end.
size_t Scan(const char* bytes, size_t count) {
    size_t hits = 0;
    for (int at = 0, found;
         (found = quellhart::FindTagIn(bytes + at, int(count) - at, 0x424F4C47 /* GLOB */)) >= 0;
         at += found + 1)
        ++hits;
    return hits;
}

// `length` bytes of the file from `from` on, mapped to be read through once; null
// where they cannot be mapped.
const char* MapToScan(int fd, size_t from, size_t length, int flags = 0) {
    void* map = ::mmap(nullptr, length, PROT_READ, MAP_SHARED | flags, fd, off_t(from));
    if (map == MAP_FAILED) return nullptr;
    ::madvise(map, length, MADV_SEQUENTIAL);
    return static_cast<const char*>(map);
}

void Unmap(const char* bytes, size_t length) { ::munmap(const_cast<char*>(bytes), length); }

double Milliseconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: map-or-read FILE [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    const int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    const size_t size = size_t(st.st_size);
    size_t found = 0;
    std::vector<char> buffer(kChunk);
    const auto read = [&] {
        for (size_t at = 0; at < size;) {
            const ssize_t got = ::pread(fd, buffer.data(), kChunk, off_t(at));
            if (got <= 0) break;
            found += Scan(buffer.data(), size_t(got));
            at += size_t(got);
        }
    };
    const auto mapped = [&](int flags) {
        return [&, flags] {
            const char* bytes = MapToScan(fd, 0, size, flags);
            if (!bytes) return;
            for (size_t at = 0; at < size; at += kChunk)
                found += Scan(bytes + at, std::min(kChunk, size - at));
            Unmap(bytes, size);
        };
    };
    // A window of the file mapped at a time, so that no more than it counts in the
    // program's resident memory.
    constexpr size_t kWindow = 4 << 20;
    const auto windowed = [&] {
        for (size_t from = 0; from < size; from += kWindow) {
            const size_t length = std::min(kWindow, size - from);
            const char* bytes = MapToScan(fd, from, length);
            if (!bytes) return;
            for (size_t at = 0; at < length; at += kChunk)
                found += Scan(bytes + at, std::min(kChunk, length - at));
            Unmap(bytes, length);
        }
    };
    // An editable load fingerprints every byte as its scan passes: the same scan, each
    // part's bytes also hashed, read in and through 2 MiB windows of a map.
    const auto fingerprinted = [&](bool throughAMap) {
        return [&, throughAMap] {
            quellhart::Fingerprint fingerprint;
            constexpr size_t kMapWindow = 2 << 20;
            for (size_t from = 0; from < size; from += kMapWindow) {
                const size_t length = std::min(kMapWindow, size - from);
                const char* bytes = throughAMap ? MapToScan(fd, from, length) : nullptr;
                if (throughAMap && !bytes) return;
                for (size_t at = 0; at < length; at += kChunk) {
                    const size_t part = std::min(kChunk, length - at);
                    if (!throughAMap) {
                        if (::pread(fd, buffer.data(), part, off_t(from + at)) != ssize_t(part))
                            return;
                    }
                    const char* here = throughAMap ? bytes + at : buffer.data();
                    fingerprint.Add(here, part);
                    found += Scan(here, part);
                }
                if (bytes) Unmap(bytes, length);
            }
            found += fingerprint.Value() != 0;
        };
    };
    std::vector<double> reads, maps, populated, windows, fingerprintedRead, fingerprintedMapped;
    read();  // the file into the page cache
    for (int round = 0; round < rounds; ++round) {
        reads.push_back(Milliseconds(read));
        maps.push_back(Milliseconds(mapped(0)));
        populated.push_back(Milliseconds(mapped(MAP_POPULATE)));
        windows.push_back(Milliseconds(windowed));
        fingerprintedRead.push_back(Milliseconds(fingerprinted(false)));
        fingerprintedMapped.push_back(Milliseconds(fingerprinted(true)));
    }
    std::printf(
        "read %.1f ms, map %.1f ms, map populated %.1f ms, 4 MiB windows %.1f ms; "
        "fingerprinted as an editable load: read %.1f ms, mapped %.1f ms (%zu)\n",
        Median(reads), Median(maps), Median(populated), Median(windows), Median(fingerprintedRead),
        Median(fingerprintedMapped), found);
    return 0;
}
