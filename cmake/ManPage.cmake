# Makes the manual page of a program from its --help with help2man, marked
# as UTF-8 (its Russian texts would otherwise be read as Latin-1), gzipped.
#   cmake -DHELP2MAN=... -DPROGRAM=path -DNAME="what it is" -DVERSION=x.y.z -DOUT=page.1.gz -P ManPage.cmake
execute_process(
  COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1 --locale=C.UTF-8 "--name=${NAME}"
          "--version-string=${VERSION}"
          ${PROGRAM}
  OUTPUT_VARIABLE page
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "help2man ${PROGRAM}: ${failed}")
endif()
string(REGEX REPLACE "\\.gz$" "" plain "${OUT}")
file(WRITE ${plain} ".\\\" -*- coding: UTF-8 -*-\n${page}")
execute_process(COMMAND gzip -9nf ${plain} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip ${plain}: ${failed}")
endif()
