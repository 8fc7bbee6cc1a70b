# Fails when IMAGE imports at load time a DLL not in ALLOWED (a comma-separated list, lower
# case); run on the build machine with the MinGW objdump. Writes REPORT in GoogleTest's XML
# form so that scripts/test counts it with the suites.
# cmake -DOBJDUMP=... -DIMAGE=... -DALLOWED=a.dll,b.dll -DREPORT=... -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" ALLOWED "${ALLOWED}")
execute_process(COMMAND ${OBJDUMP} -p ${IMAGE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: *" "" name "${line}")
  string(TOLOWER "${name}" name)
  list(APPEND imported ${name})
  if(NOT name IN_LIST ALLOWED)
    list(APPEND extra ${name})
  endif()
endforeach()

set(failure "")
if(NOT status EQUAL 0 OR NOT "kernel32.dll" IN_LIST imported)
  set(failure "no import table read from ${IMAGE} (${status})")
elseif(extra)
  set(failure "${IMAGE} imports ${extra} at load time")
endif()
set(failed 0)
set(body "")
if(failure)
  set(failed 1)
  set(body "<failure message=\"${failure}\"/>")
endif()
file(WRITE "${REPORT}" "<?xml version=\"1.0\" encoding=\"UTF-8\"?>
<testsuites tests=\"1\" failures=\"${failed}\" disabled=\"0\" errors=\"0\" name=\"AllTests\">
  <testsuite name=\"LoadTimeImports\" tests=\"1\" failures=\"${failed}\" disabled=\"0\" errors=\"0\">
    <testcase name=\"OnlyTheAllowedDlls\" status=\"run\" classname=\"LoadTimeImports\">${body}</testcase>
  </testsuite>
</testsuites>
")
if(failure)
  message(FATAL_ERROR "${failure} (imports: ${imported})")
endif()
message(STATUS "imports: ${imported}")
