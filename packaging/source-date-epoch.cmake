# Read by cpack. CPack stamps the files of its archives, and the gzip headers, with
# SOURCE_DATE_EPOCH when it is set: the time of the commit that is packaged, or without git the
# date of the changelog's last entry (as Debian takes it). A time the caller gives is kept.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    return()
endif()
execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CPACK_RIGTUNE_SOURCE_DIR}
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT epoch)
    file(STRINGS ${CPACK_RIGTUNE_CHANGELOG} signature REGEX "^ -- " LIMIT_COUNT 1)
    string(REGEX REPLACE "^ -- .*>  " "" date "${signature}")
    execute_process(COMMAND date -d "${date}" +%s OUTPUT_VARIABLE epoch
        OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
