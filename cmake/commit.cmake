# Writes OUT, a header for the resource script naming the commit the sources are:
# COMMIT when given (a copy of the sources that is not a clone), else what git says,
# marked when the tree differs from it. Rewritten only when that changed, so that
# a build without a new commit relinks nothing.
#   cmake -DSOURCE_DIR=... -DOUT=... [-DCOMMIT=...] -P commit.cmake
if(NOT COMMIT)
    find_package(Git QUIET)
    set(COMMIT "unbekannt")
    if(GIT_FOUND)
        execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
                        OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE
                        RESULT_VARIABLE failed ERROR_QUIET)
        if(NOT failed)
            execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" status --porcelain
                                    --untracked-files=no
                            OUTPUT_VARIABLE changes ERROR_QUIET)
            set(COMMIT "${head}")
            if(changes)
                string(APPEND COMMIT " mit Änderungen")
            endif()
        endif()
    endif()
endif()
file(WRITE "${OUT}.new" "#define BLATTKOPF_COMMENTS \"Commit ${COMMIT}\"\n")
configure_file("${OUT}.new" "${OUT}" COPYONLY)
file(REMOVE "${OUT}.new")
