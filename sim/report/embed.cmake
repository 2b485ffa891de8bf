# Writes the report page's files into a C++ source, as byte arrays, and the
# SHA-256 of the script (the page's Content-Security-Policy lets only that
# script run). CR bytes are left out, as a browser drops them from a script.
# Run at build time: cmake -DSOURCE_DIR=... -DOUTPUT=... -P embed.cmake
set(body "// Generated from sim/report/report.{html,css,js} by sim/report/embed.cmake.\n")
string(APPEND body "#include \"sim/report/assets.h\"\n\nnamespace sim {\n\n")
foreach(asset html css js)
    file(READ ${SOURCE_DIR}/report.${asset} bytes HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${bytes}")
    string(REPLACE "'\\x0d'," "" bytes "${bytes}")
    string(APPEND body "const char reportAsset_${asset}[] = {\n    ${bytes}'\\0'};\n\n")
endforeach()
file(READ ${SOURCE_DIR}/report.js script)
string(REPLACE "\r" "" script "${script}")
string(SHA256 script_hash "${script}")
string(APPEND body "const char reportScriptSha256[] = \"${script_hash}\";\n\n} // namespace sim\n")
file(WRITE ${OUTPUT}.new "${body}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
