# The build for a web page (emscripten): included by the top CMakeLists.txt before Qt is found.

# Debian's Qt skips the static platform plugins unless asked for them; without the "wasm" plugin
# the program cannot start.
set(QT_SKIP_AUTO_PLUGIN_INCLUSION OFF)

# emscripten throws C++ exceptions but catches none unless every part is built for catching them;
# the program shows its errors by catching them.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# Modal boxes that run their own event loop, as on the desktop, need asyncify, which rewrites the
# whole program and makes it a third larger; without it they do not block (app/modal_open.cpp).
option(VELLORA_WEB_ASYNCIFY "Run modal boxes in a nested event loop (asyncify)" OFF)
if(VELLORA_WEB_ASYNCIFY)
  add_link_options(-sASYNCIFY)
endif()

# The tests run under Node, whose default stack is too small for the tests' tables; the program
# runs in the page with the memory it grows into.
add_link_options(-sALLOW_MEMORY_GROWTH=1 -sSTACK_SIZE=5MB)
