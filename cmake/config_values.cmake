# The saver's configuration as every program and script knows it: the
# registry keys, the names of its values and what a new user gets on the first
# run. From these lists CMake writes three includes into generated/ of the
# build tree, so that no other file spells them:
#   generated/scene/config_values.h   C++ (scene/config.h includes it)
#   generated/config_values.nsh       the installer script
#   generated/config_values.sh        the shell helpers (tests/support/wine.sh)

# The maker's key, the product's key under it (the installer takes both away
# again) and the configuration key of this version.
set(TW_MAKER_KEY "SOFTWARE\\Quillmoor")
set(TW_PRODUCT_KEY "${TW_MAKER_KEY}\\Tidewater")
set(TW_CONFIG_KEY "${TW_PRODUCT_KEY}\\1.00\\Config")

# Pairs: the C++ constant's stem (k<Stem>Value), the stored name.
set(TW_CONFIG_VALUES
    DataPath DATAPATH
    Display DISPLAY
    CustomFile CUSTOMFILE
    Mute MUTE
    Fishes FISHES
    CustomText CUSTOMTEXT
    Font FONT
    FontColour FONTCOLOR
    FillScreen FILLSCREEN
    Volume VOLUME
    SoundMinutes SOUNDMINUTES
    SoundChange SOUNDCHANGE
    Clock CLOCK
    SameScene SAMESCENE)

# Pairs: a stored name, the 32-bit number the installer writes for a user who
# has no such value yet. Every species, a random stock scene, each monitor
# covered edge to edge.
set(TW_FIRST_RUN_VALUES
    FISHES 0x1FFFF
    DISPLAY 9
    FILLSCREEN 2)

# tw_split_pairs(PAIRS FIRSTS SECONDS): the first and the second items of the
# pairs in the list variable PAIRS, as two lists.
function(tw_split_pairs pairs firsts seconds)
  list(LENGTH ${pairs} count)
  math(EXPR odd "${count} % 2")
  if(odd)
    message(FATAL_ERROR "${pairs} is not a list of pairs")
  endif()
  set(a "")
  set(b "")
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET ${pairs} ${i} first)
    list(GET ${pairs} ${j} second)
    list(APPEND a ${first})
    list(APPEND b ${second})
  endforeach()
  set(${firsts} ${a} PARENT_SCOPE)
  set(${seconds} ${b} PARENT_SCOPE)
endfunction()

function(tw_write_config_includes)
  set(dir ${CMAKE_BINARY_DIR}/generated)
  string(REPLACE "\\" "\\\\" TW_CONFIG_KEY_CXX "${TW_CONFIG_KEY}")

  tw_split_pairs(TW_CONFIG_VALUES stems names)
  set(TW_VALUE_NAMES_CXX "")
  set(TW_VALUE_NAMES_NSH "")
  foreach(stem name IN ZIP_LISTS stems names)
    string(APPEND TW_VALUE_NAMES_CXX "constexpr const char* k${stem}Value = \"${name}\";\n")
    string(APPEND TW_VALUE_NAMES_NSH "!define VALUE_${name} \"${name}\"\n")
  endforeach()
  list(JOIN names " " TW_VALUE_NAMES_SH)

  tw_split_pairs(TW_FIRST_RUN_VALUES first_run_names numbers)
  set(TW_FIRST_RUN_CXX "")
  set(TW_FIRST_RUN_NSH "")
  foreach(name number IN ZIP_LISTS first_run_names numbers)
    list(FIND names ${name} at)
    if(at LESS 0)
      message(FATAL_ERROR "first-run value ${name} is not one of TW_CONFIG_VALUES")
    endif()
    list(GET stems ${at} stem)
    string(APPEND TW_FIRST_RUN_CXX "    {k${stem}Value, ${number}},\n")
    string(APPEND TW_FIRST_RUN_NSH "  !insertmacro FirstRunNumber \"${name}\" ${number}\n")
  endforeach()
  list(JOIN TW_FIRST_RUN_VALUES " " TW_FIRST_RUN_SH)

  configure_file(${CMAKE_SOURCE_DIR}/scene/config_values.h.in ${dir}/scene/config_values.h @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/installer/config_values.nsh.in ${dir}/config_values.nsh
                 @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/tests/support/config_values.sh.in ${dir}/config_values.sh
                 @ONLY)
endfunction()

tw_write_config_includes()
