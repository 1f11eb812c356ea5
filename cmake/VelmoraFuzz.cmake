# velmora_add_fuzzer(<name> SOURCE <file> LIBS <core libraries> [SECONDS n] [ARGS ...])
#
# One libFuzzer target (clang, native build). Each portable library it reads
# is compiled once more with coverage feedback (<library>_fuzzcov), so the
# fuzzer is guided through the code under test. ctest runs it briefly on the
# committed seeds in corpus/ beside the source (every fuzz folder has them);
# new inputs go to the build folder. A longer campaign: scripts/fuzz.sh.
function(velmora_fuzz_copy library)
  if(TARGET ${library}_fuzzcov)
    return()
  endif()
  get_target_property(sources ${library} SOURCES)
  get_target_property(source_dir ${library} SOURCE_DIR)
  list(TRANSFORM sources PREPEND ${source_dir}/)
  add_library(${library}_fuzzcov STATIC ${sources})
  get_target_property(includes ${library} INCLUDE_DIRECTORIES)
  get_target_property(links ${library} LINK_LIBRARIES)
  if(includes)
    target_include_directories(${library}_fuzzcov PUBLIC ${includes})
  endif()
  if(links)
    target_link_libraries(${library}_fuzzcov PUBLIC ${links})
  endif()
  target_compile_options(${library}_fuzzcov PRIVATE -fsanitize=fuzzer-no-link)
endfunction()

function(velmora_add_fuzzer name)
  cmake_parse_arguments(F "" "SOURCE;SECONDS" "LIBS;ARGS" ${ARGN})
  if(NOT F_SECONDS)
    set(F_SECONDS ${VELMORA_FUZZ_SECONDS})
  endif()
  set(covered)
  foreach(library IN LISTS F_LIBS)
    velmora_fuzz_copy(${library})
    list(APPEND covered ${library}_fuzzcov)
  endforeach()
  add_executable(${name} ${F_SOURCE})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${covered})
  set(work ${CMAKE_CURRENT_BINARY_DIR}/corpus-${name})
  file(MAKE_DIRECTORY ${work})
  add_test(NAME ${name}
    COMMAND ${name} -max_total_time=${F_SECONDS} -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
            ${F_ARGS} ${work} ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
  set_tests_properties(${name} PROPERTIES TIMEOUT 120 LABELS fuzz)
endfunction()
