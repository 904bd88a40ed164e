# CPack step between staging and packing: strips the packaged programs as Debian's dh_strip does.
# CPack's own stripping (plain strip) leaves the .comment and .note sections; lintian asks
# for them to go too.
if(NOT CPACK_NEEDLECAST_STRIP)
  message(FATAL_ERROR "deb-strip.cmake: no strip program (CMAKE_STRIP was empty)")
endif()
file(GLOB_RECURSE programs LIST_DIRECTORIES false
     "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*" "${CPACK_TEMPORARY_DIRECTORY}/usr/libexec/*")
foreach(program IN LISTS programs)
  execute_process(
    COMMAND "${CPACK_NEEDLECAST_STRIP}" --remove-section=.comment --remove-section=.note "${program}"
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "deb-strip.cmake: cannot strip ${program}")
  endif()
endforeach()
