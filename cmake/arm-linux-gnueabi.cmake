# Cross-build for the handheld's processor class: an ARM920T (ARMv4T,
# little-endian, no FPU, so every double is worked out in software).
#
# By default it uses Debian's arm-linux-gnueabi cross compiler (armel, soft
# float) and a root folder of unpacked armel packages (./setup arm makes one
# in build/arm-root) that holds SDL, SDL_ttf, SDL_mixer, libpng, GoogleTest
# and Google Benchmark and their libraries. The handheld's own SDK uses the
# same file with its compiler prefix and its sysroot (./setup package does
# so when they are named), linking statically as the console's programs do:
#
#   cmake -S . -B build/gp2x -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabi.cmake \
#     -DTARNO_ARM_PREFIX=/opt/gp2x/bin/arm-linux- -DTARNO_ARM_ROOT=/opt/gp2x/sysroot -DTARNO_STATIC=ON
#
# The executables then run on this machine under qemu-arm, which finds the
# ARM dynamic loader and libraries in the same root.
#
# The handheld's SDL has no X11 driver, so these builds are made without X
# support (TARNO_X11 off) unless told otherwise.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(TARNO_ARM_PREFIX "arm-linux-gnueabi-" CACHE STRING
  "The cross compiler's prefix, a path if it is not on PATH (g++ is appended)")
set(TARNO_ARM_ROOT "${CMAKE_CURRENT_LIST_DIR}/../build/arm-root" CACHE PATH
  "Root folder of the ARM headers and libraries (pkg-config files, CMake packages, loader)")
set(TARNO_ARM_SYSROOT "${TARNO_ARM_ROOT}" CACHE PATH
  "The compiler's --sysroot (the root folder itself unless the SDK keeps its C library apart)")
set(TARNO_ARM_FLAGS "-march=armv4t -mfloat-abi=soft" CACHE STRING
  "Code generation for the handheld's processor")
get_filename_component(TARNO_ARM_ROOT "${TARNO_ARM_ROOT}" ABSOLUTE)
set(TARNO_X11 OFF CACHE BOOL "Use the X display (the handheld has none)")

# try_compile runs in a tree of its own: hand the settings on to it.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES
  TARNO_ARM_PREFIX TARNO_ARM_ROOT TARNO_ARM_SYSROOT TARNO_ARM_FLAGS)

set(CMAKE_C_COMPILER "${TARNO_ARM_PREFIX}gcc")
set(CMAKE_CXX_COMPILER "${TARNO_ARM_PREFIX}g++")
set(CMAKE_C_FLAGS_INIT "${TARNO_ARM_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${TARNO_ARM_FLAGS}")

# The library folder of a multiarch root such as Debian's, named after the
# compiler's target (arm-linux-gnueabi); an SDK without one just has none.
get_filename_component(tarno_arm_target "${TARNO_ARM_PREFIX}" NAME)
string(REGEX REPLACE "-$" "" tarno_arm_target "${tarno_arm_target}")
set(CMAKE_LIBRARY_ARCHITECTURE "${tarno_arm_target}")

if(TARNO_ARM_SYSROOT)
  set(CMAKE_SYSROOT "${TARNO_ARM_SYSROOT}")
endif()
# The linker follows the libraries' own dependencies (SDL needs X11, ALSA,
# PulseAudio...) inside the root, not on this machine.
foreach(dir lib usr/lib lib/${tarno_arm_target} usr/lib/${tarno_arm_target})
  string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,-rpath-link,${TARNO_ARM_ROOT}/${dir}")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -Wl,-rpath-link,${TARNO_ARM_ROOT}/${dir}")
endforeach()

# Headers, libraries and CMake packages come from the root only; programs
# used while building (pkg-config, the generators' shell) from this machine.
list(APPEND CMAKE_FIND_ROOT_PATH "${TARNO_ARM_ROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads only the root's .pc files and puts the root in front of
# their paths.
set(ENV{PKG_CONFIG_LIBDIR}
  "${TARNO_ARM_ROOT}/usr/lib/${tarno_arm_target}/pkgconfig:${TARNO_ARM_ROOT}/usr/lib/pkgconfig:${TARNO_ARM_ROOT}/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${TARNO_ARM_ROOT}")

# Test discovery and CTest run the ARM programs under user-mode emulation.
# QEMU_LD_PREFIX shows qemu-arm the ARM loader and libraries in the root;
# QEMU_CPU makes it an ARM926, the ARM9 nearest the handheld's ARM920T that
# the root's libraries (built for ARMv5TE) run on. Set in its environment,
# both pass on to every program that a test starts (the calculator,
# tarno-keys, tarno-shot, a death test's fresh copy of itself), which the
# kernel hands to qemu-arm through binfmt_misc.
set(TARNO_QEMU_CPU arm926 CACHE STRING "The processor that qemu-arm emulates for the tests")
find_program(TARNO_QEMU_ARM NAMES qemu-arm qemu-arm-static)
find_program(TARNO_ENV env)
if(TARNO_QEMU_ARM AND TARNO_ENV)
  set(CMAKE_CROSSCOMPILING_EMULATOR
    "${TARNO_ENV};QEMU_LD_PREFIX=${TARNO_ARM_ROOT};QEMU_CPU=${TARNO_QEMU_CPU};${TARNO_QEMU_ARM}")
endif()
