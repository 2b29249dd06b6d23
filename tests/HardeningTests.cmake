# Hardening tests: allocation failure, calls on many threads, input that must not hang.

add_library(korvan_hardening_support STATIC HardeningSupport.cpp)
target_include_directories(korvan_hardening_support PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}")
target_link_libraries(korvan_hardening_support PUBLIC KorvanCalcValueProvider::KorvanCalcValueProvider)
korvan_apply_warnings(korvan_hardening_support)

# Replaces the global operator new for the whole program, so it gets a program of its own; the
# library is linked as a host links it, and its allocations come to the replacement too. It runs on
# one thread, and ThreadSanitizer's runtime, which defines operator new itself, cannot link it. On
# Windows a program's operator new replaces only its own: the DLL allocates through the C++
# runtime DLL, out of the replacement's reach.
if(NOT KORVAN_SANITIZE MATCHES "thread" AND NOT WIN32)
  add_executable(korvan_allocation_failure_test AllocationFailureTest.cpp FailingAllocator.cpp)
  target_link_libraries(korvan_allocation_failure_test PRIVATE korvan_hardening_support
                                                               GTest::gtest_main)
  korvan_apply_warnings(korvan_allocation_failure_test)
  gtest_discover_tests(korvan_allocation_failure_test DISCOVERY_TIMEOUT 60)
endif()

add_executable(korvan_hardening_tests NoHangTest.cpp ConcurrencyTest.cpp)
find_package(Threads REQUIRED)
target_link_libraries(korvan_hardening_tests PRIVATE korvan_hardening_support GTest::gtest_main
                                                     Threads::Threads)
korvan_apply_warnings(korvan_hardening_tests)
# A hang is a failure: every one of these calls must return at once, sanitizers or not.
gtest_discover_tests(korvan_hardening_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60)

# Not a test: prints the outcome of a fixed set of calls bit for bit, for tools/compare-builds.sh.
add_executable(korvan_same_bits_dump SameBitsDump.cpp)
target_link_libraries(korvan_same_bits_dump PRIVATE korvan_hardening_support)
korvan_apply_warnings(korvan_same_bits_dump)

# Hosts that break the threading rule: other threads scribble on, or solve, the array a call is
# solving. Racy on purpose, so ThreadSanitizer would only report what the test sets out to do.
if(NOT KORVAN_SANITIZE MATCHES "thread")
  add_executable(korvan_race_tests RaceTest.cpp)
  target_link_libraries(korvan_race_tests PRIVATE KorvanCalcValueProvider::KorvanCalcValueProvider
                                                  GTest::gtest_main Threads::Threads)
  korvan_apply_warnings(korvan_race_tests)
  gtest_discover_tests(korvan_race_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endif()
