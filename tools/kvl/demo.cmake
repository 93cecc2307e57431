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
