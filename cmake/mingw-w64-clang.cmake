# The same cross build with Clang: a second compiler over the same code, with the MinGW-w64 headers,
# the "posix" GCC's libstdc++ and the resource compiler of mingw-w64.cmake, and LLVM's own linker.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# The newest LLVM installed with both Clang and lld (Debian 12: 16, Debian 13: 19). Its linker is named
# by path: Debian's plain ld.lld may be an older lld, which cannot read what a newer Clang writes.
file(GLOB llvm_roots /usr/lib/llvm-[0-9]*)
list(SORT llvm_roots COMPARE NATURAL ORDER DESCENDING)
foreach(root IN LISTS llvm_roots)
  if(EXISTS ${root}/bin/clang++ AND EXISTS ${root}/bin/ld.lld)
    set(llvm ${root})
    break()
  endif()
endforeach()
if(NOT llvm)
  message(FATAL_ERROR "No Clang with lld under /usr/lib/llvm-*: run scripts/install-deps.sh")
endif()
set(CMAKE_C_COMPILER ${llvm}/bin/clang)
set(CMAKE_CXX_COMPILER ${llvm}/bin/clang++)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-mingw32)

# The folder of the libstdc++ that the GCC build links (Debian 12: .../12-posix). Clang's MinGW driver
# does not look there: it gets the library's headers and the folder itself named.
execute_process(COMMAND x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++.a
                OUTPUT_VARIABLE libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
cmake_path(GET libstdcxx PARENT_PATH gcc)
# (The link step gets these flags too, where -nostdinc++ would draw an "unused argument" warning.)
set(CMAKE_CXX_FLAGS_INIT "--start-no-unused-arguments -nostdinc++ --end-no-unused-arguments \
-isystem ${gcc}/include/c++ -isystem ${gcc}/include/c++/x86_64-w64-mingw32 -isystem ${gcc}/include/c++/backward")
# libgcc_eh's emulated thread-locals call winpthread, which Clang's driver does not list after libgcc_eh:
# the whole static winpthread goes in, so that nothing of it is left unresolved at the end.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "--ld-path=${llvm}/bin/ld.lld -L${gcc} -Wl,--whole-archive -l:libwinpthread.a -Wl,--no-whole-archive")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "--ld-path=${llvm}/bin/ld.lld -L${gcc}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "--ld-path=${llvm}/bin/ld.lld -L${gcc}")
