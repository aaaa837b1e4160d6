# add_gauge_module(NAME [RESOURCES file.rc] [DESCRIPTION text] SOURCES...): one gauge module from
# its sources and the shared framework.
# Natively a shared library NAME.so that exports only Linkage and ImportTable and leaves
# PlaySoundA to the loading process.
# On 32-bit Windows a DLL NAME.gau that exports only Linkage and ImportTable (by the .def file),
# imports only system DLLs, and carries its bitmaps: the RESOURCES script, by default
# resources/<dir>/<dir>_resources.rc for a module defined in <dir>/, and a version resource
# naming it by DESCRIPTION.
if(WIN32)
  enable_language(RC)
endif()

function(add_gauge_module name)
  cmake_parse_arguments(ARG "" "RESOURCES;DESCRIPTION" "" ${ARGN})
  add_library(${name} MODULE ${ARG_UNPARSED_ARGUMENTS} $<TARGET_OBJECTS:gauge_framework>)
  target_link_libraries(${name} PRIVATE gauge_framework_headers)
  target_compile_options(${name} PRIVATE ${GAUGE_CODE_OPTIONS})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    LIBRARY_OUTPUT_DIRECTORY ${PANEL_MODULE_DIR})
  if(WIN32)
    set_target_properties(${name} PROPERTIES SUFFIX ".gau" RUNTIME_OUTPUT_DIRECTORY ${PANEL_MODULE_DIR})
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/gauge_exports.def)
    # PlaySoundA for the cues, wsprintfA for the DME frequency text. The runtime's own debug
    # information is left out of the deliverable.
    target_link_libraries(${name} PRIVATE winmm user32)
    target_link_options(${name} PRIVATE -s)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    if(NOT ARG_RESOURCES)
      set(ARG_RESOURCES ${PROJECT_SOURCE_DIR}/resources/${folder}/${folder}_resources.rc)
    endif()
    if(EXISTS ${ARG_RESOURCES})
      get_filename_component(resource_dir ${ARG_RESOURCES} DIRECTORY)
      target_sources(${name} PRIVATE ${ARG_RESOURCES})
      # Bitmaps are named relative to the script; every resource is US English (1033).
      set_source_files_properties(${ARG_RESOURCES} PROPERTIES
        COMPILE_OPTIONS "--include-dir=${resource_dir};--language=0x409")
    else()
      message(WARNING "${name}: no resource script ${ARG_RESOURCES}; the module carries no bitmaps")
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/cmake/gauge_version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc @ONLY)
    target_sources(${name} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc)
    install(TARGETS ${name} LIBRARY DESTINATION Gauges RUNTIME DESTINATION Gauges)
  else()
    target_link_options(${name} PRIVATE
      -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/gauge_exports.map)
    set_target_properties(${name} PROPERTIES LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/gauge_exports.map)
    install(TARGETS ${name} LIBRARY DESTINATION ${PANEL_INSTALL_LIBDIR})
    # A native module carries no resources: the renderer reads its bitmaps from the folder
    # NAME/ beside NAME.so. A changed bitmap relinks the module, so the copy stays current.
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    file(GLOB bitmaps ${PROJECT_SOURCE_DIR}/resources/${folder}/*.bmp)
    if(bitmaps)
      set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${bitmaps})
      add_custom_command(TARGET ${name} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PANEL_MODULE_DIR}/${name}
        COMMAND ${CMAKE_COMMAND} -E copy ${bitmaps} ${PANEL_MODULE_DIR}/${name}/
        VERBATIM)
      install(FILES ${bitmaps} DESTINATION ${PANEL_INSTALL_LIBDIR}/${name})
    endif()
  endif()
endfunction()
