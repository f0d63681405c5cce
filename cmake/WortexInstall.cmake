# Install helpers of the spell-checking library (component Wortex32). The prefix is known only when
# installing (`cmake --install --prefix`), so files that name installed paths are written then, or name
# them relative to where they lie.

# The install path of a GNUInstallDirs directory as a pkg-config file writes it: under ${prefix} unless it
# is absolute.
function(wortex_pc_path var dir)
  if(IS_ABSOLUTE "${dir}")
    set(${var} "${dir}" PARENT_SCOPE)
  else()
    set(${var} "\${prefix}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

# <name>.pc from cmake/<name>.pc.in into ${CMAKE_INSTALL_LIBDIR}/pkgconfig; the prefix is found from the
# file's own place, so the file stays right wherever the tree is installed.
function(wortex_install_pkg_config name)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(WORTEX_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
  else()
    file(RELATIVE_PATH up /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
    string(REGEX REPLACE "/$" "" up "${up}")
    set(WORTEX_PC_PREFIX "\${pcfiledir}/${up}")
  endif()
  wortex_pc_path(WORTEX_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
  wortex_pc_path(WORTEX_PC_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}")
  wortex_pc_path(WORTEX_PC_DATADIR "${CMAKE_INSTALL_DATADIR}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${name}.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${name}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
          COMPONENT Wortex32)
endfunction()

# The sample WORTEX.INI into dir, naming the dictionary installed there by its full path: the library
# reads the file from a host's folder or its own, not from dir.
function(wortex_install_settings_sample dir dictionary)
  install(CODE "
    set(dir \"${dir}\")
    if(NOT IS_ABSOLUTE \"\${dir}\")
      set(dir \"\${CMAKE_INSTALL_PREFIX}/\${dir}\")
    endif()
    set(WORTEX_INI_DICTIONARY \"\${dir}/${dictionary}\")
    message(STATUS \"Installing: \$ENV{DESTDIR}\${dir}/WORTEX.INI\")
    configure_file(\"${PROJECT_SOURCE_DIR}/cmake/WORTEX.INI.in\" \"\$ENV{DESTDIR}\${dir}/WORTEX.INI\" @ONLY)
  " COMPONENT Wortex32)
endfunction()
