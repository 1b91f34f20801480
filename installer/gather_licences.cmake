# Collects the licence texts the installer ships, from the Debian packages'
# copyright files of the libraries we build in, into OUT (a folder):
#   cmake -DOUT=dir -DMPADEC=path/to/mpadec.dll -P gather_licences.cmake
# libjpeg-turbo's and zlib's are required; libmpg123's (with the LGPL 2.1
# it refers to) is taken only when mpadec.dll exists.
file(MAKE_DIRECTORY ${OUT})

function(take from to)
  if(NOT EXISTS ${from})
    message(FATAL_ERROR "licence text missing: ${from}")
  endif()
  configure_file(${from} ${OUT}/${to} COPYONLY)
endfunction()

take(/usr/share/doc/libjpeg62-turbo/copyright libjpeg-turbo.txt)
take(/usr/share/doc/libz-mingw-w64/copyright zlib.txt)
file(REMOVE ${OUT}/libmpg123.txt ${OUT}/LGPL-2.1.txt)
if(EXISTS "${MPADEC}")
  take(/usr/share/doc/libmpg123-0/copyright libmpg123.txt)
  take(/usr/share/common-licenses/LGPL-2.1 LGPL-2.1.txt)
endif()
