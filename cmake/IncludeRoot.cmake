# kestrel_include_root(target): the target's sources are included as
# "folder/File.h" by whoever links the target, and only by them: the include
# root of each folder holds that folder alone (a link to it), so a layer that
# includes what it does not link fails to build.
function(kestrel_include_root target)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    set(root ${PROJECT_BINARY_DIR}/include-roots/${folder})
    cmake_path(GET folder PARENT_PATH parent)
    file(MAKE_DIRECTORY ${root}/${parent})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} PUBLIC ${root})
endfunction()
