# SPDX-License-Identifier: GPL-3.0-or-later
# taonscope_compress(GZIPPED FILE): makes FILE.gz beside FILE (a file of the build tree) at build time,
# compressed as Debian installs manual pages and changelogs (gzip -9, without name or time, so that the
# same input gives the same bytes), and sets GZIPPED to its path.
find_program(TAONSCOPE_GZIP gzip REQUIRED)

function(taonscope_compress gzipped file)
    add_custom_command(OUTPUT ${file}.gz
                       COMMAND ${TAONSCOPE_GZIP} -9 -n -k -f ${file}
                       DEPENDS ${file}
                       COMMENT "Compressing ${file}"
                       VERBATIM)
    set(${gzipped} ${file}.gz PARENT_SCOPE)
endfunction()
