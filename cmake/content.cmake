# The runnable game folder: the programs, the manifest, the archive and the
# loose data, all made at build time by the host tools from content/.
set(QV_GENERATED "${CMAKE_BINARY_DIR}/generated")
file(MAKE_DIRECTORY "${QV_GENERATED}" "${QUORVANE_GAME_DIR}")

function(qv_host_tool var name)
  set(path "${QUORVANE_HOST_TOOLS}/${name}")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "host tool ${name} missing in ${QUORVANE_HOST_TOOLS}: build tools/ first (scripts/play does)")
  endif()
  set(${var} "${path}" PARENT_SCOPE)
endfunction()

function(qv_install_to_game target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> "${QUORVANE_GAME_DIR}/"
    VERBATIM)
endfunction()

# The program icon (resource 101), drawn by our own tool.
qv_host_tool(QV_ICON_TOOL qvicon)
add_custom_command(OUTPUT "${QV_GENERATED}/quorvane.ico"
  COMMAND "${QV_ICON_TOOL}" "${QV_GENERATED}/quorvane.ico"
  DEPENDS "${QV_ICON_TOOL}" VERBATIM)
add_custom_target(qv_icon DEPENDS "${QV_GENERATED}/quorvane.ico")
include_directories("${QV_GENERATED}")

# Data made at build time by the host tools goes under QV_GEN_CONTENT, each
# generator with a manifest fragment of its own that content/manifest.xml
# takes in with <include path="..."/>. The pack step looks there first, so a
# generated file wins over a source of the same path.
set(QV_GEN_CONTENT "${QV_GENERATED}/content")
file(MAKE_DIRECTORY "${QV_GEN_CONTENT}")

# qv_content_generator(name COMMAND <cmd...> DEPENDS <files...>)
function(qv_content_generator name)
  cmake_parse_arguments(G "" "" "COMMAND;DEPENDS" ${ARGN})
  set(stamp "${QV_GENERATED}/${name}.stamp")
  add_custom_command(OUTPUT "${stamp}"
    COMMAND ${G_COMMAND}
    COMMAND ${CMAKE_COMMAND} -E touch "${stamp}"
    DEPENDS ${G_DEPENDS} VERBATIM)
  # A rule made in another folder is invisible to the pack step: a target
  # carries it across.
  add_custom_target(qv_gen_${name} DEPENDS "${stamp}")
  set_property(GLOBAL APPEND PROPERTY QV_CONTENT_STAMPS "${stamp}")
  set_property(GLOBAL APPEND PROPERTY QV_CONTENT_TARGETS qv_gen_${name})
endfunction()

# Manifest, archive and loose files; called once every generator is known.
function(qv_pack_content)
  qv_host_tool(pack_tool qvpack)
  get_property(stamps GLOBAL PROPERTY QV_CONTENT_STAMPS)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/content/*")
  add_custom_command(OUTPUT "${QV_GENERATED}/content.stamp"
    COMMAND "${pack_tool}" --content "${QV_GEN_CONTENT}" --content "${CMAKE_SOURCE_DIR}/content"
            --manifest "${CMAKE_SOURCE_DIR}/content/manifest.xml" --out "${QUORVANE_GAME_DIR}"
    COMMAND ${CMAKE_COMMAND} -E touch "${QV_GENERATED}/content.stamp"
    DEPENDS "${pack_tool}" ${sources} ${stamps} VERBATIM)
  add_custom_target(qv_content ALL DEPENDS "${QV_GENERATED}/content.stamp")
  get_property(targets GLOBAL PROPERTY QV_CONTENT_TARGETS)
  if(targets)
    add_dependencies(qv_content ${targets})
  endif()
endfunction()
