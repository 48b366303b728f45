# The Lua runtime of the Windows program. cmake/windows_runtime.cmake (the in-memory
# loader's build) defines the target redevuvo_lua_dll and the resource file
# REDEVUVO_WINDOWS_RESOURCE that carries it. Until that is in the tree, a stand-in
# builds lua53.dll here, embeds it like the Linux build embeds its runtime, and
# platform/windows/library_loader_from_file_windows.cpp loads it through a temporary
# file: enough to run every test, not the program as it ships.
if(EXISTS ${CMAKE_SOURCE_DIR}/cmake/windows_runtime.cmake)
  include(${CMAKE_SOURCE_DIR}/cmake/windows_runtime.cmake)
  set(REDEVUVO_EXCLUDED_WINDOWS_UNITS "library_loader_from_file_windows|elf_section_stand_in_windows")
  return()
endif()

file(GLOB lua_sources ${REDEVUVO_LUA_SOURCE_DIR}/*.c)
list(FILTER lua_sources EXCLUDE REGEX "/(lua|luac)\\.c$")
add_library(redevuvo_lua_dll SHARED ${lua_sources})
target_compile_definitions(redevuvo_lua_dll PRIVATE LUA_BUILD_AS_DLL LUA_COMPAT_5_2)
target_compile_options(redevuvo_lua_dll PRIVATE -w)
set_target_properties(redevuvo_lua_dll PROPERTIES PREFIX "" OUTPUT_NAME lua53
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/runtime)
set(lua_dll ${CMAKE_BINARY_DIR}/runtime/lua53.dll)

set(out ${CMAKE_BINARY_DIR}/generated/embed_redevuvo_lua_runtime.S)
file(WRITE ${out}.in
"    .section .rdata$redevuvo_lua_runtime,\"dr\"
    .balign 16
    .globl redevuvo_lua_runtime_begin
redevuvo_lua_runtime_begin:
    .incbin \"${lua_dll}\"
    .globl redevuvo_lua_runtime_end
redevuvo_lua_runtime_end:
    .byte 0
")
configure_file(${out}.in ${out} COPYONLY)
set_source_files_properties(${out} PROPERTIES OBJECT_DEPENDS ${lua_dll})
set(REDEVUVO_EMBEDDED_SOURCES ${out})
set(REDEVUVO_WINDOWS_RESOURCE "")
set(REDEVUVO_EXCLUDED_WINDOWS_UNITS "none")
