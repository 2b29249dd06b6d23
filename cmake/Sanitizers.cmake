# Sanitizer builds: every target of the project, the library and its tests alike, is instrumented,
# and the first finding ends the program rather than being reported and passed over.
#   KORVAN_SANITIZE=address,undefined   AddressSanitizer (LeakSanitizer included) and UBSan
#   KORVAN_SANITIZE=thread              ThreadSanitizer
set(KORVAN_SANITIZE "" CACHE STRING "Sanitizers to build every target with (Clang or GCC)")

if(KORVAN_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "KORVAN_SANITIZE needs GCC or Clang")
  endif()
  add_compile_options(-fsanitize=${KORVAN_SANITIZE} -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${KORVAN_SANITIZE})
endif()
