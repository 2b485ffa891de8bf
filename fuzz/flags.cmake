# Flags of the libFuzzer build (GH_FUZZ, preset fuzz), included by the root
# CMakeLists.txt before any target: every object is instrumented for coverage
# and built with AddressSanitizer and UndefinedBehaviorSanitizer (no recovery,
# so a finding stops the run); the fuzz targets alone link the libFuzzer main.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "GH_FUZZ needs clang++ (libFuzzer), not ${CMAKE_CXX_COMPILER_ID}: use the preset fuzz")
endif()
set(GH_SANITIZERS "-fsanitize=address,undefined" "-fno-sanitize-recover=all" "-fno-omit-frame-pointer")
add_compile_options("-fsanitize=fuzzer-no-link" ${GH_SANITIZERS} -g)
add_link_options("-fsanitize=address,undefined")
