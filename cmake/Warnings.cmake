# Compiler settings shared by every target of the project.
add_compile_options(-Wall -Wextra)
if(VELMORA_WERROR)
  add_compile_options(-Werror)
endif()
if(WIN32)
  # ANSI calls throughout; the texts are code page 1250 bytes.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()
if(VELMORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
