# Runs GENERATOR with ARGS (comma-separated; <WORKDIR> stands for WORKDIR) and
# fails unless every file of OUTPUTS (comma-separated) written to WORKDIR
# equals the committed one in COMMITTED.
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}")
string(REPLACE "," ";" ARGS "${ARGS}")
string(REPLACE "," ";" OUTPUTS "${OUTPUTS}")
list(TRANSFORM ARGS REPLACE "<WORKDIR>" "${WORKDIR}")
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
