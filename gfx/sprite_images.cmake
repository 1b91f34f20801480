# Sprite image classes: ArleImage and TrleImage draw run-length sprites with the kernels of
# pixel/rle_blit.h.
list(APPEND GFX_SOURCES
  run_length_image.cpp
  arle_image.cpp
  trle_image.cpp)
list(APPEND GFX_TESTS
  sprite_images_test.cpp)
list(APPEND GFX_LIBS tw_pixel tw_sprite)
