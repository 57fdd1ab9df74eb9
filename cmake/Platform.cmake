# Platform settings: 32-bit Windows builds use SSE2 arithmetic and stand alone
# (no runtime DLLs of the compiler); sanitizer builds instrument every target.
if(WIN32)
  add_compile_options(-msse2 -mfpmath=sse)
  add_link_options(-static-libgcc -static-libstdc++ -static)
endif()

set(QS_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined or thread")
if(QS_SANITIZE)
  add_compile_options(-fsanitize=${QS_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${QS_SANITIZE})
endif()
