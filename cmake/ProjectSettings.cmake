# One interface target carries the language standard, the warnings and the Qt defines;
# every project target links it, third-party code does not.
add_library(qinglan_settings INTERFACE)
target_compile_features(qinglan_settings INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(qinglan_settings INTERFACE -Wall -Wextra -Werror)
# GCC 12 at -O3 reports std::string concatenations with a literal as overlapping copies (a known
# false positive of its restrict analysis); keep the warning visible but not fatal there.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(qinglan_settings INTERFACE -Wno-error=restrict)
endif()
target_compile_definitions(qinglan_settings INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  _FILE_OFFSET_BITS=64)

set(QINGLAN_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined")
if(QINGLAN_SANITIZE)
  target_compile_options(qinglan_settings INTERFACE
    -fsanitize=${QINGLAN_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(qinglan_settings INTERFACE -fsanitize=${QINGLAN_SANITIZE})
endif()

# The fuzz configuration instruments everything for libFuzzer's coverage; only the fuzz targets
# link libFuzzer's main.
option(QINGLAN_BUILD_FUZZ "Build the libFuzzer targets in tests/fuzz (clang only)" OFF)
if(QINGLAN_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz targets need clang: configure with the fuzz preset")
  endif()
  target_compile_options(qinglan_settings INTERFACE -fsanitize=fuzzer-no-link)
endif()
