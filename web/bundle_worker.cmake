# Wraps the module and the worker's driver into one function, tesvaneWorkerMain, that the page
# loads with a script tag and starts as a worker from its own text: a page opened from a local
# folder may not fetch the worker's script, but may start a worker from a blob.
# Run as cmake -DMODULE=tesvane.js -DDRIVER=tesvane_worker.js -DOUT=bundle.js -P bundle_worker.cmake
file(READ ${MODULE} _module)
file(READ ${DRIVER} _driver)
file(WRITE ${OUT} "function tesvaneWorkerMain() {\n${_module}\n${_driver}\n}\n")
