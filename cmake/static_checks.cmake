# clang-tidy (checks in .clang-tidy) and cppcheck over the project's own
# sources, run as tests: the native build checks the core, the clang build
# for Windows checks the Win32 layer with the real Windows headers. Both
# presets export their compile commands for it.
enable_testing()
find_program(URLCHECK_CLANG_TIDY NAMES clang-tidy clang-tidy-14 REQUIRED)

function(urlcheck_clang_tidy_test name)
  set(files)
  foreach(target IN LISTS ARGN)
    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    foreach(source IN LISTS sources)
      if(source MATCHES "\\.cpp$")
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir})
        list(APPEND files ${source})
      endif()
    endforeach()
  endforeach()
  add_test(NAME static.clang_tidy.${name}
           COMMAND ${URLCHECK_CLANG_TIDY} -p ${CMAKE_BINARY_DIR} --quiet ${files})
endfunction()

if(WIN32)
  urlcheck_clang_tidy_test(win32_layer urlcheck_win urlcheck)
else()
  urlcheck_clang_tidy_test(core urlcheck_core)
  find_program(URLCHECK_CPPCHECK cppcheck REQUIRED)
  add_test(NAME static.cppcheck
           COMMAND ${URLCHECK_CPPCHECK} --enable=warning,performance,portability,style --std=c++17
                   --inline-suppr --error-exitcode=1 --quiet --suppress=missingIncludeSystem
                   -I ${PROJECT_SOURCE_DIR}/src -I ${PROJECT_SOURCE_DIR}/resources -D_WIN32 -DUNICODE
                   ${PROJECT_SOURCE_DIR}/src)
endif()
