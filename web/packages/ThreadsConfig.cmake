# The WebAssembly build runs every command on one thread (-j has no effect).
if(NOT TARGET Threads::Threads)
  add_library(Threads::Threads INTERFACE IMPORTED)
endif()
set(Threads_FOUND TRUE)
