# Run-length sprite kernels (appended to tw_pixel) and their tests.
set(RLE_SIMD_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/rle_sse2.cpp)
tw_simd_sources(SOURCES ${RLE_SIMD_SOURCES})
target_sources(tw_pixel PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/rle_blit.cpp
  ${RLE_SIMD_SOURCES})

tw_unit_tests(rle_blit_tests SOURCES
  ${CMAKE_SOURCE_DIR}/sprite/sprite_test_support.cpp
  rle_blit_test.cpp
  LIBS tw_pixel tw_sprite)
