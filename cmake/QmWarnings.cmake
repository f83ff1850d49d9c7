function(qm_apply_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# A static library from every .cpp of a folder but its program's main.cpp.
# A folder whose sources are still to come gets an empty unit so that
# targets that link it configure today.
function(qm_folder_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  list(REMOVE_ITEM sources ${dir}/main.cpp)
  if(NOT sources)
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${stub} "// This folder has no sources yet.\nnamespace {}\n")
    set(sources ${stub})
  endif()
  add_library(${name} STATIC ${sources})
  qm_target_defaults(${name})
endfunction()
