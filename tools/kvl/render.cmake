# `kvl render` draws through the offscreen context with the fixed-function GL.
set(OpenGL_GL_PREFERENCE GLVND)
find_package(OpenGL REQUIRED)
target_link_libraries(kvl PRIVATE OpenGL::GL)
