# Manual pages are installed compressed, as Debian's policy asks: gzip -9n, with no
# file name or time stamp inside, so that the package comes out the same each build.
#   quellhart_install_man_page(PAGE TARGET_NAME)
function(quellhart_install_man_page page target)
  get_filename_component(name ${page} NAME)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${page} ${compressed}
    DEPENDS ${page}
    COMMENT "Compressing the manual page ${name}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${compressed})
  install(FILES ${compressed} DESTINATION share/man/man1)
endfunction()
