# The demo content kit: `kvl make-demo` encodes its songs with LAME and writes JPEG textures.
# Only kvl links these; the programs never do.
find_package(JPEG REQUIRED)
find_library(KAVELUNE_MP3LAME_LIBRARY mp3lame REQUIRED)
target_link_libraries(kvl PRIVATE JPEG::JPEG ${KAVELUNE_MP3LAME_LIBRARY})
