# Third-party libraries, cross-built once by scripts/lib.sh into QUORVANE_DEPS.
if(NOT QUORVANE_DEPS OR NOT EXISTS "${QUORVANE_DEPS}/lib/libtinyxml.a")
  message(FATAL_ERROR "QUORVANE_DEPS does not hold the cross-built libraries: run scripts/test or scripts/play")
endif()

function(qv_import name file)
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES
    IMPORTED_LOCATION "${QUORVANE_DEPS}/lib/${file}"
    INTERFACE_INCLUDE_DIRECTORIES "${QUORVANE_DEPS}/include")
endfunction()

qv_import(dep_tinyxml libtinyxml.a)
qv_import(dep_png libpng16.a)
qv_import(dep_jpeg libjpeg.a)
qv_import(dep_ogg libogg.a)
qv_import(dep_vorbis libvorbis.a)
qv_import(dep_vorbisfile libvorbisfile.a)
find_library(ZLIB_STATIC NAMES libz.a z REQUIRED)
add_library(dep_z STATIC IMPORTED GLOBAL)
set_target_properties(dep_z PROPERTIES IMPORTED_LOCATION "${ZLIB_STATIC}")
set_property(TARGET dep_png APPEND PROPERTY INTERFACE_LINK_LIBRARIES dep_z)
set_property(TARGET dep_vorbis APPEND PROPERTY INTERFACE_LINK_LIBRARIES dep_ogg)
set_property(TARGET dep_vorbisfile APPEND PROPERTY INTERFACE_LINK_LIBRARIES dep_vorbis)
