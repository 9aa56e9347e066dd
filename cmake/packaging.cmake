# The release is one zip: urlcheck.exe, which is linked statically so it
# needs nothing beside it, the readme, and an example list under the name
# the tool reads (it has to be copied to D:\ to be used).
install(TARGETS urlcheck RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/resources/url.txt.example DESTINATION . RENAME url.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME urlcheck)
set(CPACK_PACKAGE_VENDOR "urlcheck developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "HTTP status checker for a list of addresses")
# The same version the VERSIONINFO resource carries (resources/version.h.in).
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME urlcheck-${PROJECT_VERSION}-win64)
# The build keeps its debug information for crash analysis; users get the
# exe without it.
set(CPACK_STRIP_FILES ON)
include(CPack)
