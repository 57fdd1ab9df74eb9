# Runs GENERATOR with ARGS in WORKDIR (an argument <WORKDIR> stands for it; the
# last argument of the font generator is its output file) and fails unless
# every file in OUTPUTS equals the committed one in COMMITTED.
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}")
list(TRANSFORM ARGS REPLACE "<WORKDIR>" "${WORKDIR}")
list(LENGTH OUTPUTS count)
if(count EQUAL 1 AND NOT ARGS MATCHES "${WORKDIR}")
  list(APPEND ARGS "${WORKDIR}/${OUTPUTS}")
endif()
execute_process(COMMAND "${GENERATOR}" ${ARGS} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "generator failed: ${result}")
endif()
foreach(name IN LISTS OUTPUTS)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORKDIR}/${name}"
                          "${COMMITTED}/${name}" RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${COMMITTED}/${name} is out of date: regenerate and commit it")
  endif()
endforeach()
