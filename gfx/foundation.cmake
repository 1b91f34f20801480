# Foundation utilities: lists, strings, the debug log, the scene's random
# generator, page prefaulting, the memory blocks, and the target-only helpers
# over files, resources, temporary names and the registry.
list(APPEND GFX_SOURCES
  list.cpp
  text_string.cpp
  debug_log.cpp
  random_below.cpp
  prefault.cpp
  memory_block.cpp
  wrapped_memory_block.cpp
  global_memory_block.cpp)
list(APPEND GFX_WIN32_SOURCES
  file_mapping_block.cpp
  resource_block.cpp
  make_temp_file_name.cpp
  write_block_to_file.cpp
  read_reg.cpp)
list(APPEND GFX_TESTS
  list_test.cpp
  text_string_test.cpp
  debug_log_test.cpp
  random_below_test.cpp
  prefault_test.cpp
  memory_block_test.cpp)
list(APPEND GFX_WIN32_TESTS
  file_test_support.cpp
  file_mapping_block_test.cpp
  resource_block_test.cpp
  resource_block_test.rc
  make_temp_file_name_test.cpp
  write_block_to_file_test.cpp
  read_reg_test.cpp)
