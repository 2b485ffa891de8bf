# The player's package, dist/gang_horse-<version>-win64.zip, and beside it its checksum
# (…zip.sha256, the format of sha256sum). The zip mirrors the game's root folder: gang_horse.asi,
# Velkor.dat, gang_horse-README.txt and gang_horse-LICENSE.txt, to go beside RDR2.exe; its text files
# have CRLF line ends.
# The .asi is checked as packaged (imports, exports, version resource) before it is zipped.
# Built by `make package` (target win64_zip), not by default. GH_DIST_DIR moves it elsewhere.
set(GH_PACKAGE_NAME gang_horse-${PROJECT_VERSION}-win64)
set(GH_DIST_DIR ${PROJECT_SOURCE_DIR}/dist CACHE PATH "Where the player's package is written")
set(GH_PACKAGE_ZIP ${GH_DIST_DIR}/${GH_PACKAGE_NAME}.zip)
set(GH_PACKAGE_README ${PROJECT_BINARY_DIR}/package/gang_horse-README.txt)

# The players' guide is the README's part for players, as plain text (cmake/player_readme.py).
add_custom_command(
    OUTPUT ${GH_PACKAGE_README}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/player_readme.py ${PROJECT_SOURCE_DIR}/README.md
        ${PROJECT_VERSION} ${GH_PACKAGE_README}
    DEPENDS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/player_readme.py
    COMMENT "Writing the players' guide from README.md"
    VERBATIM)

add_custom_command(
    OUTPUT ${GH_PACKAGE_ZIP} ${GH_PACKAGE_ZIP}.sha256
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tests/check_asi_imports.py $<TARGET_FILE:gang_horse>
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tests/check_asi_version.py $<TARGET_FILE:gang_horse>
        ${PROJECT_VERSION}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${GH_DIST_DIR}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/make_package.py ${GH_PACKAGE_ZIP} ${GH_RELEASE_DATE}
        gang_horse.asi=$<TARGET_FILE:gang_horse>
        Velkor.dat=${PROJECT_SOURCE_DIR}/Velkor.dat:text
        gang_horse-README.txt=${GH_PACKAGE_README}:text
        gang_horse-LICENSE.txt=${PROJECT_SOURCE_DIR}/LICENSE:text
    DEPENDS gang_horse ${PROJECT_SOURCE_DIR}/Velkor.dat ${GH_PACKAGE_README} ${PROJECT_SOURCE_DIR}/LICENSE
        ${PROJECT_SOURCE_DIR}/cmake/make_package.py
        ${PROJECT_SOURCE_DIR}/tests/check_asi_imports.py ${PROJECT_SOURCE_DIR}/tests/check_asi_version.py
    COMMENT "Packaging ${GH_PACKAGE_ZIP}"
    VERBATIM)
add_custom_target(win64_zip DEPENDS ${GH_PACKAGE_ZIP})
