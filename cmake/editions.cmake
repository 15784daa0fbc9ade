# Every game library (the full edition on Direct3D 9 or OpenGL, the Lite
# edition on DirectDraw) is made the same way: its entry and the program
# icon, a .def file that names RunGame as the one export, the engine device
# and game code it links, and a copy into the game folder.
#
#   qv_game_library(<name> DEF <file.def> SOURCES <entry sources...> LINK <libraries...>)
function(qv_game_library name)
  cmake_parse_arguments(QV "" "DEF" "SOURCES;LINK" ${ARGN})
  if(NOT QV_DEF OR NOT QV_SOURCES)
    message(FATAL_ERROR "qv_game_library(${name}): DEF and SOURCES are required")
  endif()
  add_library(${name} SHARED ${QV_SOURCES} ${QV_DEF})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME "${name}")
  target_link_libraries(${name} PRIVATE ${QV_LINK})
  # The .def file names the one export. On 32-bit Windows RunGame's stdcall
  # name is decorated (RunGame@16): keep the decorated alias out. 64-bit
  # Windows has one calling convention and decorates nothing.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${name} PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
  endif()
  add_dependencies(${name} qv_icon)
  qv_install_to_game(${name})
endfunction()
