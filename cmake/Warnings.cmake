# Compiler settings of the project's own code, as two interface targets that
# every target of the project links (velmora_link_project_options, called at
# the end of the top CMakeLists.txt). GoogleTest, built from its sources in
# cmake/googletest, links neither: it compiles with its own settings.
#
#   velmora_warnings    -Wall -Wextra, and -Werror with VELMORA_WERROR
#   velmora_sanitizers  AddressSanitizer and UndefinedBehaviorSanitizer with
#                       VELMORA_SANITIZE (compile and link), empty otherwise
add_library(velmora_warnings INTERFACE)
target_compile_options(velmora_warnings INTERFACE -Wall -Wextra)
if(VELMORA_WERROR)
  target_compile_options(velmora_warnings INTERFACE -Werror)
endif()

add_library(velmora_sanitizers INTERFACE)
if(VELMORA_SANITIZE)
  target_compile_options(velmora_sanitizers INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(velmora_sanitizers INTERFACE -fsanitize=address,undefined)
endif()

# velmora_link_project_options(<folder> [EXCEPT <folder>...])
#
# Every target defined in <folder> and the folders added below it links
# velmora_warnings and velmora_sanitizers; the folders after EXCEPT (and
# theirs) are left out.
function(velmora_link_project_options folder)
  cmake_parse_arguments(P "" "" "EXCEPT" ${ARGN})
  if(folder IN_LIST P_EXCEPT)
    return()
  endif()
  get_directory_property(targets DIRECTORY ${folder} BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      target_link_libraries(${target} PRIVATE velmora_warnings velmora_sanitizers)
    endif()
  endforeach()
  get_directory_property(subfolders DIRECTORY ${folder} SUBDIRECTORIES)
  foreach(subfolder IN LISTS subfolders)
    velmora_link_project_options(${subfolder} EXCEPT ${P_EXCEPT})
  endforeach()
endfunction()
