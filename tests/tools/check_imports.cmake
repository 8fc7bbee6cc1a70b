# Fails when IMAGE imports at load time a DLL not in ALLOWED (names in lower case): every
# other system DLL must be loaded from the system folder when needed, never by the loader,
# which would look beside the program first. Run on the build machine with the MinGW
# objdump; writes REPORT in GoogleTest's XML form so the suite counts add up.
# cmake -DOBJDUMP=... -DIMAGE=... -DALLOWED=a.dll,b.dll -DREPORT=... -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" ALLOWED "${ALLOWED}")
execute_process(COMMAND ${OBJDUMP} -p ${IMAGE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
set(imported)
set(extra)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: *" "" name "${line}")
  string(STRIP "${name}" name)
  string(TOLOWER "${name}" name)
  list(APPEND imported ${name})
  if(NOT name IN_LIST ALLOWED)
    list(APPEND extra ${name})
  endif()
endforeach()

set(failure "")
if(NOT status EQUAL 0)
  set(failure "${OBJDUMP} -p failed (${status})")
elseif(NOT "kernel32.dll" IN_LIST imported)
  set(failure "no import table found in ${IMAGE}")  # a dump this check cannot read
elseif(extra)
  list(JOIN extra ", " extra_text)
  set(failure "${IMAGE} imports ${extra_text} at load time")
endif()

list(JOIN imported ", " imported_text)
if(failure)
  set(failed 1)
  set(body "<failure message=\"${failure}\"/>")
else()
  set(failed 0)
  set(body "")
endif()
file(WRITE "${REPORT}" "<?xml version=\"1.0\" encoding=\"UTF-8\"?>
<testsuites tests=\"1\" failures=\"${failed}\" disabled=\"0\" errors=\"0\" name=\"AllTests\">
  <testsuite name=\"LoadTimeImports\" tests=\"1\" failures=\"${failed}\" disabled=\"0\" errors=\"0\">
    <testcase name=\"OnlyTheAllowedDlls\" status=\"run\" classname=\"LoadTimeImports\">${body}</testcase>
  </testsuite>
</testsuites>
")
if(failure)
  message(FATAL_ERROR "${failure} (imports: ${imported_text})")
endif()
message(STATUS "imports: ${imported_text}")
