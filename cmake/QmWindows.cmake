# The Windows build: what the cross build links besides Qt comes from the
# cache that scripts/windows-toolchain fills (SQLite, GoogleTest), every
# program is linked -static so that nothing but the system's own DLLs needs
# to travel with it, and ctest runs the test programs through Wine.
set(QM_WINDOWS_CACHE "$ENV{HOME}/.cache/qmreplace" CACHE PATH
    "Where scripts/windows-toolchain keeps the cross-built libraries")

function(qm_windows_cached_prefix out stem)
  file(GLOB candidates LIST_DIRECTORIES true "${QM_WINDOWS_CACHE}/${stem}-*")
  foreach(candidate IN LISTS candidates)
    if(EXISTS "${candidate}/.complete")
      set(${out} "${candidate}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} "" PARENT_SCOPE)
endfunction()

# Without the cache (a build on Windows itself) find_package looks for them
# the usual way.
qm_windows_cached_prefix(qm_sqlite_prefix sqlite-mingw)
if(qm_sqlite_prefix)
  set(SQLite3_INCLUDE_DIR "${qm_sqlite_prefix}/include" CACHE PATH "")
  set(SQLite3_LIBRARY "${qm_sqlite_prefix}/lib/libsqlite3.a" CACHE FILEPATH "")
endif()
qm_windows_cached_prefix(qm_gtest_prefix googletest-mingw)
if(qm_gtest_prefix)
  set(GTest_DIR "${qm_gtest_prefix}/lib/cmake/GTest" CACHE PATH "")
endif()

if(MINGW)
  add_link_options(-static)
endif()

# Built on Linux, the test programs run under Wine, in the build's own prefix.
if(CMAKE_CROSSCOMPILING)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/scripts/wine-run" CACHE FILEPATH "" FORCE)
endif()
