# texts.sh as scripts read it: every text of a header, however it is written, reaches the shell
# exactly, and a text that cannot reach it stops the configure step with a message naming the cause.
# cmake -DSOURCE=<source folder> -DWORK=<scratch folder> [-DHEADER=<header>] -P texts_sh.cmake
include(${SOURCE}/cmake/texts.cmake)
file(MAKE_DIRECTORY ${WORK})
if(DEFINED HEADER) # one header alone, as a configure step would take it
    rigtune_write_texts(${WORK}/alone.sh ${HEADER})
    return()
endif()

# Texts as a header may write them, and each as bash must read it.
file(WRITE ${WORK}/odd.h [[
inline const QString Plain = QStringLiteral("Gravlund Settings ");
inline const QString Semicolon = QStringLiteral("one; two;three");
inline const QString TwoLiterals = QStringLiteral("first half, "
                                                  "second half");
inline const QString Spread =
    QStringLiteral( "[left" "front]" );
inline const QString Quotes = QStringLiteral("\"%1\" isn't \\here\\");
inline const QString Shell = QStringLiteral("$HOME `date` # * ~");
]])
set(expected [=[
Plain=[Gravlund Settings ]
Semicolon=[one; two;three]
TwoLiterals=[first half, second half]
Spread=[[leftfront]]
Quotes=["%1" isn't \here\]
Shell=[$HOME `date` # * ~]
]=])
string(REGEX REPLACE "=[^\n]*" "" names "${expected}")
file(WRITE ${WORK}/names "${names}")
rigtune_write_texts(${WORK}/odd.sh ${WORK}/odd.h)
execute_process(COMMAND bash -c [[set -eu; source "$1"; while IFS= read -r name; do
        printf '%s=[%s]\n' "$name" "${!name}"; done]] _ ${WORK}/odd.sh
    INPUT_FILE ${WORK}/names OUTPUT_VARIABLE read ERROR_VARIABLE error)
if(NOT read STREQUAL expected)
    message(FATAL_ERROR "bash reads texts.sh as\n${read}${error}\nnot as\n${expected}")
endif()

# Texts it cannot take: one outside the constants' form, one joined at run time, an escape.
file(WRITE ${WORK}/unlisted.h [[
inline const QString Listed = QStringLiteral("listed");
const QString Unlisted = QStringLiteral("not of the constants' form");
]])
file(WRITE ${WORK}/joined.h [[inline const QString Joined = QStringLiteral("a") + u"b"_s;]])
file(WRITE ${WORK}/escape.h [[inline const QString Tab = QStringLiteral("a\tb");]])
foreach(case "unlisted.h|2 QStringLiteral texts, of which 1 in" "joined.h|Joined is not"
        "escape.h|Tab has the escape \\\\t")
    string(REPLACE "|" ";" case "${case}")
    list(GET case 0 header)
    list(GET case 1 cause)
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${SOURCE} -DWORK=${WORK}
        -DHEADER=${WORK}/${header} -P ${CMAKE_CURRENT_LIST_FILE} ERROR_VARIABLE error
        RESULT_VARIABLE failed)
    string(REGEX REPLACE "[ \n]+" " " error "${error}") # as one line, unwrapped
    if(NOT failed OR NOT error MATCHES "${cause}")
        message(FATAL_ERROR "${header} passed, or failed without \"${cause}\":\n${error}")
    endif()
endforeach()
