# The libraries of the Windows build. Nothing is taken from the Linux system: PCRE2
# is compiled from Debian's source package (tools/bootstrap unpacks it), zlib is the
# static archive of libz-mingw-w64-dev; Lua comes from its source package too
# (cmake/windows_runtime.cmake builds lua53.dll).
# Everything links statically, so the program is one file that needs system DLLs only.
set(REDEVUVO_PCRE2_SOURCE_DIR ${CMAKE_SOURCE_DIR}/build-deps/src/pcre2-10.42
    CACHE PATH "Unpacked PCRE2 sources (tools/bootstrap)")
if(NOT EXISTS ${REDEVUVO_PCRE2_SOURCE_DIR}/src/pcre2.h.generic)
  message(FATAL_ERROR "No PCRE2 sources in ${REDEVUVO_PCRE2_SOURCE_DIR}: run tools/bootstrap")
endif()

# PCRE2, 16-bit code units only (the program searches UTF-16 text), without JIT.
set(pcre2_generated ${CMAKE_BINARY_DIR}/pcre2)
configure_file(${REDEVUVO_PCRE2_SOURCE_DIR}/src/pcre2.h.generic ${pcre2_generated}/pcre2.h COPYONLY)
configure_file(${REDEVUVO_PCRE2_SOURCE_DIR}/src/config.h.generic ${pcre2_generated}/config.h COPYONLY)
configure_file(${REDEVUVO_PCRE2_SOURCE_DIR}/src/pcre2_chartables.c.dist
               ${pcre2_generated}/pcre2_chartables.c COPYONLY)
set(pcre2_sources ${pcre2_generated}/pcre2_chartables.c)
foreach(unit auto_possess compile config context convert dfa_match error extuni find_bracket
        jit_compile maketables match match_data newline ord2utf pattern_info script_run
        serialize string_utils study substitute substring tables ucd valid_utf xclass)
  list(APPEND pcre2_sources ${REDEVUVO_PCRE2_SOURCE_DIR}/src/pcre2_${unit}.c)
endforeach()
add_library(redevuvo_pcre2_16 STATIC ${pcre2_sources})
target_include_directories(redevuvo_pcre2_16 PUBLIC ${pcre2_generated}
                           PRIVATE ${REDEVUVO_PCRE2_SOURCE_DIR}/src)
target_compile_definitions(redevuvo_pcre2_16 PUBLIC PCRE2_STATIC PCRE2_CODE_UNIT_WIDTH=16
                           PRIVATE HAVE_CONFIG_H SUPPORT_UNICODE)
# Third-party code: its warnings are not ours to fix.
target_compile_options(redevuvo_pcre2_16 PRIVATE -w)

# CMake's FindZLIB would pick the DLL's import library; the archive keeps the
# program free of zlib1.dll.
find_library(REDEVUVO_ZLIB_ARCHIVE NAMES libz.a REQUIRED)
find_path(REDEVUVO_ZLIB_INCLUDE_DIR zlib.h REQUIRED)
add_library(redevuvo_zlib STATIC IMPORTED)
set_target_properties(redevuvo_zlib PROPERTIES IMPORTED_LOCATION ${REDEVUVO_ZLIB_ARCHIVE}
                      INTERFACE_INCLUDE_DIRECTORIES ${REDEVUVO_ZLIB_INCLUDE_DIR})

# The C and C++ runtimes and the thread library go into the program itself.
add_link_options(-static -static-libgcc -static-libstdc++)
# Unicode Win32 names, and no min/max macros to clash with the standard library.
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
