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

# orv_program(name DEPS libs...): a program from every .cpp in its folder.
function(orv_program target)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${target} ${srcs} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS})
  install(TARGETS ${target} RUNTIME DESTINATION bin)
endfunction()

# Generated scanners and parsers are not ours to keep warning-free.
function(orv_generated_sources)
  set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS
    "-Wno-unused-function;-Wno-sign-compare;-Wno-unused-parameter;-Wno-format-nonliteral;-Wno-free-nonheap-object")
endfunction()
