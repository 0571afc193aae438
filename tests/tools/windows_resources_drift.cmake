# Fails when the Windows build's checked-in resource files differ from what tarvel-rc writes from
# resources/ now, naming each file that drifted and how to write them again.
#   cmake -DTARVEL_RC=... -DCHECKED_IN=platform/win32/resources -DFRESH=scratch-folder -P this
file(REMOVE_RECURSE ${FRESH})
file(MAKE_DIRECTORY ${FRESH})
execute_process(COMMAND ${TARVEL_RC} ${FRESH} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "tarvel-rc failed (${status})")
endif()

find_program(DIFF diff)
set(drifted "")
foreach(name tarvel.rc tarvel.ico expected_resources.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${CHECKED_IN}/${name} ${FRESH}/${name}
                  RESULT_VARIABLE differs)
  if(differs)
    list(APPEND drifted platform/win32/resources/${name})
    if(DIFF AND NOT name MATCHES "\\.ico$")
      execute_process(COMMAND ${DIFF} -u ${CHECKED_IN}/${name} ${FRESH}/${name})
    endif()
  endif()
endforeach()
if(drifted)
  list(JOIN drifted ", " drifted)
  message(FATAL_ERROR
    "${drifted}: not what tarvel-rc writes from resources/ now. Write them again from the "
    "checkout with\n  cmake --build --preset release --target tarvel-rc && "
    "build/release/tools/tarvel-rc platform/win32/resources\nand commit them.")
endif()
