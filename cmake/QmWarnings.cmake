function(qm_apply_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# A static library from every .cpp of a folder but its program's main.cpp.
function(qm_folder_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  list(REMOVE_ITEM sources ${dir}/main.cpp)
  add_library(${name} STATIC ${sources})
  qm_target_defaults(${name})
endfunction()
