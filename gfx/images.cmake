# Image classes: palettes and the quantiser, the image family and its clip region, bitmap
# conversion, the graphics system; the GDI-backed surfaces and the display on the target.
list(APPEND GFX_SOURCES
  dib_layout.cpp
  palette.cpp
  colour_quantiser.cpp
  graphics_system.cpp
  clip_region.cpp
  blit_geometry.cpp
  pixel_ops.cpp
  image.cpp
  packed_dib_image.cpp
  bitmap_conversion.cpp)
list(APPEND GFX_WIN32_SOURCES
  palette_win32.cpp
  dib_surface.cpp
  window_surface.cpp
  display.cpp
  screen_masks.cpp)
list(APPEND GFX_TESTS
  image_test_support.cpp
  dib_layout_test.cpp
  palette_test.cpp
  colour_quantiser_test.cpp
  image_test.cpp
  packed_dib_image_test.cpp
  bitmap_conversion_test.cpp)
list(APPEND GFX_WIN32_TESTS
  window_test_support.cpp
  palette_win32_test.cpp
  dib_surface_test.cpp
  window_surface_test.cpp
  display_test.cpp)
list(APPEND GFX_LIBS tw_pixel tw_sprite)
