# qv_restrict_links(<target> <allowed>...)
# Fails the configuration when <target> links anything not in <allowed>.
# Generator expressions that only wrap an allowed name are accepted.
function(qv_restrict_links target)
    set(allowed ${ARGN})
    foreach(prop LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
        get_target_property(libs ${target} ${prop})
        if(NOT libs)
            continue()
        endif()
        foreach(lib IN LISTS libs)
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" bare "${lib}")
            if(NOT bare IN_LIST allowed)
                message(FATAL_ERROR
                    "${target} may link only: ${allowed}; it links '${lib}'")
            endif()
        endforeach()
    endforeach()
endfunction()
