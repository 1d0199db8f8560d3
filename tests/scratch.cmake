# cmake -DDIR=... [-DRUNTIME=...] [-DWELLS=...] -DMODE=setup|check -P scratch.cmake
# setup: an empty folder for the tests' TMPDIR, a private runtime folder
# for Qt, and no well database left from the run before. check: after the tests, DIR must be empty again; whatever is left
# is named, then removed.
if(MODE STREQUAL "setup")
  file(REMOVE_RECURSE ${DIR})
  file(MAKE_DIRECTORY ${DIR})
  if(WELLS)
    file(REMOVE_RECURSE ${WELLS})
  endif()
  if(RUNTIME)
    file(MAKE_DIRECTORY ${RUNTIME})
    file(CHMOD ${RUNTIME} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  endif()
  return()
endif()
file(GLOB left RELATIVE ${DIR} ${DIR}/*)
file(REMOVE_RECURSE ${DIR})
if(left)
  list(JOIN left "\n  " names)
  message(FATAL_ERROR "the tests left in their temporary folder:\n  ${names}")
endif()
