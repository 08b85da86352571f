# The program's layers: each folder of src/ named in SONICLOOM_LAYER_ORDER is
# one static library, layer_<name> ("ui/pages" gives layer_ui_pages), that
# links the layer directly below it and nothing above.
#
# The headers are kept in step with the libraries: a layer compiles against
# an include root of its own (build/layer_include/<name>/) that holds links
# to its own folder and to the folders of the layers below, so
# "#include "files/..."" works as everywhere else while an include of a higher
# layer fails with "No such file or directory".

set(SONICLOOM_LAYER_ORDER platform core files dsp wavetable formats modules audio update ui ui/pages)
set(SONICLOOM_LAYER_INCLUDE_DIR ${CMAKE_BINARY_DIR}/layer_include)
set_property(GLOBAL PROPERTY SONICLOOM_LAYER_TARGETS "")
set_property(GLOBAL PROPERTY SONICLOOM_LAYERS_BUILT "")

function(sonicloom_layer_target layer out)
  string(REPLACE "/" "_" id ${layer})
  set(${out} layer_${id} PARENT_SCOPE)
endfunction()

# sonicloom_include_root(<root folder> <folder of src/>...): a folder of
# links to the named folders of src/. A named folder that holds a layer not
# named (ui/ holds ui/pages/) gets a folder of links to its other entries.
function(sonicloom_include_root root)
  set(shown ${ARGN})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  foreach(folder ${shown})
    if(folder MATCHES "/")
      continue()  # shown through its parent
    endif()
    set(hidden)
    foreach(layer ${SONICLOOM_LAYER_ORDER})
      if(layer MATCHES "^${folder}/" AND NOT layer IN_LIST shown)
        list(APPEND hidden ${CMAKE_SOURCE_DIR}/src/${layer})
      endif()
    endforeach()
    if(NOT hidden)
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
      continue()
    endif()
    # CONFIGURE_DEPENDS: a file added later is linked at the next build.
    file(GLOB entries LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*)
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(entry ${entries})
      if(NOT entry IN_LIST hidden)
        get_filename_component(name ${entry} NAME)
        file(CREATE_LINK ${entry} ${root}/${folder}/${name} SYMBOLIC)
      endif()
    endforeach()
  endforeach()
endfunction()

# sonicloom_layer(<name> [EXCLUDE <subfolder>...]): the layer library of
# src/<name>/, all .cpp files of the folder and its subfolders except those of
# other layers (ui/pages/ is not part of ui) and the excluded subfolders. The
# layers must be declared bottom to top; a layer folder without sources
# gives no library.
function(sonicloom_layer layer)
  cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
  set(folder ${CMAKE_SOURCE_DIR}/src/${layer})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  set(skipped ${ARG_EXCLUDE})
  foreach(other ${SONICLOOM_LAYER_ORDER})
    if(other MATCHES "^${layer}/(.*)$")
      list(APPEND skipped ${CMAKE_MATCH_1})
    endif()
  endforeach()
  foreach(sub ${skipped})
    list(FILTER sources EXCLUDE REGEX "^${folder}/${sub}/")
  endforeach()
  if(NOT sources)
    return()
  endif()

  get_property(below GLOBAL PROPERTY SONICLOOM_LAYERS_BUILT)
  set(shown ${below} ${layer})
  sonicloom_layer_target(${layer} target)
  add_library(${target} STATIC ${sources})
  list(LENGTH below count)
  if(count GREATER 0)
    list(GET below -1 lower)
    sonicloom_layer_target(${lower} lower_target)
    target_link_libraries(${target} PUBLIC ${lower_target})
  endif()
  string(REPLACE "/" "_" id ${layer})
  sonicloom_include_root(${SONICLOOM_LAYER_INCLUDE_DIR}/${id} ${shown})
  target_include_directories(${target} PUBLIC ${SONICLOOM_LAYER_INCLUDE_DIR}/${id})

  set_property(GLOBAL APPEND PROPERTY SONICLOOM_LAYER_TARGETS ${target})
  set_property(GLOBAL APPEND PROPERTY SONICLOOM_LAYERS_BUILT ${layer})
endfunction()

# The layers in their order: a folder's own CMakeLists.txt when it has one
# (for what the layer needs beyond its sources), else the plain layer.
function(sonicloom_add_layers)
  foreach(layer ${SONICLOOM_LAYER_ORDER})
    if(EXISTS ${CMAKE_SOURCE_DIR}/src/${layer}/CMakeLists.txt)
      add_subdirectory(${CMAKE_SOURCE_DIR}/src/${layer})
    elseif(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/src/${layer})
      sonicloom_layer(${layer})
    endif()
  endforeach()
endfunction()

# An include root for code above the layers that may see only some of them
# (the command-line tool sees no ui/ and no audio/).
function(sonicloom_restricted_root target top)
  get_property(built GLOBAL PROPERTY SONICLOOM_LAYERS_BUILT)
  list(FIND built ${top} last)
  list(SUBLIST built 0 ${last} shown)
  list(APPEND shown ${top} ${ARGN})
  set(root ${SONICLOOM_LAYER_INCLUDE_DIR}/${target})
  sonicloom_include_root(${root} ${shown})
  target_include_directories(${target} BEFORE PRIVATE ${root})
endfunction()
