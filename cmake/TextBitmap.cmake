# kestrel_text_bitmap(<output.bmp> <picture.txt>): builds a 16-colour BMP from a text
# picture (format in text-bitmap.pl) for a resource script to include.
find_package(Perl REQUIRED)

function(kestrel_text_bitmap output picture)
    set(script ${PROJECT_SOURCE_DIR}/cmake/text-bitmap.pl)
    add_custom_command(OUTPUT ${output}
        COMMAND ${PERL_EXECUTABLE} ${script} ${picture} ${output}
        DEPENDS ${picture} ${script}
        COMMENT "Drawing ${output}"
        VERBATIM)
endfunction()
