# Wraps the module's JavaScript and the worker's code into one function that
# the page starts as a worker from memory (pages opened from a file may load
# scripts but may not fetch files or start workers from files), and puts the
# module's WebAssembly code beside it as a base64 string: the page compiles it
# while the worker starts, instead of the worker parsing it as part of its
# script and compiling it after.
#   cmake -DMODULE=tavo-web.js -DWORKER=tavo-worker.js -DOUT=tavo-app.js -P bundle.cmake
file(READ ${MODULE} module)
file(READ ${WORKER} worker)
set(prefix "wasmBinaryFile=\"data:application/octet-stream;base64,")
string(FIND "${module}" "${prefix}" at)
if(at LESS 0)
  message(FATAL_ERROR "${MODULE}: no embedded WebAssembly code (build it with -sSINGLE_FILE=1)")
endif()
string(LENGTH "${prefix}" prefix_length)
math(EXPR code_at "${at} + ${prefix_length}")
string(SUBSTRING "${module}" ${code_at} -1 rest)
string(FIND "${rest}" "\"" code_length)
string(SUBSTRING "${rest}" 0 ${code_length} code)
math(EXPR after "${code_length} + 1")
string(SUBSTRING "${rest}" ${after} -1 rest)
string(SUBSTRING "${module}" 0 ${at} head)
# The worker is handed the compiled code (Module.instantiateWasm); the file
# name is never read.
file(WRITE ${OUT} "// Written by web/bundle.cmake from the program's module and web/tavo-worker.js.\n"
                  "function tavoWorkerMain() {\n${head}wasmBinaryFile=\"\"${rest}\n${worker}\n}\n"
                  "var tavoWasmBase64 = \"${code}\";\n")
