# Embeds binary files into the program through .incbin, so nothing is read from
# the installation at run time.
set(REDEVUVO_EMBEDDED_SOURCES "")

function(redevuvo_embed symbol file)
  set(out ${CMAKE_BINARY_DIR}/generated/embed_${symbol}.S)
  file(WRITE ${out}.in
"    .section .rodata.${symbol},\"a\",@progbits
    .balign 16
    .globl ${symbol}_begin
${symbol}_begin:
    .incbin \"${file}\"
    .globl ${symbol}_end
${symbol}_end:
    .byte 0
    .section .note.GNU-stack,\"\",@progbits
")
  configure_file(${out}.in ${out} COPYONLY)
  set_source_files_properties(${out} PROPERTIES OBJECT_DEPENDS ${file})
  set(REDEVUVO_EMBEDDED_SOURCES ${REDEVUVO_EMBEDDED_SOURCES} ${out} PARENT_SCOPE)
endfunction()

redevuvo_embed(redevuvo_lua_runtime "${LUA_RUNTIME_IMAGE}")
