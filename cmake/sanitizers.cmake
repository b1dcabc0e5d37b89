# Sanitized builds for the pre-release checks: LOOPWREN_SANITIZE=address,undefined or thread.
# Everything of ours is compiled and linked with it; Qt and the system libraries stay as they are.
set(LOOPWREN_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined or thread")

if(LOOPWREN_SANITIZE)
    # Frame pointers give whole stacks in reports; -O1 keeps the instrumented suite fast enough to run
    # while still showing real lines.
    set(flags -fsanitize=${LOOPWREN_SANITIZE} -fno-omit-frame-pointer -g -O1)
    if(LOOPWREN_SANITIZE MATCHES "undefined")
        # Undefined behaviour stops the test that caused it instead of printing and going on.
        list(APPEND flags -fno-sanitize-recover=undefined)
    endif()
    add_compile_options(${flags})
    add_link_options(-fsanitize=${LOOPWREN_SANITIZE})
endif()
