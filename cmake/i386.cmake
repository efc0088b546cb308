# The 32-bit x86 build: the host's compiler with -m32 against Debian's i386
# multiarch packages (scripts/install-deps --i386). SSE2 arithmetic, not the
# x87 unit, so that doubles round as in the x86-64 build and the two builds'
# samples can be compared bit for bit. The binaries run on the build machine
# (natively, or through qemu where the kernel runs no 32-bit code: see
# scripts/install-deps), so nothing here makes CMake treat the build as a
# cross build.
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
# Reads only the i386 .pc files.
set(PKG_CONFIG_EXECUTABLE /usr/bin/i686-linux-gnu-pkg-config CACHE FILEPATH "pkg-config for i386")
# Tells the tests that the machine's own programs (LV2 hosts) cannot load
# what this build makes.
set(MORVEX_TARGET_ARCH i386)
