# Cross-build for 64-bit Windows with clang, against the same mingw-w64
# headers, import libraries and libstdc++ (POSIX-threads variant) as the gcc
# build. A second compiler on the same sources keeps the code free of what
# only g++ accepts or only g++ warns about.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-windows-gnu)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-windows-gnu)

# The sysroot keeps the host's /usr/include out of the search path and
# gives clang the mingw-w64 headers, crt objects and import libraries.
set(CMAKE_SYSROOT /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The same binutils as the gcc build (CMake would pick the llvm ones for
# clang); the import check and the package's strip expect these.
find_program(CMAKE_AR x86_64-w64-mingw32-ar REQUIRED)
find_program(CMAKE_RANLIB x86_64-w64-mingw32-ranlib REQUIRED)
find_program(CMAKE_NM x86_64-w64-mingw32-nm REQUIRED)
find_program(CMAKE_OBJCOPY x86_64-w64-mingw32-objcopy REQUIRED)
find_program(CMAKE_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
find_program(CMAKE_STRIP x86_64-w64-mingw32-strip REQUIRED)
find_program(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres REQUIRED)

# clang 14 does not take Debian's gcc directory name ("12-posix") for a gcc
# version, so it finds neither libstdc++ nor libgcc on its own; the gcc
# driver says where they are, whatever its version.
execute_process(
  COMMAND x86_64-w64-mingw32-g++-posix -print-libgcc-file-name
  OUTPUT_VARIABLE _urlcheck_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE _urlcheck_result)
if(NOT _urlcheck_result EQUAL 0 OR NOT EXISTS "${_urlcheck_libgcc}")
  message(FATAL_ERROR "x86_64-w64-mingw32-g++-posix not found (package g++-mingw-w64-x86-64-posix)")
endif()
get_filename_component(_urlcheck_gcc_dir "${_urlcheck_libgcc}" DIRECTORY)
set(_urlcheck_cxx_include "${_urlcheck_gcc_dir}/include/c++")
set(CMAKE_CXX_FLAGS_INIT
  "-isystem ${_urlcheck_cxx_include} -isystem ${_urlcheck_cxx_include}/x86_64-w64-mingw32 -isystem ${_urlcheck_cxx_include}/backward")

# lld when it is there: GNU ld links the same objects correctly but warns
# about every type_info clang emits locally for a libstdc++ class
# ("duplicate section ... has different size": gcc pads those sections to
# 16 bytes, clang does not), which would bury real warnings.
find_program(_urlcheck_lld ld.lld)
if(_urlcheck_lld)
  set(_urlcheck_linker "-fuse-ld=lld")
else()
  find_program(_urlcheck_mingw_ld x86_64-w64-mingw32-ld REQUIRED)
  set(_urlcheck_linker "--ld-path=${_urlcheck_mingw_ld}")
endif()
# -pthread puts winpthread into the runtime group after libstdc++, which the
# POSIX-threads libstdc++ needs (the gcc driver adds it on its own).
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "${_urlcheck_linker} -L${_urlcheck_gcc_dir} -pthread")
endforeach()
