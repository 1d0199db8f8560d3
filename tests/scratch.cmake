# cmake -DDIR=... -DMODE=setup|check -P scratch.cmake
# setup: an empty folder for the tests' TMPDIR. check: after the tests, the
# folder must be empty again; whatever is left is named, then removed.
if(MODE STREQUAL "setup")
  file(REMOVE_RECURSE ${DIR})
  file(MAKE_DIRECTORY ${DIR})
  return()
endif()
file(GLOB left RELATIVE ${DIR} ${DIR}/*)
file(REMOVE_RECURSE ${DIR})
if(left)
  list(JOIN left "\n  " names)
  message(FATAL_ERROR "the tests left in their temporary folder:\n  ${names}")
endif()
