# Helpers shared by the libraries and programs.

# orv_library(name dir namespace-less): a static library of every .cpp in the
# folder; include root is src/ so headers are included as "common/law.h".
function(orv_library target)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${target} STATIC ${srcs} ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
endfunction()

# orv_program(name DEPS libs...): a program from its folder. main.cpp is the
# driver; every other .cpp of the folder forms the library orv_<name>, which
# the program and its tests (tests/unit/<name>/) link, with the folder as an
# include root.
function(orv_program target)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(REMOVE_ITEM srcs ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
  add_executable(${target} ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp ${ARG_SOURCES})
  if(srcs)
    add_library(orv_${target} STATIC ${srcs})
    target_include_directories(orv_${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}
                               ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(orv_${target} PUBLIC ${ARG_DEPS})
    target_link_libraries(${target} PRIVATE orv_${target})
  else()
    target_link_libraries(${target} PRIVATE ${ARG_DEPS})
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION bin)
endfunction()

# Generated scanners and parsers are not ours to keep warning-free.
function(orv_generated_sources)
  set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS
    "-Wno-unused-function;-Wno-sign-compare;-Wno-unused-parameter;-Wno-format-nonliteral;-Wno-free-nonheap-object")
endfunction()

# orv_resources(<target> <table>): a driver's resource table. Runs zembrot on
# <table> (the driver's resources.tab) at build time, in a folder of the build
# tree, and gives <target> the generated resources.h together with the one
# unit that defines its arrays as orv::The_Resources (common/resources.h).
# The target must link orv_common. Its own sources reach the constants with
#   #define RESOURCES   // the arrays are defined once, in the generated unit
#   #include "resources.h"
# (include it after the other headers: the constants are plain macros), and
# resolve them with orv::get_resources(orv::The_Resources, name, checking).
# Example, in tools/quanter/CMakeLists.txt:
#   orv_program(quanter DEPS orv_petri orv_common)
#   orv_resources(quanter resources.tab)
function(orv_resources target table)
  get_filename_component(table ${table} ABSOLUTE)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  file(MAKE_DIRECTORY ${dir})
  add_custom_command(OUTPUT ${dir}/resources.h
    COMMAND ${CMAKE_COMMAND} -E copy ${table} ${dir}/resources.tab
    COMMAND zembrot
    WORKING_DIRECTORY ${dir}
    DEPENDS ${table} zembrot
    COMMENT "Generating the resource table of ${target}"
    VERBATIM)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/resource_table.cpp.in
                 ${dir}/resource_table.cpp COPYONLY)
  # The program's library, when it has one, holds the code that reads them.
  set(owner ${target})
  if(TARGET orv_${target})
    set(owner orv_${target})
  endif()
  target_sources(${owner} PRIVATE ${dir}/resources.h ${dir}/resource_table.cpp)
  target_include_directories(${owner} PUBLIC ${dir})
endfunction()
