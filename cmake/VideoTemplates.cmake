# The Video CD and Super Video CD templates: written by a small tool over the
# library into ONDRELLE_TEMPLATE_DIR (beside the wizard), and copied beside
# every other executable that burns, since the library reads them from the
# folder of the running program. cmake/Install.cmake installs them.
add_executable(emberline-make-video-templates ${CMAKE_SOURCE_DIR}/emberline/tools/make_video_templates.cpp)
target_link_libraries(emberline-make-video-templates PRIVATE emberline-internal)
ondrelle_warnings(emberline-make-video-templates)

set(ondrelle_templates Emberline_VideoCD.iso Emberline_SuperVideoCD.iso)
set(ondrelle_template_copies ${CMAKE_BINARY_DIR}/cli)
if(ONDRELLE_BUILD_TESTS)
  list(APPEND ondrelle_template_copies ${CMAKE_BINARY_DIR}/tests)
endif()

set(outputs)
set(copy_commands)
foreach(name ${ondrelle_templates})
  list(APPEND outputs ${ONDRELLE_TEMPLATE_DIR}/${name})
  foreach(folder ${ondrelle_template_copies})
    list(APPEND outputs ${folder}/${name})
    list(APPEND copy_commands COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
         COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ONDRELLE_TEMPLATE_DIR}/${name} ${folder}/${name})
  endforeach()
endforeach()
add_custom_command(OUTPUT ${outputs}
  COMMAND emberline-make-video-templates ${ONDRELLE_TEMPLATE_DIR}
  ${copy_commands}
  DEPENDS emberline-make-video-templates
  COMMENT "Writing the Video CD and Super Video CD templates")
add_custom_target(video-templates ALL DEPENDS ${outputs})

# Building a program or a test suite that burns brings its templates along.
foreach(target ondrelle ondrelle-cli emberline-video-tests emberline-api-tests emberline-write-tests emberline-verify-tests engine-tests gui-tests)
  if(TARGET ${target})
    add_dependencies(${target} video-templates)
  endif()
endforeach()
