# Build conventions shared by every target of the project.

# Static run-times: every module runs without extra DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TL_ARCH i686)
else()
  set(TL_ARCH x86_64)
endif()

set(TL_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH "Wine prefix the tests run in")

# Our own code is built with all warnings, and a warning stops the build;
# outside sources are not.
function(tl_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# tl_library(name SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...] [INCLUDE dir])
# A static library of our own code; its folder is its include root.
# PUBLIC_LIBS are those its headers include, so its users see them too;
# PRIVATE_LIBS only its sources use (they are still linked into its users).
function(tl_library name)
  cmake_parse_arguments(A "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS;INCLUDE" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  if(NOT A_INCLUDE)
    set(A_INCLUDE ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  target_include_directories(${name} PUBLIC ${A_INCLUDE})
  target_link_libraries(${name} PUBLIC ${A_PUBLIC_LIBS} PRIVATE ${A_PRIVATE_LIBS})
  tl_warnings(${name})
endfunction()

# tl_framework_library(name OUTPUT_NAME Dll SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...] [INCLUDE dir])
# One of the imaging framework's DLLs (Dll.dll with its import library libDll.dll.a):
# one copy per process, so every module shares its link registry, manager and error
# tags. Its own functions are exported by the linker (no export marks); the static
# libraries linked into it (the run-times, LittleCMS, zlib) stay private to it, so
# no module binds to another module's copy of them.
function(tl_framework_library name)
  cmake_parse_arguments(A "" "OUTPUT_NAME;INCLUDE" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} SHARED ${A_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${A_OUTPUT_NAME})
  target_link_options(${name} PRIVATE -Wl,--export-all-symbols -Wl,--exclude-libs,ALL)
  target_include_directories(${name} PUBLIC ${A_INCLUDE})
  target_link_libraries(${name} PUBLIC ${A_PUBLIC_LIBS} PRIVATE ${A_PRIVATE_LIBS})
  tl_warnings(${name})
endfunction()

# tl_shared_module(name SUFFIX .dll|.md7|.tv7 SOURCES ... [DEF file] [LIBS ...])
# A Windows DLL. Exports fixed by name go through the .def file; on i686 the
# stdcall decoration is stripped so that GetProcAddress finds the written name.
function(tl_shared_module name)
  cmake_parse_arguments(A "" "SUFFIX;DEF" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${A_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX "${A_SUFFIX}")
  if(A_DEF)
    target_sources(${name} PRIVATE ${A_DEF})
    if(TL_ARCH STREQUAL "i686")
      target_link_options(${name} PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
    endif()
  endif()
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  tl_warnings(${name})
endfunction()

# tl_test(name SOURCES ... LIBS ... [RESOURCES ...] [LOCKS ...])
# A GoogleTest program run under Wine by CTest. LOCKS names shared state
# (the registry, the Common Files folder) that tests must not touch at once.
function(tl_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;LOCKS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gmock GTest::gtest_main)
  tl_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "WINEPREFIX=${TL_WINEPREFIX};WINEDEBUG=-all"
    TIMEOUT 300)
  if(A_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${A_LOCKS}")
  endif()
endfunction()

# Programs and DLLs side by side, as they are installed, so a program finds its modules.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# tl_bench(name SOURCES ... LIBS ...): a benchmark program, built but never run by the tests.
function(tl_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  tl_warnings(${name})
endfunction()
