# The demo content kit: `kvl make-demo` encodes its songs with LAME and writes JPEG textures.
# Only kvl links these; the programs never do.
find_package(JPEG REQUIRED)
find_library(KAVELUNE_MP3LAME_LIBRARY mp3lame REQUIRED)
target_link_libraries(kvl PRIVATE JPEG::JPEG ${KAVELUNE_MP3LAME_LIBRARY})

# The build writes the demo content into the program folder beside the executables, so a fresh
# checkout runs (and its tests read) generated content. It is written again whenever kvl changes.
set(KAVELUNE_DEMO_STAMP ${CMAKE_BINARY_DIR}/demo-content.stamp)
add_custom_command(
  OUTPUT ${KAVELUNE_DEMO_STAMP}
  COMMAND kvl make-demo ${KAVELUNE_PROGRAM_DIR} --quiet
  COMMAND ${CMAKE_COMMAND} -E touch ${KAVELUNE_DEMO_STAMP}
  DEPENDS kvl
  COMMENT "Generating the demo content in ${KAVELUNE_PROGRAM_DIR}"
  VERBATIM)
add_custom_target(demo_content ALL DEPENDS ${KAVELUNE_DEMO_STAMP})
