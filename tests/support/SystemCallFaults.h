// The C library calls the POSIX file layer makes to sync, lock and copy access,
// made to fail on demand and counted. Linked into a test program, the definitions
// take the place of the C library's for the whole program (they pass every call on
// to it unless told otherwise): a failure the layer must not swallow, or a sync it
// must not skip, is then seen at the system's door rather than at the layer's.
#pragma once

#include <string>

namespace quellhart::test::syscalls {

// Every later call of `name` ("fsync", "fdatasync", "flistxattr", "fsetxattr", "fchmod",
// "fchown", "flock", "renameat2", "link", "mkdir", "fdopendir") fails with `error` (an errno),
// until Reset; or only its `nth` call from now.
void Fail(const std::string& name, int error, int nth = 0);
// How many times `name` was called since Reset.
int Count(const std::string& name);
void Reset();

}  // namespace quellhart::test::syscalls
