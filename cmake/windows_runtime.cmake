# The Lua runtime of the Windows build and the program's resources.
#
# lua53.dll is built from the Lua 5.3 sources (the library without the stand-alone
# interpreter and compiler, bit32 included through the 5.2 compatibility switch,
# as Debian builds it) and carried inside the program as the RCDATA resource
# "LUALIB", from which the engine maps it at run time. The same resource script
# holds the VERSIONINFO resource with the texts of cmake/version_info.cmake.
#
# Defines: target redevuvo_lua_dll (lua53.dll), REDEVUVO_LUA_INCLUDE_DIR (the
# runtime's headers) and REDEVUVO_WINDOWS_RESOURCE (the generated .rc, to be
# listed among an executable's sources; it is rebuilt whenever the dll changes).
# A target outside the top directory that lists the script also depends on the
# custom target redevuvo_windows_resources.

enable_language(RC)

if(NOT DEFINED REDEVUVO_LUA_SOURCE_DIR)
  set(REDEVUVO_LUA_SOURCE_DIR "${CMAKE_SOURCE_DIR}/build-deps/src/lua5.3-5.3.6"
      CACHE PATH "Unpacked Lua 5.3 sources for the Windows runtime (tools/bootstrap fetches them)")
endif()
# Either the unpacked package or its src/ folder.
if(EXISTS "${REDEVUVO_LUA_SOURCE_DIR}/src/lua.h")
  set(REDEVUVO_LUA_INCLUDE_DIR "${REDEVUVO_LUA_SOURCE_DIR}/src")
else()
  set(REDEVUVO_LUA_INCLUDE_DIR "${REDEVUVO_LUA_SOURCE_DIR}")
endif()
if(NOT EXISTS "${REDEVUVO_LUA_INCLUDE_DIR}/lua.h")
  message(FATAL_ERROR "No Lua 5.3 sources in ${REDEVUVO_LUA_SOURCE_DIR}: run tools/bootstrap, "
                      "or set REDEVUVO_LUA_SOURCE_DIR to the unpacked lua5.3 source package")
endif()

file(GLOB lua_library_sources "${REDEVUVO_LUA_INCLUDE_DIR}/*.c")
list(FILTER lua_library_sources EXCLUDE REGEX "/(lua|luac)\\.c$")
add_library(redevuvo_lua_dll SHARED ${lua_library_sources})
target_compile_definitions(redevuvo_lua_dll PRIVATE LUA_BUILD_AS_DLL LUA_COMPAT_5_2)
# Third-party code: its own optimisation level, none of our warnings, no debug
# sections in the copy the program carries.
target_compile_options(redevuvo_lua_dll PRIVATE -O2 -w)
target_link_options(redevuvo_lua_dll PRIVATE -s -static-libgcc)
set_target_properties(redevuvo_lua_dll PROPERTIES
  OUTPUT_NAME lua53 PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/runtime"
  ARCHIVE_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/runtime")

# Resource script texts: a double quote is written twice.
function(redevuvo_rc_text out value)
  string(REPLACE "\"" "\"\"" value "${value}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# "1.2.3.4" -> "1,2,3,4"; missing or non-numeric parts count as 0.
function(redevuvo_rc_version out text)
  string(REPLACE "," "." text "${text}")
  string(REPLACE "." ";" parts "${text}")
  set(numbers "")
  foreach(i RANGE 0 3)
    list(LENGTH parts count)
    set(number 0)
    if(i LESS count)
      list(GET parts ${i} part)
      if(part MATCHES "^[0-9]+$")
        set(number ${part})
      endif()
    endif()
    list(APPEND numbers ${number})
  endforeach()
  string(REPLACE ";" "," numbers "${numbers}")
  set(${out} "${numbers}" PARENT_SCOPE)
endfunction()

foreach(key COMPANY_NAME FILE_DESCRIPTION FILE_VERSION INTERNAL_NAME LEGAL_COPYRIGHT
            LEGAL_TRADEMARKS ORIGINAL_FILENAME PRODUCT_NAME PRODUCT_VERSION COMMENTS MAIL INTERNET)
  redevuvo_rc_text(REDEVUVO_RC_${key} "${REDEVUVO_${key}}")
endforeach()
redevuvo_rc_version(REDEVUVO_RC_FILE_VERSION_NUMBERS "${REDEVUVO_FILE_VERSION}")
redevuvo_rc_version(REDEVUVO_RC_PRODUCT_VERSION_NUMBERS "${REDEVUVO_PRODUCT_VERSION}")
set(REDEVUVO_RC_LUA_DLL "${CMAKE_BINARY_DIR}/runtime/lua53.dll")

# The script is configured once and copied into place by a command that depends
# on the dll, so the resource is compiled again whenever the runtime changes.
set(rc_template "${CMAKE_BINARY_DIR}/generated/redevuvo_resources.rc.in")
set(REDEVUVO_WINDOWS_RESOURCE "${CMAKE_BINARY_DIR}/generated/redevuvo_resources.rc")
configure_file("${CMAKE_CURRENT_LIST_DIR}/windows_resources.rc.in" "${rc_template}" @ONLY)
add_custom_command(OUTPUT "${REDEVUVO_WINDOWS_RESOURCE}"
  COMMAND ${CMAKE_COMMAND} -E copy "${rc_template}" "${REDEVUVO_WINDOWS_RESOURCE}"
  DEPENDS "${rc_template}" redevuvo_lua_dll
  COMMENT "Resource script with the Lua runtime and the version information")
# The version reader calls GetFileVersionInfoW and VerQueryValueW from version.dll;
# every target defined after this point links its import library.
link_libraries(version)

# Targets in other directories list the script too and depend on this target.
add_custom_target(redevuvo_windows_resources DEPENDS "${REDEVUVO_WINDOWS_RESOURCE}")
