function(qm_apply_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# A static library from every .cpp of a folder (and of optional OS
# subfolder globs). EXCLUDE takes a regular expression of sources that
# belong to another library. A folder whose sources are still to come gets an
# empty unit so that targets that link it configure today.
function(qm_folder_library name dir)
  cmake_parse_arguments(ARG "" "EXCLUDE" "" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${ARG_UNPARSED_ARGUMENTS})
  list(FILTER sources EXCLUDE REGEX ".*/main\\.cpp$")
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  if(NOT sources)
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${stub} "// This folder has no sources yet.\nnamespace {}\n")
    set(sources ${stub})
  endif()
  add_library(${name} STATIC ${sources})
  qm_target_defaults(${name})
endfunction()
