# Each library exposes only its own folder: "serial/X.h" is found through a
# folder of the build tree that holds nothing but a link named serial to the
# sources' serial/. A layer that includes one above it, which it does not
# link, then fails to build instead of compiling by accident.
#
# marrowlink_include_folder(<target> <folder>)
function(marrowlink_include_folder target folder)
  string(REPLACE "/" "_" root_name ${folder})
  set(root ${CMAKE_BINARY_DIR}/include/${root_name})
  set(link ${root}/${folder})
  if(NOT IS_SYMLINK ${link})
    get_filename_component(parent ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${link} SYMBOLIC RESULT failed)
    if(failed)
      # Windows without the right to make links: the build works, unguarded.
      message(STATUS "No include link for ${folder} (${failed}); layers are not checked")
      set(root ${PROJECT_SOURCE_DIR})
    endif()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
