# Cross build for 64-bit Arm with Debian's cross toolchain
# (g++-aarch64-linux-gnu) and arm64 multiarch libraries; programs built here
# run under qemu-user, with the loader and libc of the arm64 multiarch
# packages that they name: both from one build. (qemu's -L would start the
# cross toolchain's loader with the multiarch libc, and forked children hang.)
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
