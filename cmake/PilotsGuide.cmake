# add_pilots_guide(HTML): the pilot's guide (docs/guide/pilots-guide.md) as one self-contained
# HTML file with its pictures inside, made with pandoc, built with everything.
function(add_pilots_guide html)
  find_program(PANEL_PANDOC pandoc REQUIRED)
  set(guide ${PROJECT_SOURCE_DIR}/docs/guide)
  file(GLOB pictures ${guide}/pictures/*.png)
  add_custom_command(OUTPUT ${html}
    COMMAND ${PANEL_PANDOC} --standalone --self-contained --resource-path=${guide} --output=${html}
            ${guide}/pilots-guide.md
    DEPENDS ${guide}/pilots-guide.md ${pictures}
    COMMENT "Writing the pilot's guide as one HTML file" VERBATIM)
  add_custom_target(pilots_guide ALL DEPENDS ${html})
endfunction()
