# Build conventions shared by every subsystem directory.
#
#   tw_library(NAME SOURCES ... [WIN32_SOURCES ...] [LIBS ...])
#       A static library. WIN32_SOURCES are compiled only for the target:
#       the classes that call the window system, GDI, the registry, ...
#   tw_unit_tests(NAME SOURCES ... [WIN32_SOURCES ...] [LIBS ...])
#       A googletest executable and its CTest entry. On the host it runs under
#       the sanitizers; built for the target it runs under Wine.
#   tw_simd_sources(SOURCES ... [SSSE3_SOURCES ...])
#       Marks files that use MMX/SSE2 (or SSSE3) intrinsics; the code in them
#       must only run after a CPUID check.
#   tw_fuzzer(NAME SOURCES ... [LIBS ...])  (TW_FUZZ builds only)
#   tw_benchmark(NAME SOURCES ... [LIBS ...])  (TW_BENCH builds only)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(TW_TEST_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

include(${CMAKE_CURRENT_LIST_DIR}/config_values.cmake)

add_library(tw_options INTERFACE)
# Sources include by their path from the top ("scene/config.h"), the
# generated includes too ("scene/config_values.h").
target_include_directories(tw_options INTERFACE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_compile_options(tw_options INTERFACE -Wall -Wextra -Wno-unused-parameter)

if(WIN32)
  target_compile_definitions(tw_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX
                             _WIN32_WINNT=0x0501 WINVER=0x0501)
  target_link_options(tw_options INTERFACE -static -static-libgcc -static-libstdc++)
else()
  if(TW_SANITIZE)
    target_compile_options(tw_options INTERFACE -fsanitize=address,undefined
                           -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(tw_options INTERFACE -fsanitize=address,undefined)
  endif()
endif()
if(TW_FUZZ)
  target_compile_options(tw_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                         -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(tw_options INTERFACE -fsanitize=address,undefined)
endif()

function(tw_library name)
  cmake_parse_arguments(A "" "" "SOURCES;WIN32_SOURCES;LIBS" ${ARGN})
  set(srcs ${A_SOURCES})
  if(WIN32)
    list(APPEND srcs ${A_WIN32_SOURCES})
  endif()
  add_library(${name} STATIC ${srcs})
  target_link_libraries(${name} PUBLIC tw_options ${A_LIBS})
endfunction()

function(tw_simd_sources)
  cmake_parse_arguments(A "" "" "SOURCES;SSSE3_SOURCES" ${ARGN})
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86|x86_64|AMD64)$")
    set_source_files_properties(${A_SOURCES} PROPERTIES COMPILE_OPTIONS "-mmmx;-msse2")
    set_source_files_properties(${A_SSSE3_SOURCES} PROPERTIES COMPILE_OPTIONS "-mmmx;-mssse3")
  endif()
endfunction()

if(NOT TW_FUZZ)
  find_package(GTest REQUIRED)
endif()

function(tw_unit_tests name)
  cmake_parse_arguments(A "" "" "SOURCES;WIN32_SOURCES;LIBS" ${ARGN})
  if(TW_FUZZ OR TW_BENCH)
    return()
  endif()
  set(srcs ${A_SOURCES})
  if(WIN32)
    list(APPEND srcs ${A_WIN32_SOURCES})
  endif()
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE tw_options ${A_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TW_TEST_OUTPUT_DIRECTORY})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
endfunction()

function(tw_fuzzer name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TW_FUZZ)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE tw_options ${A_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
endfunction()

function(tw_benchmark name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TW_BENCH)
    return()
  endif()
  find_package(benchmark REQUIRED)
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE tw_options ${A_LIBS} benchmark::benchmark)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/benchmarks)
endfunction()
