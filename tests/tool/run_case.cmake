# Runs one tool test case.  A case folder holds:
#   script.txt          commands, passed as the input file (omit for stdin-only cases)
#   expected.out        the exact standard output
#   expected.err        (optional) the exact standard error
#   expected.rc         (optional) the exit code, default 0
#   args                (optional) one line of arguments placed before script.txt
#   stdin.txt           (optional) standard input (default: empty)
#   env                 (optional) NAME=VALUE lines added to the environment
#   scene.json          (optional) desktop scene, given as TOLVANE_DESKTOP
#   scene               (optional, instead of scene.json) one line: the name of a
#                       scene that several cases share, tests/tool/scenes/NAME.json
#   expected.log        (optional) the exact simulated-desktop event log
#   expected.file.NAME  (optional) the exact content of file NAME the run writes
#   expected.absent     (optional) names of files, one a line, that the run must not write
#   lax.out             (optional) for a strict case (env sets TOLVANE_STRICT=1): the
#                       exact standard output of the same run without TOLVANE_STRICT,
#                       which must exit 0
# The run happens in a fresh copy of the case folder.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${CASE}/ DESTINATION ${WORK})
if(EXISTS ${CASE}/scene)
    if(EXISTS ${CASE}/scene.json)
        message(FATAL_ERROR "${CASE}: give scene.json or scene, not both")
    endif()
    file(READ ${CASE}/scene shared)
    string(STRIP "${shared}" shared)
    get_filename_component(scenes ${CMAKE_CURRENT_LIST_DIR}/scenes ABSOLUTE)
    if(NOT EXISTS ${scenes}/${shared}.json)
        message(FATAL_ERROR "${CASE}: no shared scene ${scenes}/${shared}.json")
    endif()
    configure_file(${scenes}/${shared}.json ${WORK}/scene.json COPYONLY)
endif()

set(cmd ${TOOL})
if(EXISTS ${CASE}/args)
    file(READ ${CASE}/args extra)
    string(STRIP "${extra}" extra)
    separate_arguments(extra UNIX_COMMAND "${extra}")
    list(APPEND cmd ${extra})
endif()
if(EXISTS ${CASE}/script.txt)
    list(APPEND cmd script.txt)
endif()

set(env --unset=TOLVANE_DESKTOP --unset=TOLVANE_SIM_LOG --unset=TOLVANE_EVENT_LOG
    --unset=TOLVANE_SEND_TIMEOUT --unset=TOLVANE_STRICT)
if(EXISTS ${WORK}/scene.json)
    list(APPEND env TOLVANE_DESKTOP=${WORK}/scene.json)
endif()
if(EXISTS ${CASE}/expected.log)
    list(APPEND env TOLVANE_SIM_LOG=${WORK}/actual.log)
endif()
if(EXISTS ${CASE}/env)
    file(STRINGS ${CASE}/env extra_env)
    list(APPEND env ${extra_env})
endif()
set(input /dev/null)
if(EXISTS ${CASE}/stdin.txt)
    set(input ${WORK}/stdin.txt)
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E env ${env} ${cmd}
    WORKING_DIRECTORY ${WORK}
    INPUT_FILE ${input}
    OUTPUT_FILE ${WORK}/actual.out
    ERROR_FILE ${WORK}/actual.err
    RESULT_VARIABLE rc
    TIMEOUT 50)

set(failed FALSE)
function(expect_same expected actual)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expected} ${actual}
        RESULT_VARIABLE differ)
    if(differ)
        message(STATUS "MISMATCH: ${actual} differs from ${expected}")
        execute_process(COMMAND diff -u ${expected} ${actual})
        set(failed TRUE PARENT_SCOPE)
    endif()
endfunction()

set(want_rc 0)
if(EXISTS ${CASE}/expected.rc)
    file(READ ${CASE}/expected.rc want_rc)
    string(STRIP "${want_rc}" want_rc)
endif()
if(NOT "${rc}" STREQUAL "${want_rc}")
    message(STATUS "MISMATCH: exit code ${rc}, expected ${want_rc}")
    file(READ ${WORK}/actual.err err)
    message(STATUS "stderr: ${err}")
    set(failed TRUE)
endif()
expect_same(${CASE}/expected.out ${WORK}/actual.out)
if(EXISTS ${CASE}/expected.err)
    expect_same(${CASE}/expected.err ${WORK}/actual.err)
endif()
if(EXISTS ${CASE}/expected.log)
    expect_same(${CASE}/expected.log ${WORK}/actual.log)
endif()
file(GLOB expected_files ${CASE}/expected.file.*)
foreach(f IN LISTS expected_files)
    get_filename_component(fname ${f} NAME)
    string(REGEX REPLACE "^expected\\.file\\." "" target ${fname})
    expect_same(${f} ${WORK}/${target})
endforeach()
if(EXISTS ${CASE}/expected.absent)
    file(STRINGS ${CASE}/expected.absent absent)
    foreach(name IN LISTS absent)
        if(EXISTS ${WORK}/${name})
            message(STATUS "MISMATCH: the run wrote ${name}")
            set(failed TRUE)
        endif()
    endforeach()
endif()
if(EXISTS ${CASE}/lax.out)
    # The same run, not strict: every line is run and the exit code is 0.
    list(FILTER env EXCLUDE REGEX "^TOLVANE_STRICT=")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=TOLVANE_STRICT ${env} ${cmd}
        WORKING_DIRECTORY ${WORK}
        INPUT_FILE ${input}
        OUTPUT_FILE ${WORK}/lax.actual.out
        ERROR_QUIET
        RESULT_VARIABLE lax_rc
        TIMEOUT 50)
    if(NOT "${lax_rc}" STREQUAL "0")
        message(STATUS "MISMATCH: without TOLVANE_STRICT the exit code is ${lax_rc}, expected 0")
        set(failed TRUE)
    endif()
    expect_same(${CASE}/lax.out ${WORK}/lax.actual.out)
endif()
if(failed)
    message(FATAL_ERROR "tool case ${CASE} failed")
endif()
