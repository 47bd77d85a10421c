# tw_resources(<target> <file> [NAME <name>] [TYPE <type>] ...): compiles files into <target> as
# resources that FindResourceW/LoadImageW find, filed under the program's module (or, for a shared
# library, under that library's module).
#
# NAME and TYPE apply to the file before them. The name defaults to the file's stem in capitals
# (names compare without case); a number names a numbered resource. The type defaults by extension:
# .ico → ICON (RT_GROUP_ICON + one RT_ICON per picture), .cur → CURSOR (RT_GROUP_CURSOR + RT_CURSOR),
# .bmp → BITMAP (RT_BITMAP without the file header), anything else → RCDATA. Another TYPE is a custom
# type: a number (an integer type) or a string.
#
# The bytes go in with the assembler's .incbin (no copy through CMake), and a static initialiser adds
# them to the table at start-up. For a static library the generated object is handed to everything
# that links the library, as an object file, so the linker cannot drop it with the unused archive
# members.
function(tw_resources target)
    set(files "")
    set(names "")
    set(types "")
    set(expect "")
    foreach(arg IN LISTS ARGN)
        if(expect STREQUAL "NAME" OR expect STREQUAL "TYPE")
            list(LENGTH files n)
            if(n EQUAL 0)
                message(FATAL_ERROR "tw_resources(${target}): ${expect} before any file")
            endif()
            math(EXPR last "${n} - 1")
            if(expect STREQUAL "NAME")
                list(REMOVE_AT names ${last})
                list(INSERT names ${last} "${arg}")
            else()
                list(REMOVE_AT types ${last})
                list(INSERT types ${last} "${arg}")
            endif()
            set(expect "")
        elseif(arg STREQUAL "NAME" OR arg STREQUAL "TYPE")
            set(expect "${arg}")
        else()
            get_filename_component(path "${arg}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
            get_filename_component(stem "${path}" NAME_WE)
            get_filename_component(ext "${path}" LAST_EXT)
            string(TOUPPER "${stem}" stem)
            string(TOLOWER "${ext}" ext)
            if(ext STREQUAL ".ico")
                set(type ICON)
            elseif(ext STREQUAL ".cur")
                set(type CURSOR)
            elseif(ext STREQUAL ".bmp")
                set(type BITMAP)
            else()
                set(type RCDATA)
            endif()
            list(APPEND files "${path}")
            list(APPEND names "${stem}")
            list(APPEND types "${type}")
        endif()
    endforeach()
    if(expect)
        message(FATAL_ERROR "tw_resources(${target}): ${expect} without a value")
    endif()

    get_target_property(count ${target} TW_RESOURCE_SETS)
    if(NOT count)
        set(count 0)
    endif()
    math(EXPR count "${count} + 1")
    set_target_properties(${target} PROPERTIES TW_RESOURCE_SETS ${count})
    string(MAKE_C_IDENTIFIER "tw_res_${target}_${count}" prefix)

    get_target_property(kind ${target} TYPE)
    set(asm "")
    set(decls "")
    set(adds "")
    set(index 0)
    foreach(path IN LISTS files)
        list(GET names ${index} name)
        list(GET types ${index} type)
        string(TOUPPER "${type}" utype)
        set(ctype "nullptr")
        if(utype STREQUAL "ICON")
            set(ckind TW_RESFILE_ICON)
        elseif(utype STREQUAL "CURSOR")
            set(ckind TW_RESFILE_CURSOR)
        elseif(utype STREQUAL "BITMAP")
            set(ckind TW_RESFILE_BITMAP)
        elseif(utype STREQUAL "RCDATA")
            set(ckind TW_RESFILE_RCDATA)
        else()
            set(ckind TW_RESFILE_RCDATA)
            if(type MATCHES "^[0-9]+$")
                set(ctype "u\"#${type}\"")
            else()
                string(REPLACE "\\" "\\\\" t "${type}")
                string(REPLACE "\"" "\\\"" t "${t}")
                set(ctype "u\"${t}\"")
            endif()
        endif()
        if(name MATCHES "^[0-9]+$")
            set(cname "u\"#${name}\"")
        else()
            string(REPLACE "\\" "\\\\" n "${name}")
            string(REPLACE "\"" "\\\"" n "${n}")
            set(cname "u\"${n}\"")
        endif()
        string(REPLACE "\\" "\\\\" apath "${path}")
        string(REPLACE "\"" "\\\"" apath "${apath}")
        set(sym "${prefix}_${index}")
        string(APPEND asm "    .balign 16\n${sym}_begin:\n    .incbin \"${apath}\"\n${sym}_end:\n")
        string(APPEND decls "extern \"C\" TW_RES_HIDDEN const unsigned char ${sym}_begin[], ${sym}_end[];\n")
        string(APPEND adds "        TwAddFileResource(module, ${ctype}, ${cname}, ${ckind}, ${sym}_begin, DWORD(${sym}_end - ${sym}_begin));\n")
        math(EXPR index "${index} + 1")
    endforeach()

    if(kind STREQUAL "SHARED_LIBRARY" OR kind STREQUAL "MODULE_LIBRARY")
        set(module_code "    Dl_info info{};
    if (!dladdr(reinterpret_cast<const void*>(&Module), &info) || !info.dli_fname) return nullptr;
    return static_cast<HMODULE>(dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD));")
    else()
        set(module_code "    return nullptr; // the program")
    endif()

    set(out "${CMAKE_CURRENT_BINARY_DIR}/${prefix}.cpp")
    file(GENERATE OUTPUT "${out}" CONTENT "// Generated by tw_resources() for ${target}: the files below, compiled in as resources.
#include \"win/kernel32/winres.h\"

#include <dlfcn.h>

#define TW_RES_HIDDEN __attribute__((visibility(\"hidden\")))

asm(R\"tw_asm(
    .pushsection .rodata.${prefix},\"a\"
${asm}    .popsection
)tw_asm\");

${decls}
namespace {

HMODULE Module() {
${module_code}
}

struct Registrar {
    Registrar() {
        const HMODULE module = Module();
${adds}    }
} registrar;

} // namespace
")
    set_source_files_properties("${out}" PROPERTIES GENERATED TRUE OBJECT_DEPENDS "${files}")

    if(kind STREQUAL "STATIC_LIBRARY")
        add_library(${prefix} OBJECT "${out}")
        target_link_libraries(${prefix} PRIVATE tw_kernel32)
        target_link_libraries(${target} INTERFACE $<TARGET_OBJECTS:${prefix}> tw_kernel32)
        add_dependencies(${target} ${prefix})
    else()
        target_sources(${target} PRIVATE "${out}")
        target_link_libraries(${target} PRIVATE tw_kernel32)
    endif()
endfunction()
