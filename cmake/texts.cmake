# rigtune_write_texts(OUT header...): writes the program's texts that scripts need as a shell file.
# Every constant of the form
#     inline const QString Name = QStringLiteral("text");
# in the headers becomes Name='text', so a script takes a text from the one place the program
# defines it. (The match leaves out the closing ";", which would split CMake's list of matches.)
# The headers are watched: changing one configures anew.
function(rigtune_write_texts out)
    set(content "# The program's texts, written by CMake from its headers. Do not edit.\n")
    set(declaration "inline const QString ([A-Za-z0-9]+) =")
    set(pattern "${declaration}[ \n]*QStringLiteral\\(\"([^\"\\\\]|\\\\.)*\"\\)")
    foreach(header IN LISTS ARGN)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
        file(READ ${header} source)
        string(REGEX MATCHALL "${pattern}" constants "${source}")
        foreach(constant IN LISTS constants)
            string(REGEX REPLACE "^${declaration}.*$" "\\1" name "${constant}")
            string(REGEX REPLACE "^.*QStringLiteral\\(\"(.*)\"\\)$" "\\1" text "${constant}")
            # The C++ escapes, then quoted for the shell.
            string(REPLACE "\\\\" "<backslash>" text "${text}")
            string(REPLACE "\\\"" "\"" text "${text}")
            string(REPLACE "<backslash>" "\\" text "${text}")
            string(REPLACE "'" "'\\''" text "${text}")
            string(APPEND content "${name}='${text}'\n")
        endforeach()
    endforeach()
    # Rewritten only when it changes, so what depends on it is not made again for nothing.
    file(WRITE ${out}.new "${content}")
    configure_file(${out}.new ${out} COPYONLY)
endfunction()
