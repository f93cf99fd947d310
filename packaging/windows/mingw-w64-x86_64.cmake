# CMake toolchain for building 64-bit Windows programs on Debian with the
# MinGW-w64 compilers (packages g++-mingw-w64-x86-64-posix and
# gcc-mingw-w64-x86-64-posix).  The POSIX-thread variant is the one whose
# std::thread and std::mutex work; its run-time DLLs (libstdc++-6.dll,
# libgcc_s_seh-1.dll, libwinpthread-1.dll) ship beside the program.
#
# Libraries built for Windows outside the MinGW root, such as the Qt that
# scripts/build-qt-mingw.sh builds, are found through CMAKE_PREFIX_PATH.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVANE_MINGW_TRIPLE}-windres)

# Everything searched for must be a Windows build: headers, libraries and
# CMake packages come only from the MinGW root and from the given
# prefixes, programs (moc, rcc and the like) only from the host.  A prefix
# lies outside the MinGW root, so it is a root of its own as well; while
# Qt itself is built, its install prefix is one too.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${KORVANE_MINGW_TRIPLE})
foreach(dir IN LISTS CMAKE_PREFIX_PATH CMAKE_INSTALL_PREFIX)
  if(IS_ABSOLUTE "${dir}")
    list(APPEND CMAKE_FIND_ROOT_PATH "${dir}")
  endif()
endforeach()
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config would otherwise hand the host's Linux include folders (ALSA,
# libsndfile, fontconfig, libpq) to the MinGW compiler: it looks only into
# the MinGW root and the prefixes.
set(_korvane_pkgconfig "/usr/${KORVANE_MINGW_TRIPLE}/lib/pkgconfig")
foreach(dir IN LISTS CMAKE_PREFIX_PATH)
  if(IS_ABSOLUTE "${dir}")
    string(APPEND _korvane_pkgconfig ":${dir}/lib/pkgconfig")
  endif()
endforeach()
set(ENV{PKG_CONFIG_LIBDIR} "${_korvane_pkgconfig}")
set(ENV{PKG_CONFIG_PATH} "")
