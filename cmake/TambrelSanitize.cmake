# TAMBREL_SANITIZE=ON builds everything (libraries, program, tests) under AddressSanitizer and
# UndefinedBehaviorSanitizer. It is meant for a build folder of its own: the tests then fail on a
# stray read or write, a leak, or undefined behaviour, rather than on a wrong answer only.
# Optimisation stays low so that reports point at the right lines, but not off, so that the
# tests still run in reasonable time.
option(TAMBREL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(TAMBREL_SANITIZE)
  set(TAMBREL_SANITIZER_FLAGS
      -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  # Compile options come after the build type's flags, so -O1 replaces its -O2.
  add_compile_options(-O1 ${TAMBREL_SANITIZER_FLAGS})
  add_link_options(${TAMBREL_SANITIZER_FLAGS})
endif()
