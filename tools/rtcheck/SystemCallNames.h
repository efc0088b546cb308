#pragma once

namespace rtcheck {

// "system call 39 (getpid)" for a number the C library's headers name, else
// "system call N": a string the library keeps, made without allocating, so
// that a signal handler can name what it caught.
const char* SystemCallName(long number);

}  // namespace rtcheck
