# Reads every include line, quoted or angle-bracketed, under SOURCE_DIR (src/)
# and fails on one that runs against the layers. Each layer is a folder of
# src/ ("1-workspace", "2-solver", ...) whose library exports that folder as
# its include root, so the compiler already refuses a header of a layer the
# file's library does not link. This check holds what the compiler cannot see:
#   - within one layer, a subsystem's folder (results/, editing/,
#     generator/) includes no other subsystem's folder;
#   - a project header is included by its path from its layer's root, never
#     by a path relative to the including file;
#   - every file is in a known layer, and the layers link as listed below.
# Run: cmake -DSOURCE_DIR=.../src -P CheckIncludeLayers.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "SOURCE_DIR is not a folder: '${SOURCE_DIR}'")
endif()

# Each layer and the layers it may include besides itself (as src/CMakeLists.txt
# links them).
set(layers 1-workspace 2-solver 3-modules 4-layout 5-drawing 6-gui 7-windows 8-cli 9-program)
set(below_1-workspace "")
set(below_2-solver 1-workspace)
set(below_3-modules 1-workspace 2-solver)
set(below_4-layout 1-workspace 2-solver 3-modules)
set(below_5-drawing 1-workspace 2-solver 3-modules 4-layout)
set(below_6-gui 1-workspace 2-solver 3-modules 4-layout 5-drawing)
set(below_7-windows 1-workspace 2-solver 3-modules 4-layout 5-drawing 6-gui)
set(below_8-cli 1-workspace 2-solver 3-modules 4-layout 5-drawing)
set(below_9-program 1-workspace 2-solver 3-modules 4-layout 5-drawing 6-gui 7-windows 8-cli)

file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(faults 0)
macro(fault text)
    message(SEND_ERROR "${text}")
    math(EXPR faults "${faults} + 1")
endmacro()

foreach(file IN LISTS files)
    string(REGEX MATCH "^([^/]+)/([^/]+)/" parts "${file}")
    set(from "${CMAKE_MATCH_1}")
    set(from_folder "${CMAKE_MATCH_2}")
    if(NOT parts OR NOT from IN_LIST layers)
        fault("${file}: in no layer (a new folder must be added to the line)")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*$" "\\1" included
               "${line}")
        set(quoted FALSE)
        if(line MATCHES "include[ \t]*\"")
            set(quoted TRUE)
        endif()
        if(included MATCHES "\\.moc$|^moc_")
            continue()  # the meta-object compiler's output
        endif()
        # The layer whose root holds the header; an angle-bracket include that
        # no root holds is a system header.
        set(to "")
        foreach(layer IN LISTS layers)
            if(EXISTS "${SOURCE_DIR}/${layer}/${included}" AND NOT included MATCHES "\\.\\.")
                set(to "${layer}")
            endif()
        endforeach()
        if(to STREQUAL "")
            if(quoted)
                fault("${file}: include \"${included}\" is not a path from a layer's root")
            endif()
            continue()
        endif()
        string(REGEX MATCH "^[^/]+" to_folder "${included}")
        if(to STREQUAL from)
            if(NOT to_folder STREQUAL from_folder)
                fault("${file} (${from_folder}) includes ${included} (${to_folder}) of the same layer")
            endif()
        elseif(NOT to IN_LIST below_${from})
            fault("${file} (${from}) includes ${included} (${to})")
        endif()
    endforeach()
endforeach()

list(LENGTH files count)
if(faults GREATER 0)
    message(FATAL_ERROR "${faults} include(s) against the layers")
endif()
message(STATUS "${count} files, every include along the layers")
