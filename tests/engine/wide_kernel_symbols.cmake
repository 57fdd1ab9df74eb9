# Fails if an object built for a wider instruction set defines a symbol that
# the linker may take for every file's copy (weak or unique): a processor
# without those instructions would then run them. Run with -DNM and -DOBJECTS.
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
  string(REGEX MATCHALL "[^\n]* [WVu] [^\n]*" shared "${symbols}")
  if(shared)
    message(FATAL_ERROR "${object} defines shared symbols:\n${shared}")
  endif()
endforeach()
if(checked EQUAL 0)
  message(FATAL_ERROR "no wide kernel objects among ${OBJECTS}")
endif()
message(STATUS "${checked} wide kernel objects define no shared symbols")
