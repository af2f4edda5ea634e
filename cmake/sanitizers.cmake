# Instrumentation of the sanitizer tree (scripts/sanitize.sh builds it as build-asan):
#   VALVENIX_SANITIZE  AddressSanitizer and UndefinedBehaviorSanitizer on every target; the first
#                      report ends the process, so a test that meets one fails.
#   VALVENIX_FUZZ      coverage for libFuzzer on every target, and the fuzz targets of fuzz/ (clang).
option(VALVENIX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VALVENIX_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

if(VALVENIX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
                        -gline-tables-only)
    add_link_options(-fsanitize=address,undefined)
endif()

if(VALVENIX_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "the fuzz targets need clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
