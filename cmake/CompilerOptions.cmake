# Warnings are errors for both g++ and clang++.
add_compile_options(
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wcast-qual -Wformat=2 -Wimplicit-fallthrough -Werror)

# Fuzzing builds instrument every library for coverage, so that libFuzzer learns from the code it
# reaches, not only from the target's own file.
if(TAMARIND_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(TAMARIND_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# Adds a GoogleTest executable and registers its cases with CTest.
function(tamarind_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "TAMARIND_TEST=1")
endfunction()

# Fuzz builds: libFuzzer's coverage in every library a target links, not only in the target itself.
if(TAMARIND_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
