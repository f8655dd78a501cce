# Compiler flags shared by every target of the project.
add_compile_options(-Wall -Wextra)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 reports std::string concatenation at -O2 and above as overlapping
  # memcpy (GCC bug 105329), a false positive.
  add_compile_options(-Wno-restrict)
endif()
if(QUILLARK_WERROR)
  add_compile_options(-Werror)
endif()

if(QUILLARK_SANITIZE)
  string(REPLACE ";" "," _sanitizers "${QUILLARK_SANITIZE}")
  add_compile_options(-fsanitize=${_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_sanitizers})
endif()

if(QUILLARK_FUZZ)
  # Every object gets coverage instrumentation; only the fuzz executables link the driver.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
