# Version texts of the program, written into the executable's own ELF section
# ".redevuvo_version" where the version-information reader finds them.
set(REDEVUVO_COMPANY_NAME "REDEVUVO developers")
set(REDEVUVO_FILE_DESCRIPTION "Lua-scripted console text filter")
set(REDEVUVO_FILE_VERSION "${PROJECT_VERSION}.0")
set(REDEVUVO_INTERNAL_NAME "redevuvo")
set(REDEVUVO_LEGAL_COPYRIGHT "Copyright (c) 2026 REDEVUVO developers")
set(REDEVUVO_LEGAL_TRADEMARKS "")
set(REDEVUVO_ORIGINAL_FILENAME "redevuvo")
set(REDEVUVO_PRODUCT_NAME "REDEVUVO")
set(REDEVUVO_PRODUCT_VERSION "${PROJECT_VERSION}.0")
set(REDEVUVO_COMMENTS "Text filter driven by Lua 5.3 scripts")
set(REDEVUVO_MAIL "redevuvo@example.org")
set(REDEVUVO_INTERNET "https://redevuvo.example.org")
set(REDEVUVO_FILE_FLAGS 0)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/cmake/version_texts.h.in
               ${CMAKE_BINARY_DIR}/generated/version_texts.h @ONLY)
