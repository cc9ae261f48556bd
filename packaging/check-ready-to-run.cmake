# Run by cpack before it packs the ready-to-run folder RIGTUNE_READY_TO_RUN: a folder laid out from
# another build than RIGTUNE_BUILT, this build's program, would otherwise be shipped without a word.
set(laid_out ${RIGTUNE_READY_TO_RUN}/Rigtune.exe)
if(NOT EXISTS ${laid_out})
    message(FATAL_ERROR "No ready-to-run folder ${RIGTUNE_READY_TO_RUN}: "
        "scripts/windows/build.sh lays it out")
endif()
file(SHA256 ${laid_out} laid_out_sum)
file(SHA256 ${RIGTUNE_BUILT} built_sum)
if(NOT laid_out_sum STREQUAL built_sum)
    message(FATAL_ERROR "${RIGTUNE_READY_TO_RUN} was laid out from another build than "
        "${RIGTUNE_BUILT}: scripts/windows/build.sh lays it out anew")
endif()
