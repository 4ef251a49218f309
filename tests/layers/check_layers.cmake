# Builds a file that includes a layer below (must build) and one that includes a layer above (must not),
# both with exactly the include roots the atlas layer gets, and the latter with the mods layer's too.
foreach(target ravelin_layer_downward_include ravelin_layer_upward_include ravelin_layer_mods_upward_include)
  execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BUILD_DIR}" --target ${target}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(built_${target} ${result})
  set(output_${target} "${output}")
endforeach()
if(NOT built_ravelin_layer_downward_include EQUAL 0)
  message(FATAL_ERROR "An include of a layer below does not build:\n${output_ravelin_layer_downward_include}")
endif()
if(built_ravelin_layer_upward_include EQUAL 0)
  message(FATAL_ERROR "An include of a layer above builds: the layers are not enforced")
endif()
if(NOT output_ravelin_layer_upward_include MATCHES "app/settings.h")
  message(FATAL_ERROR "The upward include failed for another reason:\n${output_ravelin_layer_upward_include}")
endif()
if(built_ravelin_layer_mods_upward_include EQUAL 0 OR
   NOT output_ravelin_layer_mods_upward_include MATCHES "app/settings.h")
  message(FATAL_ERROR "The mods layer reaches the program's layer:\n${output_ravelin_layer_mods_upward_include}")
endif()
