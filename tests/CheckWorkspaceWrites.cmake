# Fails on a line under SOURCE_DIR that writes a Workspace member directly:
# an assignment (=, +=, ...), an increment or decrement, or a changing call
# (fill, clear, assign, ...) on one of its members. The program changes the
# Workspace only through the operations in workspace/Workspace.cpp, which is
# the one file allowed to. Reads, and the solver's SolutionToImprove, are
# not looked at.
# Run: cmake -DSOURCE_DIR=.../src -P CheckWorkspaceWrites.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "SOURCE_DIR is not a folder: '${SOURCE_DIR}'")
endif()

set(member "(LinkCount|NodeCount|LinkOrigin|LinkDest|LinkLower|LinkUpper|LinkCost|LinkFlow|NodeName|NodePotential|TotalCost|DataNotSaved|ResultsNotShown|NetworkChanged|Infeasible|ChecksPassed|NodeFileName|LinkFileName|Revision)")
# A receiver that names a Workspace: ws, ws_, workspace, workspace_, or a call
# such as TheWorkspace() or session.Workspace().
set(name "(ws|ws_|workspace|workspace_|[A-Za-z0-9_]*Workspace\\(\\))(\\.|->)")
set(receiver "(^|[^A-Za-z0-9_])${name}")
# (No "]" in a bracket expression: CMake lists would not split there.)
set(subscript "(\\[[A-Za-z0-9_ +*().>:-]*\\])?")
set(patterns
    "${receiver}${member}${subscript}[ \t]*([-+*/|&]?=[^=]|\\+\\+|--)"
    "(\\+\\+|--)[ \t]*(kav::)?${name}${member}"
    "${receiver}${member}${subscript}\\.(fill|clear|assign|append|push_back|swap|resize|erase|insert)\\(")

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
if(NOT files)
    message(FATAL_ERROR "no source files under '${SOURCE_DIR}'")
endif()
set(faults 0)
foreach(file IN LISTS files)
    if(file MATCHES "workspace/Workspace\\.cpp$")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${file}" lines)
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        foreach(pattern IN LISTS patterns)
            if(line MATCHES "${pattern}")
                string(STRIP "${line}" shown)
                message(SEND_ERROR "${file}:${number}: writes the Workspace directly: ${shown}")
                math(EXPR faults "${faults} + 1")
                break()
            endif()
        endforeach()
    endforeach()
endforeach()

if(faults GREATER 0)
    message(FATAL_ERROR "${faults} direct write(s) of the Workspace; use its operations")
endif()
