# kestrel_gl brings OpenGL 1.1 and GLU on either platform; kestrel_egl adds the
# offscreen EGL context that the Linux tests and the command line draw into.
add_library(kestrel_gl INTERFACE)
if(WIN32)
    target_link_libraries(kestrel_gl INTERFACE opengl32 glu32)
else()
    set(OpenGL_GL_PREFERENCE GLVND)
    find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)
    find_library(GLU_LIBRARY GLU REQUIRED)
    target_link_libraries(kestrel_gl INTERFACE ${GLU_LIBRARY} OpenGL::OpenGL)
    add_library(kestrel_egl INTERFACE)
    target_link_libraries(kestrel_egl INTERFACE OpenGL::EGL kestrel_gl)
endif()
