// streaming-limit FROM TO: the least a commit of FROM can cost, done as plainly as a
// program can: one read of the save and one write of the new save in 1 MiB blocks,
// the system asked to start writing every 2 MiB written, and the new file synced.
// No scan, no check, no rename: what `quellhart-cli set` is measured against.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: streaming-limit FROM TO\n");
        return 2;
    }
    const int from = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    const int to = ::open(argv[2], O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (from < 0 || to < 0) {
        std::perror("open");
        return 1;
    }
    constexpr size_t kBlock = 1 << 20;
    constexpr off_t kWriteBack = 2 << 20;
    std::vector<char> block(kBlock);
    off_t written = 0, writeBackFrom = 0;
    for (ssize_t got; (got = ::read(from, block.data(), kBlock)) > 0;) {
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, block.data() + done, size_t(got - done));
            if (put < 0) {
                std::perror("write");
                return 1;
            }
            done += put;
        }
        written += got;
        if (written - writeBackFrom >= kWriteBack) {
            ::sync_file_range(to, writeBackFrom, written - writeBackFrom, SYNC_FILE_RANGE_WRITE);
            writeBackFrom = written;
        }
    }
    if (::fsync(to) != 0) {
        std::perror("fsync");
        return 1;
    }
    return ::close(to) == 0 && ::close(from) == 0 ? 0 : 1;
}
