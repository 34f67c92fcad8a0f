# Run by CPack on the installed tree before it is packed: the programs lose
# the sections that Debian's dh_strip removes as well (.comment, .note),
# after CPack's own strip has taken the symbols.
file(GLOB_RECURSE zorvika_programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
foreach(program IN LISTS zorvika_programs)
  execute_process(COMMAND "${CPACK_ZORVIKA_STRIP}" --remove-section=.comment --remove-section=.note "${program}"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "strip ${program} failed")
  endif()
endforeach()
