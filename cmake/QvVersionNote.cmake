# qv_add_version_note(<executable> <major> <minor> <release> <build>)
# Links a version note (see src/controls/VersionNote.h) into the executable,
# so that the version can be read from the file without running it.

set(QUORVEL_BUILD 0 CACHE STRING "Build number stamped into the program's version note")

function(qv_add_version_note target major minor release build)
    set(QV_NOTE_TARGET ${target})
    set(QV_NOTE_MAJOR ${major})
    set(QV_NOTE_MINOR ${minor})
    set(QV_NOTE_RELEASE ${release})
    set(QV_NOTE_BUILD ${build})
    set(source "${CMAKE_CURRENT_BINARY_DIR}/${target}_version_note.cpp")
    configure_file("${PROJECT_SOURCE_DIR}/cmake/VersionNote.cpp.in" "${source}" @ONLY)
    target_sources(${target} PRIVATE "${source}")
    target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/src")
endfunction()
