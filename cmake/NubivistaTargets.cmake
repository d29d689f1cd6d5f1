# Shared compile settings for every target of the project.
function(nubivista_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(NUBIVISTA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_compile_definitions(${target} PRIVATE
        QT_NO_URL_CAST_FROM_STRING QT_NO_FOREACH QT_NO_CAST_FROM_BYTEARRAY)
endfunction()

# One library per subsystem folder: every .cpp of the folder (not of sub-folders).
function(nubivista_subsystem_library target)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    if(NOT sources)
        # A subsystem with nothing built yet still links as a dependency.
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR}/src)
        target_link_libraries(${target} INTERFACE ${ARG_LIBS})
        return()
    endif()
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${target} STATIC ${sources} ${headers})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_LIBS})
    nubivista_defaults(${target})
endfunction()
