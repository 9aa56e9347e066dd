# Fails when a Windows executable imports a DLL that a clean Windows does not
# have (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll, ...): the
# release zip carries urlcheck.exe alone.
#   cmake -DOBJDUMP=x86_64-w64-mingw32-objdump -DEXE=urlcheck.exe -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT OBJDUMP OR NOT EXE)
  message(FATAL_ERROR "usage: cmake -DOBJDUMP=<objdump> -DEXE=<exe> -P check_imports.cmake")
endif()

set(system_dlls
  kernel32.dll user32.dll gdi32.dll ole32.dll oleaut32.dll msvcrt.dll
  advapi32.dll shell32.dll comctl32.dll comdlg32.dll shlwapi.dll uxtheme.dll
  version.dll winhttp.dll ws2_32.dll bcrypt.dll ucrtbase.dll)

execute_process(COMMAND ${OBJDUMP} -p ${EXE}
  OUTPUT_VARIABLE dump ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed (${result}): ${errors}")
endif()

string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
set(imported "")
set(imported_lower "")
set(foreign "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll_lower)
  list(APPEND imported "${dll}")
  list(APPEND imported_lower "${dll_lower}")
  # The API set names (api-ms-win-*) are resolved by the loader itself.
  if(NOT dll_lower IN_LIST system_dlls AND NOT dll_lower MATCHES "^api-ms-win-")
    list(APPEND foreign "${dll}")
  endif()
endforeach()

# No import table at all means the dump was not what this check reads, not
# that the exe is clean.
if(NOT "kernel32.dll" IN_LIST imported_lower)
  message(FATAL_ERROR "no KERNEL32.dll import found in ${EXE}; imports: ${imported}")
endif()
if(foreign)
  message(FATAL_ERROR "${EXE} imports DLLs that are not part of Windows: ${foreign}")
endif()
message(STATUS "${EXE} imports only system DLLs: ${imported}")
