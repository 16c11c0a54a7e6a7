# Third-party libraries: all from the system (Debian packages natively).
if(NOT WIN32)
    find_package(CURL REQUIRED)
endif()
find_package(nlohmann_json 3 QUIET)
if(NOT nlohmann_json_FOUND)
    # The cross build has no package for the header-only library: use the host's
    # headers, copied to a folder of their own (putting the host's /usr/include
    # on the cross compiler's path would mix the two C libraries).
    find_path(NLOHMANN_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    set(NLOHMANN_JSON_COPY ${CMAKE_BINARY_DIR}/third_party/include)
    file(COPY ${NLOHMANN_JSON_INCLUDE}/nlohmann DESTINATION ${NLOHMANN_JSON_COPY})
    add_library(nlohmann_json_headers INTERFACE)
    target_include_directories(nlohmann_json_headers SYSTEM INTERFACE ${NLOHMANN_JSON_COPY})
    add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json_headers)
endif()

# The system libraries the library calls on Windows (a program that links
# the static library links them too: the CMake package and ostrelle.pc).
set(OSTRELLE_WIN32_LIBS user32 gdi32 kernel32 advapi32 ole32 wininet)

function(ostrelle_link_dependencies target)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "OBJECT_LIBRARY")
        # Objects only need the headers.
        target_link_libraries(${target} PRIVATE nlohmann_json::nlohmann_json)
        if(NOT WIN32)
            target_link_libraries(${target} PRIVATE CURL::libcurl)
        endif()
        return()
    endif()
    if(WIN32)
        target_link_libraries(${target} PUBLIC ${OSTRELLE_WIN32_LIBS})
    else()
        target_link_libraries(${target} PRIVATE CURL::libcurl)
    endif()
endfunction()
