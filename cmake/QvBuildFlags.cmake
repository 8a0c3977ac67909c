# Compiler flags shared by every target of the project.

add_compile_options(-Wall -Wextra)
if(QV_WERROR)
    # The test build also holds class hierarchies to their rules.
    add_compile_options(-Werror -Wsuggest-override -Woverloaded-virtual -Wnon-virtual-dtor)
endif()

if(QV_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

if(QV_BUILD_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "The fuzz targets need clang (use the 'fuzz' preset)")
    endif()
    # Undefined behaviour stops the run like a crash, so that the fuzzer
    # keeps the input that caused it.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

# Defaults for one of our own library or program targets.
function(qv_target_defaults target)
    target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS)
endfunction()
