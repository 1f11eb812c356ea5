# velmora_add_test(<name> SOURCES ... [LIBS ...] [WINDOWS_ONLY] [LABELS ...] [RESOURCE_LOCK ...]
#                  [ALSO_CP1252])
#
# One GoogleTest program, registered as one ctest test. Windows programs run
# through the wine wrapper (the toolchain's CROSSCOMPILING_EMULATOR) in the
# Romanian locale, ANSI code page 1250; ALSO_CP1252 registers the program a
# second time, as <name>_cp1252, under code page 1252. The test runner counts
# the individual cases from GoogleTest's XML reports.
function(velmora_add_test name)
  cmake_parse_arguments(T "WINDOWS_ONLY;NATIVE_ONLY;ALSO_CP1252" "TIMEOUT" "SOURCES;LIBS;LABELS;RESOURCE_LOCK" ${ARGN})
  if(T_WINDOWS_ONLY AND NOT WIN32)
    return()
  endif()
  if(T_NATIVE_ONLY AND WIN32)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} velmora_test_support_core velmora_test_main)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_RESOURCE_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_RESOURCE_LOCK}")
  endif()
  if(T_ALSO_CP1252 AND WIN32)
    add_test(NAME ${name}_cp1252 COMMAND ${name})
    get_test_property(${name} RESOURCE_LOCK lock)
    set_tests_properties(${name}_cp1252 PROPERTIES TIMEOUT ${T_TIMEOUT}
                         ENVIRONMENT "VELMORA_LOCALE=C.UTF-8;VELMORA_REPORT_NAME=${name}_cp1252")
    if(lock)
      set_tests_properties(${name}_cp1252 PROPERTIES RESOURCE_LOCK "${lock}")
    endif()
  endif()
endfunction()

# velmora_needs_sample_suite(<target>...)
#
# Programs that make a sample suite from this build's bin folder and run the
# launcher in it, against the reference server: the launcher, every stand-in
# the suite copies and the server are built before them. Windows builds only.
function(velmora_needs_sample_suite)
  foreach(target IN LISTS ARGN)
    add_dependencies(${target}
      velmora velmora-server velmora_recorder velmora_renova37 velmora_showreel velmora_hostlane)
  endforeach()
endfunction()
