# Reads every #include "..." line under SOURCE_DIR (src/) and fails when one
# runs against the layers, which from the bottom up are:
#   0 workspace/   1 solver/
#   2 the computational modules of results/, editing/, generator/ (no Qt)
#   3 drawing/ (Qt Gui, no Widgets)
#   4 gui/         5 the windows of results/, editing/, generator/
#   6 app/
# A file may include its own layer and the layers below it; of the two layers
# that several folders share, only its own folder's part. A file of results/,
# editing/ or generator/ belongs to the windows when it or its .cpp includes a
# Qt header (the computational library is built without Qt, so a Qt include
# cannot hide in it). Every quoted include is a path from src/. Run: cmake -DSOURCE_DIR=.../src -P CheckIncludeLayers.cmake

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "SOURCE_DIR is not a folder: '${SOURCE_DIR}'")
endif()

function(uses_qt path result)
    set(found FALSE)
    string(REGEX REPLACE "\\.h$" ".cpp" source "${path}")
    foreach(file IN ITEMS "${path}" "${source}")
        if(EXISTS "${SOURCE_DIR}/${file}")
            file(STRINGS "${SOURCE_DIR}/${file}" qt REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
            if(qt)
                set(found TRUE)
            endif()
        endif()
    endforeach()
    set(${result} ${found} PARENT_SCOPE)
endfunction()

# The layer number of a file (relative to SOURCE_DIR), or -1 outside the line.
function(layer_of path result)
    string(REGEX MATCH "^[^/]+" folder "${path}")
    if(folder STREQUAL "workspace")
        set(layer 0)
    elseif(folder STREQUAL "solver")
        set(layer 1)
    elseif(folder MATCHES "^(results|editing|generator)$")
        uses_qt("${path}" qt)
        if(qt)
            set(layer 5)
        else()
            set(layer 2)
        endif()
    elseif(folder STREQUAL "drawing")
        set(layer 3)
    elseif(folder STREQUAL "gui")
        set(layer 4)
    elseif(folder STREQUAL "app")
        set(layer 6)
    else()
        set(layer -1)
    endif()
    set(${result} ${layer} PARENT_SCOPE)
endfunction()

set(layer_names "workspace" "solver" "computational module" "drawing" "gui" "window" "app")
file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(faults 0)
foreach(file IN LISTS files)
    layer_of("${file}" from)
    if(from EQUAL -1)
        message(SEND_ERROR "${file}: in no layer (a new folder must be added to the line)")
        math(EXPR faults "${faults} + 1")
        continue()
    endif()
    string(REGEX MATCH "^[^/]+" from_folder "${file}")
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" included "${line}")
        if(included MATCHES "\\.moc$|^moc_")
            continue()  # the meta-object compiler's output
        endif()
        # Every file of src/ is included by its path from src/, so that none
        # escapes this check by a path relative to the including file.
        if(included MATCHES "\\.\\." OR NOT EXISTS "${SOURCE_DIR}/${included}")
            message(SEND_ERROR "${file}: include \"${included}\" is not a path from src/")
            math(EXPR faults "${faults} + 1")
            continue()
        endif()
        layer_of("${included}" to)
        string(REGEX MATCH "^[^/]+" to_folder "${included}")
        set(against FALSE)
        if(to GREATER from)
            set(against TRUE)
        elseif(to EQUAL from AND NOT to_folder STREQUAL from_folder)
            set(against TRUE)
        endif()
        if(against)
            list(GET layer_names ${from} from_name)
            list(GET layer_names ${to} to_name)
            message(SEND_ERROR
                "${file} (${from_name}) includes ${included} (${to_name})")
            math(EXPR faults "${faults} + 1")
        endif()
    endforeach()
endforeach()

list(LENGTH files count)
if(faults GREATER 0)
    message(FATAL_ERROR "${faults} include(s) against the layers")
endif()
message(STATUS "${count} files, every include along the layers")
