# Run by cpack once it has staged the package's files (CPACK_PRE_BUILD_SCRIPTS): adds the shared
# libraries the package's ELF files need, as dpkg-shlibdeps computes them, to its dependencies.
# CPack's own shlibdeps step would do the same but also add maintainer scripts that run ldconfig
# for any library under /usr/lib, and the package's library lives in its private folder, which is
# never in the loader's cache.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
set(root "${CPACK_TEMPORARY_DIRECTORY}")
file(GLOB_RECURSE files LIST_DIRECTORIES false "${root}/*")
set(elves)
foreach(file IN LISTS files)
    if(NOT IS_SYMLINK "${file}")
        file(READ "${file}" magic LIMIT 4 HEX)
        if(magic STREQUAL "7f454c46")
            list(APPEND elves "${file}")
        endif()
    endif()
endforeach()
if(NOT elves)
    return()
endif()

# dpkg-shlibdeps insists on a debian/control in its working folder; an empty one will do.
set(work "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
file(MAKE_DIRECTORY "${work}/debian")
file(TOUCH "${work}/debian/control")
execute_process(
    COMMAND dpkg-shlibdeps -O "-l${root}/${CPACK_SCANIX_PRIVATEDIR}" ${elves}
    WORKING_DIRECTORY "${work}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors
)
if(NOT result EQUAL 0 OR NOT output MATCHES "shlibs:Depends=([^\n]*)")
    message(FATAL_ERROR "dpkg-shlibdeps failed (${result}):\n${errors}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}, ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
