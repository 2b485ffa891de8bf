# The simulator's libraries for the Windows build. Debian has no MinGW builds of them:
# - nlohmann/json and CLI11 are header-only: their Debian headers are used through a folder that
#   holds only them (never all of /usr/include, which is the Linux C library's).
# - yaml-cpp is compiled here from Debian's source package, of the version the Linux build links
#   (apt-get source, through a private list of deb-src entries; nothing else is downloaded).
# Each gives the target name that find_package gives on Linux.

# Header-only libraries.
set(GH_HEADER_ONLY_DIR ${PROJECT_BINARY_DIR}/header-only)
file(MAKE_DIRECTORY ${GH_HEADER_ONLY_DIR})
foreach(check IN ITEMS nlohmann/json.hpp CLI/CLI.hpp)
    if(NOT EXISTS /usr/include/${check})
        message(FATAL_ERROR "/usr/include/${check} is missing: install nlohmann-json3-dev and libcli11-dev")
    endif()
endforeach()
foreach(dir IN ITEMS nlohmann CLI)
    if(NOT EXISTS ${GH_HEADER_ONLY_DIR}/${dir})
        file(CREATE_LINK /usr/include/${dir} ${GH_HEADER_ONLY_DIR}/${dir} SYMBOLIC)
    endif()
endforeach()
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${GH_HEADER_ONLY_DIR})
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 INTERFACE ${GH_HEADER_ONLY_DIR})

# yaml-cpp from source. GH_YAML_CPP_SOURCE may name an unpacked source tree to use instead.
set(GH_YAML_CPP_SOURCE "" CACHE PATH "An unpacked yaml-cpp source tree (default: fetched with apt-get source)")
if(GH_YAML_CPP_SOURCE)
    set(GH_YAML_CPP_DIR ${GH_YAML_CPP_SOURCE})
else()
    set(GH_YAML_CPP_DIR ${PROJECT_BINARY_DIR}/yaml-cpp-source)
    if(NOT EXISTS ${GH_YAML_CPP_DIR}/src/parse.cpp)
        # The version of Debian's source package behind the Linux build's libyaml-cpp-dev.
        execute_process(
            COMMAND dpkg-query -W "-f=\${source:Version}" libyaml-cpp-dev
            OUTPUT_VARIABLE GH_YAML_CPP_VERSION
            RESULT_VARIABLE status
            ERROR_QUIET)
        if(status EQUAL 0 AND GH_YAML_CPP_VERSION)
            set(GH_YAML_CPP_REQUEST yaml-cpp=${GH_YAML_CPP_VERSION})
        else()
            set(GH_YAML_CPP_REQUEST yaml-cpp)
        endif()
        message(STATUS "Fetching Debian's source package ${GH_YAML_CPP_REQUEST}")
        execute_process(
            COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/fetch-debian-source.sh ${GH_YAML_CPP_REQUEST}
                ${PROJECT_BINARY_DIR}/yaml-cpp-download
            RESULT_VARIABLE status)
        file(GLOB GH_YAML_CPP_ORIG ${PROJECT_BINARY_DIR}/yaml-cpp-download/yaml-cpp_*.orig.tar.*)
        if(NOT status EQUAL 0 OR NOT GH_YAML_CPP_ORIG)
            message(FATAL_ERROR "Could not fetch Debian's yaml-cpp source package (see above). Set "
                "GH_YAML_CPP_SOURCE to an unpacked yaml-cpp ${GH_YAML_CPP_VERSION} source tree instead.")
        endif()
        file(REMOVE_RECURSE ${GH_YAML_CPP_DIR}.unpack)
        file(ARCHIVE_EXTRACT INPUT ${GH_YAML_CPP_ORIG} DESTINATION ${GH_YAML_CPP_DIR}.unpack)
        file(GLOB GH_YAML_CPP_TOP ${GH_YAML_CPP_DIR}.unpack/*)
        file(REMOVE_RECURSE ${GH_YAML_CPP_DIR})
        file(RENAME ${GH_YAML_CPP_TOP} ${GH_YAML_CPP_DIR})
        file(REMOVE_RECURSE ${GH_YAML_CPP_DIR}.unpack)
    endif()
endif()
if(NOT EXISTS ${GH_YAML_CPP_DIR}/src/parse.cpp)
    message(FATAL_ERROR "${GH_YAML_CPP_DIR} is not a yaml-cpp source tree")
endif()
file(GLOB GH_YAML_CPP_SOURCES ${GH_YAML_CPP_DIR}/src/*.cpp ${GH_YAML_CPP_DIR}/src/contrib/*.cpp)
add_library(yaml-cpp STATIC ${GH_YAML_CPP_SOURCES})
target_include_directories(yaml-cpp SYSTEM PUBLIC ${GH_YAML_CPP_DIR}/include)
target_include_directories(yaml-cpp PRIVATE ${GH_YAML_CPP_DIR}/src)
