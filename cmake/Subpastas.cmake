# Adds every sub-folder of the current folder that has a CMakeLists.txt. Without Qt the
# folders of the Qt parts are passed over.
function(tarvo_subpastas)
  file(GLOB _dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir ${_dirs})
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
      get_filename_component(name ${dir} NAME)
      if(NOT TARVO_QT AND name MATCHES "^(components|transicoes|console)$")
        continue()
      endif()
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
