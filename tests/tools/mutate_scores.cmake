# scripts/mutate on a fixture whose test catches one of its two changes: one row killed, one
# survived, the score line says so, and the file is put back byte for byte.
set(dir ${WORK_DIR}/mutate_fixture)
file(REMOVE_RECURSE ${dir})
file(COPY ${FIXTURE}/clamp.cpp ${FIXTURE}/clamp_check.cpp DESTINATION ${dir})
execute_process(COMMAND bash ${SCRIPT} --build "c++ -o ${dir}/check ${dir}/clamp.cpp ${dir}/clamp_check.cpp"
                        --run ${dir}/check ${dir}/clamp.cpp
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "scripts/mutate failed: ${out}${err}")
endif()
foreach(expected "killed +[^ ]*/clamp.cpp:3  return: return value > high [?] high : value;  ->  return {};"
                 "SURVIVED +[^ ]*/clamp.cpp:3  comparison: .* ->  return value >= high"
                 "score: 1 killed of 2 that compiled [(]50%[)], 1 survived, 0 did not compile")
  if(NOT out MATCHES "${expected}")
    message(FATAL_ERROR "no line matching '${expected}' in:\n${out}")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${FIXTURE}/clamp.cpp ${dir}/clamp.cpp
                RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "the fixture was not restored")
endif()
file(REMOVE_RECURSE ${dir})
