# Reads cmake/layers.cmake into variables, for the build and for the include
# check alike:
#   GORV_LAYERS                every layer, lowest first
#   GORV_LAYER_<name>_DEPS     the layers it links directly
#   GORV_LAYER_<name>_ALLOWED  itself and every layer below it that it may use
#   GORV_MODES                 the mode layers

function(gorv_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "MODE" "" "DEPS")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "gorv_layer(${name}): unexpected ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(name IN_LIST GORV_LAYERS)
    message(FATAL_ERROR "gorv_layer(${name}): declared twice")
  endif()
  set(deps "")
  set(allowed ${name})
  foreach(dep IN LISTS arg_DEPS)
    if(dep STREQUAL "MODES")
      list(APPEND deps ${GORV_MODES})
    elseif(dep IN_LIST GORV_LAYERS)
      list(APPEND deps ${dep})
    else()
      message(FATAL_ERROR "gorv_layer(${name}): ${dep} is not a layer declared before it")
    endif()
  endforeach()
  foreach(dep IN LISTS deps)
    list(APPEND allowed ${GORV_LAYER_${dep}_ALLOWED})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set(GORV_LAYER_${name}_DEPS ${deps} PARENT_SCOPE)
  set(GORV_LAYER_${name}_ALLOWED ${allowed} PARENT_SCOPE)
  set(GORV_LAYERS ${GORV_LAYERS} ${name} PARENT_SCOPE)
  if(arg_MODE)
    set(GORV_MODES ${GORV_MODES} ${name} PARENT_SCOPE)
  endif()
endfunction()

set(GORV_LAYERS "")
set(GORV_MODES "")
include(${CMAKE_CURRENT_LIST_DIR}/layers.cmake)
