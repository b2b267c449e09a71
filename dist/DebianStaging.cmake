# Run by cpack on the package's staging folder once `cmake --install` has filled it: what Debian
# asks of a package beyond the plain install. The game and its pack tool live in /usr/games (the
# game still finds its packs as ../share/strikora/sounds); man pages and the changelog are gzipped
# without a time stamp, so that the same sources give the same package.
set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(dir_permissions OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                    WORLD_EXECUTE)

function(gzip_in_place file)
  execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${file} failed")
  endif()
endfunction()

file(GLOB programs RELATIVE "${usr}/bin" "${usr}/bin/*")
if(programs)
  file(MAKE_DIRECTORY "${usr}/games")
  file(CHMOD "${usr}/games" DIRECTORY_PERMISSIONS ${dir_permissions})
  foreach(program ${programs})
    file(RENAME "${usr}/bin/${program}" "${usr}/games/${program}")
  endforeach()
  file(REMOVE_RECURSE "${usr}/bin")
endif()

file(GLOB man_pages "${usr}/share/man/man*/*.[1-9]")
foreach(page ${man_pages})
  gzip_in_place("${page}")
endforeach()

set(doc "${usr}/share/doc/strikora")
file(COPY_FILE "${CPACK_STRIKORA_DIST_DIR}/changelog" "${doc}/changelog")
gzip_in_place("${doc}/changelog")
