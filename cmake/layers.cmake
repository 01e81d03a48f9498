# Layers: one library per folder, each linking only the folders below it.
#
#   app -> core -> presenter -> net, serial, output -> config -> platform
#                            -> ui -> controls -> platform
#
# The presenter alone sees both the window (ui) and the features; these
# never see the window. Every library sees the headers of its own folder and
# of the libraries it links, and no others: each folder's headers are staged
# (as links) under an include root of its own in the build tree, so an
# include against the direction ("presenter/..." from ui/) or across it
# ("ui/..." from net/) finds no file and the build fails.

# pondex_layer(<target> <folder>): makes <folder>'s headers visible as
# "<folder>/<name>.h" to <target> and to what links it.
function(pondex_layer target folder)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} COPY_ON_ERROR SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# pondex_library(<target> <folder> DEPENDS <targets...>): a static library of
# <folder>'s sources (listed by the folder's CMakeLists.txt with
# target_sources) that may use the given lower libraries.
function(pondex_library target folder)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  add_library(${target} STATIC)
  pondex_layer(${target} ${folder})
  target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
  pondex_warnings(${target})
endfunction()
