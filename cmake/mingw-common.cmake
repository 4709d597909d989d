# Cross-build for Windows with the posix-threads flavour of mingw-w64 whose target triplet the
# including toolchain file sets in LR_MINGW_TRIPLET.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${LR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${LR_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
