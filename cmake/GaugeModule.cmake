# add_gauge_module(NAME SOURCES...): one gauge module from its sources and the shared framework.
# Natively a shared library NAME.so that exports only Linkage and ImportTable and leaves
# PlaySoundA to the loading process.
function(add_gauge_module name)
  add_library(${name} MODULE ${ARGN} $<TARGET_OBJECTS:gauge_framework>)
  target_link_libraries(${name} PRIVATE gauge_framework_headers)
  target_compile_options(${name} PRIVATE ${GAUGE_CODE_OPTIONS})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    LIBRARY_OUTPUT_DIRECTORY ${PANEL_MODULE_DIR})
  if(WIN32)
    set_target_properties(${name} PROPERTIES SUFFIX ".gau" RUNTIME_OUTPUT_DIRECTORY ${PANEL_MODULE_DIR})
  else()
    target_link_options(${name} PRIVATE
      -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/gauge_exports.map)
    set_target_properties(${name} PROPERTIES LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/gauge_exports.map)
  endif()
endfunction()
