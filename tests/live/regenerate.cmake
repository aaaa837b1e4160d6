# Makes the recording again and compares it with the repository's, byte for byte.
execute_process(COMMAND ${GENERATOR} ${PROTOCOL} ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_live_recording failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${EXPECTED} is not what make_live_recording makes now: run it again "
                      "(make_live_recording ${PROTOCOL} ${EXPECTED})")
endif()
