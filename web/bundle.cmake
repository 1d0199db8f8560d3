# Wraps the module (built with its .wasm inside) and the worker's code into
# one function that the page starts as a worker from memory: pages opened
# from a file may load scripts but may not fetch files or start workers from
# files.
#   cmake -DMODULE=tavo-web.js -DWORKER=tavo-worker.js -DOUT=tavo-app.js -P bundle.cmake
file(READ ${MODULE} module)
file(READ ${WORKER} worker)
file(WRITE ${OUT} "// Written by web/bundle.cmake from the program's module and web/tavo-worker.js.\n"
                  "function tavoWorkerMain() {\n${module}\n${worker}\n}\n")
