# The player's package, dist/gang_horse-<version>-win64.zip: gang_horse.asi, Velkor.dat and a short
# README. The .asi is checked as packaged (imports, exports, version resource) before it is zipped.
# Built by `make package` (target win64_zip), not by default.
set(GH_PACKAGE_NAME gang_horse-${PROJECT_VERSION}-win64)
set(GH_PACKAGE_ZIP ${PROJECT_SOURCE_DIR}/dist/${GH_PACKAGE_NAME}.zip)
set(GH_PACKAGE_STAGE ${PROJECT_BINARY_DIR}/package/${GH_PACKAGE_NAME})

# The README shows the shipped settings file as it is, indented.
file(STRINGS ${PROJECT_SOURCE_DIR}/Velkor.dat GH_SHIPPED_SETTINGS_LINES)
list(TRANSFORM GH_SHIPPED_SETTINGS_LINES PREPEND "    ")
list(JOIN GH_SHIPPED_SETTINGS_LINES "\n" GH_SHIPPED_SETTINGS_INDENTED)
configure_file(${PROJECT_SOURCE_DIR}/cmake/player-readme.txt.in ${PROJECT_BINARY_DIR}/package/README.txt
    @ONLY NEWLINE_STYLE CRLF)

add_custom_command(
    OUTPUT ${GH_PACKAGE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${GH_PACKAGE_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${GH_PACKAGE_STAGE} ${PROJECT_SOURCE_DIR}/dist
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:gang_horse> ${PROJECT_SOURCE_DIR}/Velkor.dat
        ${PROJECT_BINARY_DIR}/package/README.txt ${GH_PACKAGE_STAGE}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tests/check_asi_imports.py
        ${GH_PACKAGE_STAGE}/gang_horse.asi
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tests/check_asi_version.py
        ${GH_PACKAGE_STAGE}/gang_horse.asi ${PROJECT_VERSION}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${GH_PACKAGE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E chdir ${GH_PACKAGE_STAGE} zip -X -q ${GH_PACKAGE_ZIP}
        gang_horse.asi Velkor.dat README.txt
    DEPENDS gang_horse ${PROJECT_SOURCE_DIR}/Velkor.dat ${PROJECT_BINARY_DIR}/package/README.txt
        ${PROJECT_SOURCE_DIR}/tests/check_asi_imports.py ${PROJECT_SOURCE_DIR}/tests/check_asi_version.py
    COMMENT "Packaging dist/${GH_PACKAGE_NAME}.zip"
    VERBATIM)
add_custom_target(win64_zip DEPENDS ${GH_PACKAGE_ZIP})

# The version resource of the .asi as built, also under ctest.
add_test(NAME asi_version
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tests/check_asi_version.py $<TARGET_FILE:gang_horse>
        ${PROJECT_VERSION})
