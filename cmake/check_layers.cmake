# Checks that every file under src/ includes only headers of the layers its
# own layer may use, as declared in cmake/layers.cmake. Run as
#   cmake [-DGORV_SOURCE_DIR=<dir holding src/>] -P cmake/check_layers.cmake
# It names the file, the line and the forbidden layer of every offending
# include, and fails if there is any.

cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/layer_table.cmake)
if(NOT GORV_SOURCE_DIR)
  get_filename_component(GORV_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
endif()
set(src ${GORV_SOURCE_DIR}/src)

set(problems 0)
macro(report text)
  message("${text}")
  math(EXPR problems "${problems} + 1")
endmacro()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${src} ${src}/*)
list(SORT files)
foreach(file IN LISTS files)
  if(NOT file MATCHES "^([^/]+)/")
    report("src/${file}: lies in no layer directory")
    continue()
  endif()
  set(layer ${CMAKE_MATCH_1})
  if(NOT layer IN_LIST GORV_LAYERS)
    report("src/${file}: src/${layer}/ is not a layer of cmake/layers.cmake")
    continue()
  endif()
  set(allowed ${GORV_LAYER_${layer}_ALLOWED})

  # One list element per line: the characters CMake's lists treat specially
  # are replaced first, and the lines holding includes do not need them.
  file(READ ${src}/${file} text)
  string(REGEX REPLACE "[][;\\\\]" "_" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([\"<])([^\">]*)[\">]")
      continue()
    endif()
    set(quote ${CMAKE_MATCH_1})
    set(header ${CMAKE_MATCH_2})
    if(header MATCHES "^([^/]+)/")
      set(used ${CMAKE_MATCH_1})
    elseif(quote STREQUAL "\"")
      report("src/${file}:${number}: #include \"${header}\" names no layer directory")
      continue()
    else()
      continue()  # a system header
    endif()
    if(NOT used IN_LIST GORV_LAYERS)
      if(quote STREQUAL "\"")
        report("src/${file}:${number}: #include \"${header}\": ${used} is not a layer")
      endif()
      continue()
    endif()
    if(NOT used IN_LIST allowed)
      string(REPLACE ";" " " may "${allowed}")
      report("src/${file}:${number}: #include \"${header}\": layer ${layer} may not use layer ${used} (only ${may})")
    endif()
  endforeach()
endforeach()

list(LENGTH files count)
if(problems GREATER 0)
  message(FATAL_ERROR "${problems} include(s) break the layering (${count} files checked)")
endif()
message(STATUS "Includes of ${count} files follow the layers of cmake/layers.cmake")
