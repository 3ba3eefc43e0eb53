# Cross build for 64-bit Windows with mingw-w64 (Debian: g++-mingw-w64-x86-64-posix).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)

# The posix thread model is the one whose libstdc++ has the whole of <filesystem> and <thread>;
# fall back to the compiler of the default alternative when only that one is installed.
find_program(mingw_cxx NAMES ${mingw_triplet}-g++-posix ${mingw_triplet}-g++ REQUIRED)
find_program(mingw_windres NAMES ${mingw_triplet}-windres)
set(CMAKE_CXX_COMPILER ${mingw_cxx})
if(mingw_windres)
  set(CMAKE_RC_COMPILER ${mingw_windres})
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A bare Windows has neither libstdc++, libgcc nor winpthread as DLLs: link them in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# -O2 rather than -O3 for Release: GCC 12 at -O3 raises a false -Wrestrict inside std::string
# concatenation (GCC bug 105329), which -Werror turns into a failed build. Symbols stripped.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of the Release build")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
