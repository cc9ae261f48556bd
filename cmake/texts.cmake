# rigtune_write_texts(OUT header...): writes the program's texts that scripts need as a shell file.
# Every constant of the form
#     inline const QString Name = QStringLiteral("text");
# in the headers, its text written as one literal or as several that the compiler joins, becomes
# Name='text', so a script takes a text from the one place the program defines it. Every
# QStringLiteral in these headers must be such a constant: one that is not stops the configure
# step here, where otherwise a script would meet an unbound name much later. Each text is also left
# to the caller as RIGTUNE_TEXT_<Name>. The headers are watched: changing one configures anew.
#
# The source is taken apart with regular expressions on strings, never as a CMake list, so a ";"
# or a bracket in a text cannot split it.
function(rigtune_write_texts out)
    set(content "# The program's texts, written by CMake from its headers. Do not edit.\n")
    foreach(header IN LISTS ARGN)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${header}")
        file(READ "${header}" source)
        set(found 0)
        while(source MATCHES "inline const QString ([A-Za-z0-9_]+) =(.*)$")
            set(name ${CMAKE_MATCH_1})
            set(source "${CMAKE_MATCH_2}")
            _rigtune_read_text("${header}" ${name} "${source}" text)
            string(REPLACE "'" "'\\''" quoted "${text}")
            string(APPEND content "${name}='${quoted}'\n")
            set(RIGTUNE_TEXT_${name} "${text}" PARENT_SCOPE)
            math(EXPR found "${found} + 1")
        endwhile()
        file(READ "${header}" source)
        string(REGEX MATCHALL "QStringLiteral[ \t\r\n]*\\(" literals "${source}")
        list(LENGTH literals written)
        if(NOT found EQUAL written)
            message(FATAL_ERROR "${header}: ${written} QStringLiteral texts, of which ${found} in "
                "constants of the form inline const QString Name = QStringLiteral(\"text\"); "
                "texts.sh would lack the others. Write each text as such a constant.")
        endif()
    endforeach()
    # Rewritten only when it changes, so what depends on it is not made again for nothing.
    file(WRITE ${out}.new "${content}")
    configure_file(${out}.new ${out} COPYONLY)
endfunction()

# The text of the constant `name` from what follows its "=": the literals inside QStringLiteral(...)
# up to the ";", joined, with their escapes undone.
function(_rigtune_read_text header name initializer out)
    set(blank "[ \t\r\n]*")
    set(literal "\"([^\"\\\\]|\\\\.)*\"")
    set(form "^${blank}QStringLiteral${blank}\\(${blank}((${literal}${blank})+)\\)${blank};")
    if(NOT initializer MATCHES "${form}")
        message(FATAL_ERROR "${header}: ${name} is not QStringLiteral(\"text\") followed by \";\", "
            "with the text as one or more literals; texts.sh cannot hold it.")
    endif()
    set(literals "${CMAKE_MATCH_1}")
    set(text "")
    while(literals MATCHES "^${blank}\"(([^\"\\\\]|\\\\.)*)\"(.*)$")
        set(literals "${CMAKE_MATCH_3}")
        _rigtune_unescape("${header}" ${name} "${CMAKE_MATCH_1}" part)
        string(APPEND text "${part}")
    endwhile()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# A literal's content as the compiler reads it. Only the escapes a text of ours has are understood;
# any other stops the configure step rather than reaching a script as something else.
function(_rigtune_unescape header name escaped out)
    set(text "")
    while(escaped MATCHES "^([^\\\\]*)\\\\(.)(.*)$")
        string(APPEND text "${CMAKE_MATCH_1}")
        set(character "${CMAKE_MATCH_2}")
        set(escaped "${CMAKE_MATCH_3}")
        if(NOT character MATCHES "^[\\\\\"']$")
            message(FATAL_ERROR "${header}: ${name} has the escape \\${character}; "
                "texts.sh takes only \\\\, \\\" and \\'.")
        endif()
        string(APPEND text "${character}")
    endwhile()
    set(${out} "${text}${escaped}" PARENT_SCOPE)
endfunction()
