// exchange-limit A B: the least a restore of a backup can cost, done as plainly as a
// program can: the two names exchanged in one step and their folder synced. No check
// of either file: what `quellhart-cli restore` is measured against.
#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <unistd.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: exchange-limit A B\n");
        return 2;
    }
    if (::renameat2(AT_FDCWD, argv[1], AT_FDCWD, argv[2], RENAME_EXCHANGE) != 0) {
        std::perror("renameat2");
        return 1;
    }
    std::string folder = argv[1];
    const size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? "." : folder.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        std::perror(folder.c_str());
        return 1;
    }
    ::close(fd);
    return 0;
}
