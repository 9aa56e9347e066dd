# GoogleTest comes from Debian's source package (googletest), built with the
# project's own compiler so the same sources serve the host and the mingw
# build. Elsewhere (say, on Windows) an installed GTest package is used, and
# without one the tool is built without its tests.
set(URLCHECK_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources")
set(URLCHECK_HAVE_GTEST OFF)
if(EXISTS "${URLCHECK_GTEST_SOURCE_DIR}/CMakeLists.txt")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory("${URLCHECK_GTEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
  set(URLCHECK_HAVE_GTEST ON)
else()
  find_package(GTest CONFIG QUIET)
  if(GTest_FOUND)
    set(URLCHECK_HAVE_GTEST ON)
  else()
    message(STATUS "GoogleTest not found: building without tests")
  endif()
endif()
include(GoogleTest)
