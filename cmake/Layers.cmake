# The program's layers: log <- devices <- engine <- cli / app. A layer is a
# static library of one folder; an include of a higher layer's header stops
# the configuration with the file and the line that broke the order.

function(ondrelle_check_layer folder forbidden)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h)
  foreach(file IN LISTS files)
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      foreach(higher IN LISTS forbidden)
        if(line MATCHES "\"${higher}/")
          message(FATAL_ERROR "${file}: ${folder}/ may not include a header of ${higher}/ (${line})")
        endif()
      endforeach()
    endforeach()
  endforeach()
endfunction()

# ondrelle_layer(target folder "higher;folders" dependencies...)
function(ondrelle_layer target folder forbidden)
  if(NOT "${forbidden}" STREQUAL "")
    ondrelle_check_layer(${folder} "${forbidden}")
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARGN})
  target_compile_definitions(${target} PUBLIC ONDRELLE_VERSION="${PROJECT_VERSION}")
  ondrelle_warnings(${target})
  ondrelle_qt_pch(${target})
endfunction()
