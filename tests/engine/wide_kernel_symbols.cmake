# Fails if an object built for a wider instruction set defines code that the
# linker may take for every file's copy (a weak function, or in a Windows
# object a function in a section of its own that the linker keeps one of): a
# processor without those instructions would then run them. Weak data (such as
# the exception personality's reference) holds no instructions. Run with -DNM,
# -DOBJECTS and, for Windows objects, -DOBJDUMP.
set(checked 0)
foreach(object IN LISTS OBJECTS)
  if(NOT object MATCHES "_avx[0-9]*\\.cpp\\.o(bj)?$")
    continue()
  endif()
  math(EXPR checked "${checked} + 1")
  execute_process(COMMAND ${NM} --defined-only -C ${object} OUTPUT_VARIABLE symbols
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${NM} failed on ${object}")
  endif()
  string(REGEX MATCHALL "[^\n]* W [^\n]*" shared "${symbols}")
  if(object MATCHES "\\.obj$")
    execute_process(COMMAND ${OBJDUMP} -h ${object} OUTPUT_VARIABLE sections
                    RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "${OBJDUMP} failed on ${object}")
    endif()
    string(REGEX MATCHALL "\\.text\\$[^ \n]*" own "${sections}")
    list(APPEND shared ${own})
  endif()
  if(shared)
    message(FATAL_ERROR "${object} defines weak functions:\n${shared}")
  endif()
endforeach()
if(checked EQUAL 0)
  message(FATAL_ERROR "no wide kernel objects among ${OBJECTS}")
endif()
message(STATUS "${checked} wide kernel objects define no weak function")
