# Writes the installer data an invitation carries: one zip holding the program without its
# debugging symbols and README.txt. Run with -DPROGRAM, -DEDITION, -DREADME, -DOUTPUT, -DZIP and
# (optionally) -DSTRIP. The file is made under a temporary name and renamed, so a failed run
# never leaves a torn archive where the mail dialog looks for it.
cmake_minimum_required(VERSION 3.25)

set(stage "${OUTPUT}.stage")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}")

get_filename_component(program_name "${PROGRAM}" NAME)
file(COPY_FILE "${PROGRAM}" "${stage}/${program_name}")
if(STRIP)
  execute_process(COMMAND "${STRIP}" --strip-debug "${stage}/${program_name}" RESULT_VARIABLE stripped)
  if(NOT stripped EQUAL 0)
    message(FATAL_ERROR "${STRIP} failed on ${program_name}")
  endif()
endif()

configure_file("${README}" "${stage}/README.txt" @ONLY)

file(REMOVE "${OUTPUT}.part")
execute_process(
  COMMAND "${ZIP}" -q -9 -X "${OUTPUT}.part" "${program_name}" README.txt
  WORKING_DIRECTORY "${stage}"
  RESULT_VARIABLE zipped)
if(NOT zipped EQUAL 0)
  message(FATAL_ERROR "zip could not write ${OUTPUT}")
endif()
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
file(REMOVE_RECURSE "${stage}")
