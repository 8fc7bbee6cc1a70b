# The layering check refuses a tree that breaks the layers, whatever the include's spelling:
# each case is a tree with one such file (below src/), and the refusal must name it.
set(cases
  "text/words.h|#include \"main/run.h\"|src/text/words.h includes src/main/run.h"
  "text/words.h|   #include \"main/run.h\"|src/text/words.h includes src/main/run.h"
  "text/words.h|# include \"main/run.h\"|src/text/words.h includes src/main/run.h"
  "text/words.h|#include \"../main/run.h\"|src/text/words.h includes src/main/run.h"
  "text/words.h|#include <main/run.h>|src/text/words.h includes src/main/run.h"
  "ui/form.h|#include \"sysinfo/probe.h\"|src/ui/form.h includes src/sysinfo/probe.h"
  "text/words.h|#include \"../../tools/tool.h\"|src/text/words.h includes tools/tool.h, outside"
  "text/words.h|#include \"main/gone.h\"|src/text/words.h includes main/gone.h, which the tree"
  "extra/more.h|#include \"platform/files.h\"|src/extra/more.h is in a folder the layers do not")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 file)
  list(GET case 1 line)
  list(GET case 2 expected)
  set(tree ${WORK_DIR}/layers_refused)
  file(REMOVE_RECURSE ${tree})
  # Each header says its own name: GCC takes two files of one content for one #pragma once.
  foreach(held main/run.h sysinfo/probe.h platform/files.h ../tools/tool.h)
    file(WRITE ${tree}/src/${held} "#pragma once\n// ${held}\n")
  endforeach()
  file(WRITE ${tree}/src/${file} "#pragma once\n#include \"platform/files.h\"\n${line}\n")
  execute_process(COMMAND bash ${SCRIPT} ${tree} RESULT_VARIABLE status ERROR_VARIABLE err
                  OUTPUT_QUIET)
  file(REMOVE_RECURSE ${tree})
  if(status EQUAL 0 OR NOT err MATCHES "${expected}")
    message(SEND_ERROR "'${line}' in src/${file} was not refused as '${expected}': ${err}")
  endif()
endforeach()
