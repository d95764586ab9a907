# SPDX-License-Identifier: GPL-3.0-or-later
# Checking builds, both off by default; included before any target exists so
# that the flags reach every library, program and test.
#
# RAVNO_SANITIZE: AddressSanitizer and UndefinedBehaviorSanitizer over the
#   whole build (g++ or clang). Any report ends the program that made it, so
#   a sanitizer finding fails its test. .ci/run builds it in build-asan.
# RAVNO_FUZZ: the libFuzzer programs fuzz_<target> in fuzz/, with the same
#   sanitizers. Needs clang and its runtime libraries; on Debian 12:
#     apt-get install clang libclang-rt-14-dev
#   and configure with -DCMAKE_CXX_COMPILER=clang++. fuzz/run-short does it all.

if(RAVNO_SANITIZE OR RAVNO_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(RAVNO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "RAVNO_FUZZ needs clang with libFuzzer "
                        "(Debian: apt-get install clang libclang-rt-14-dev); "
                        "configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  # Coverage for the fuzzer everywhere; only the fuzz programs link its main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
