#pragma once

// Failure injection behind the system calls that change files (write, ftruncate, fsync, rename),
// linked in with --wrap. While armed, calls are counted; the call numbered failAt fails (a write
// first writes half its bytes, then the next write call reports a full disk), like a disk that
// fills or a device that errs at that moment. Everything else passes through untouched.

#include <cstddef>

namespace syscallfaults {

// Starts counting; failAt 0 only counts.
void Arm(std::size_t failAt);
// Stops counting and returns the number of calls seen.
std::size_t Disarm();

}  // namespace syscallfaults
