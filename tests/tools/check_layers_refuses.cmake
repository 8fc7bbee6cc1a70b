# The layering check fails on an include that runs upward: a tree whose src/text includes
# src/main must be refused, naming the file and the include.
set(tree ${WORK_DIR}/layers_upward)
file(REMOVE_RECURSE ${tree})
file(WRITE ${tree}/src/main/run.h "#pragma once\n")
file(WRITE ${tree}/src/text/words.h "#pragma once\n#include \"platform/files.h\"\n#include \"main/run.h\"\n")
execute_process(COMMAND bash ${SCRIPT} ${tree} RESULT_VARIABLE status ERROR_VARIABLE err
                OUTPUT_QUIET)
file(REMOVE_RECURSE ${tree})
if(status EQUAL 0)
  message(FATAL_ERROR "an upward include passed the layering check")
endif()
if(NOT err MATCHES "src/text/words.h includes main/run.h")
  message(FATAL_ERROR "the refusal does not name the include: ${err}")
endif()
