# DLLs with exports from a module-definition file, under the functions' plain names.
#
# With __stdcall on 32-bit Windows a function's symbol carries the bytes of its arguments
# (_KTR_7_Get5V@4). The DLL still exports the plain name from the .def file (the linker's
# stdcall fixup resolves it to the decorated symbol); its import library, which callers link
# with, is then made by dlltool from a copy of the .def file with the decorated names, mapped
# to the plain ones (-k).

# ktr7_stdcall_def(<variable> <def file> <name@bytes>...): writes that decorated copy.
function(ktr7_stdcall_def variable def)
    get_filename_component(name_we ${def} NAME_WE)
    set(decorated_def ${CMAKE_CURRENT_BINARY_DIR}/${name_we}-stdcall.def)
    file(STRINGS ${def} lines)
    set(text "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^( +)([A-Za-z_][A-Za-z0-9_]*)(.*)$")
            set(indent "${CMAKE_MATCH_1}")
            set(function "${CMAKE_MATCH_2}")
            set(rest "${CMAKE_MATCH_3}")
            set(bytes "")
            foreach(entry IN LISTS ARGN)
                if(entry MATCHES "^${function}@([0-9]+)$")
                    set(bytes ${CMAKE_MATCH_1})
                endif()
            endforeach()
            if(bytes STREQUAL "")
                message(FATAL_ERROR "${def}: no argument bytes given for ${function}")
            endif()
            string(APPEND text "${indent}${function}@${bytes}${rest}\n")
        else()
            string(APPEND text "${line}\n")
        endif()
    endforeach()
    file(WRITE ${decorated_def} "${text}")
    set(${variable} ${decorated_def} PARENT_SCOPE)
endfunction()

# ktr7_windows_dll(<target> <def file> <convention> <name@bytes>...): <target>.dll exporting what
# the .def file lists, with an import library that fits the calling convention.
function(ktr7_windows_dll target def convention)
    target_sources(${target} PRIVATE ${def})
    set_target_properties(${target} PROPERTIES PREFIX "")
    target_link_options(${target} PRIVATE -Wl,--enable-stdcall-fixup)
    if(convention STREQUAL "stdcall" AND CMAKE_SIZEOF_VOID_P EQUAL 4)
        ktr7_stdcall_def(decorated_def ${def} ${ARGN})
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_DLLTOOL} -d ${decorated_def} -l $<TARGET_LINKER_FILE:${target}>
                    -D $<TARGET_FILE_NAME:${target}> -k
            COMMENT "Import library of ${target} for __stdcall callers")
    endif()
endfunction()
