# The library as a host programmer gets it: the component Wortex32 built with Debian's multiarch libdir and
# installed into a fresh prefix outside the build tree; then a C11 host (cc), a C++ host and a Qt host
# (c++) are built there with pkg-config alone and run from folders of their own, with nothing from the build
# tree on their search paths, and check German texts against the installed dictionary.
# -D SOURCE_DIR (the project), HOSTS (the hosts' sources), WORK (a folder of the build tree for the build
# with that libdir, kept between runs), LIBDIR, GENERATOR, BUILD_TYPE, CXX_COMPILER, C_COMPILER, LAUNCHER, CC, CXX
function(run)
  cmake_parse_arguments(R "" "IN" "" ${ARGN})
  if(NOT R_IN)
    set(R_IN ${WORK})
  endif()
  execute_process(COMMAND ${R_UNPARSED_ARGUMENTS} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err
                  OUTPUT_STRIP_TRAILING_WHITESPACE WORKING_DIRECTORY ${R_IN})
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${R_UNPARSED_ARGUMENTS}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

function(expect what actual expected)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${what}:\n${actual}\nexpected:\n${expected}")
  endif()
endfunction()

# The build with the multiarch libdir: only what the component installs.
set(build ${WORK}/build)
file(MAKE_DIRECTORY ${build})
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build} -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
    -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DCMAKE_C_COMPILER=${C_COMPILER}
    -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER} -DCMAKE_C_COMPILER_LAUNCHER=${LAUNCHER}
    -DCMAKE_INSTALL_LIBDIR=${LIBDIR} -DVELU_BUILD_TESTS=OFF -DVELU_BUILD_BENCH=OFF)
run(${CMAKE_COMMAND} --build ${build} -j4 --target Wortex32 wx_win32_qt wortex32_dictionary)

set(tmp $ENV{TMPDIR})
if(NOT tmp)
  set(tmp /tmp)
endif()
string(RANDOM LENGTH 10 tag)
set(top ${tmp}/wortex-install-${tag})
set(prefix ${top}/prefix)
file(MAKE_DIRECTORY ${top})
run(${CMAKE_COMMAND} --install ${build} --component Wortex32 --prefix ${prefix})

# What the host programmer finds.
set(lib ${prefix}/${LIBDIR})
file(GLOB sonames RELATIVE ${lib} ${lib}/libWortex32.so.* ${lib}/libwx_win32.so.* ${lib}/libwx_win32_qt.so.*)
list(SORT sonames)
foreach(f libWortex32.so libwx_win32.so libwx_win32_qt.so pkgconfig/wortex32.pc pkgconfig/wortex32-qt.pc)
  if(NOT EXISTS ${lib}/${f})
    message(FATAL_ERROR "not installed: ${LIBDIR}/${f}")
  endif()
endforeach()
run(readelf -d ${lib}/libWortex32.so)
string(REGEX MATCH "Library soname: \\[[^]]*\\]" soname "${out}")
expect("soname of libWortex32.so" "${soname}" "Library soname: [libWortex32.so.${MAJOR}]")
list(LENGTH sonames versioned)
expect("versioned library files" "${versioned}" "6")
foreach(f include/wortex32/Wortex32.h include/wortex32/platform/win32/HostFunctions.h
          include/wortex32/platform/win32/qt/QtUi.h share/wortex32/ngerman.wxd share/wortex32/WORTEX.INI
          share/wortex32/help/index.html share/doc/wortex32/wortex-host.md)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
foreach(f HandleTable.h Kernel.h FileApi.h Profile.h StringTable.h)
  if(EXISTS ${prefix}/include/wortex32/platform/win32/${f})
    message(FATAL_ERROR "an inner header of the window layer was installed: ${f}")
  endif()
endforeach()
# As a system install: the dictionary and its folder can't be written (by anyone but root).
file(CHMOD ${prefix}/share/wortex32/ngerman.wxd PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
file(CHMOD ${prefix}/share/wortex32 PERMISSIONS OWNER_READ OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
     WORLD_EXECUTE)

# pkg-config alone, nothing of the build tree.
set(ENV{PKG_CONFIG_PATH} ${lib}/pkgconfig)
unset(ENV{LD_LIBRARY_PATH})
run(pkg-config --variable=library wortex32)
set(library ${out})
run(pkg-config --variable=dictionary wortex32)
set(dictionary ${out})
run(pkg-config --variable=helpdir wortex32)
if(NOT EXISTS ${out}/index.html OR NOT EXISTS ${out}/thema-3.html)
  message(FATAL_ERROR "no help pages in ${out}")
endif()
run(pkg-config --cflags --libs wortex32)
separate_arguments(flags UNIX_COMMAND "${out}")
run(pkg-config --cflags --libs wortex32-qt)
separate_arguments(qtflags UNIX_COMMAND "${out}")
foreach(host c_host qt_host cpp_host)
  file(MAKE_DIRECTORY ${top}/${host})
endforeach()
run(${CC} -std=c11 -Wall -Wextra -Werror ${HOSTS}/c_host.c ${flags} -o c_host IN ${top}/c_host)
run(${CXX} -std=c++20 ${HOSTS}/qt_host.cpp -fPIC ${qtflags} -o qt_host IN ${top}/qt_host)
run(${CXX} -std=c++20 ${HOSTS}/host.cpp ${flags} -o cpp_host IN ${top}/cpp_host)
foreach(host c_host qt_host cpp_host)
  run(ldd ${top}/${host}/${host})
  string(REGEX MATCHALL "lib(Wortex32|wx_win32|wx_win32_qt)\\.so[^\n]*" found "${out}")
  foreach(line IN LISTS found)
    string(FIND "${line}" "${lib}/" at)
    if(at LESS 0)
      message(FATAL_ERROR "${host} finds a library outside the prefix: ${line}")
    endif()
  endforeach()
endforeach()

# The C host takes the sample settings into its folder, which name the installed dictionary. No one answers
# the dialog: the check stops at the reported word, in the EDIT window and in the host's own editor, and
# goes on from the caret to the end, also behind a word with an apostrophe ending; a correction is refused
# unanswered under the shipped settings and written without asking when ConfirmCorr is off.
file(COPY ${prefix}/share/wortex32/WORTEX.INI DESTINATION ${top}/c_host)
run(${top}/c_host/c_host ${library} IN ${top}/c_host)
string(CONCAT expected "ngerman.wxd|words|known|1|1|1|Rechnnung 4-13|1|vor 49-52|unchanged|Rechnung|freed"
       "|0|1|Rechnnung at 13|unchanged|die Planung liegt vor.|Die Planung liegt vor.|5-10,15-20")
expect("C host" "${out}" "${expected}")

# The Qt host opens the dictionary by its path and clicks "Ignorieren".
run(${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${top}/qt_host/qt_host ${library} ${dictionary}
    IN ${top}/qt_host)
expect("Qt host" "${out}" "dictionary|1|1|Rechnnung|unchanged")

run(${top}/cpp_host/cpp_host ${library} IN ${top}/cpp_host)
expect("C++ host" "${out}" "1|Der Bauherr zahlt die Rechnung/Die Zeichnungen liegen vor.|Hilfe")

# The same settings beside the library serve a host whose folder has none.
file(COPY ${prefix}/share/wortex32/WORTEX.INI DESTINATION ${lib})
file(MAKE_DIRECTORY ${top}/c_host/elsewhere)
run(${top}/c_host/c_host ${library} IN ${top}/c_host/elsewhere)
expect("C host with the settings beside the library" "${out}" "${expected}")

file(CHMOD ${prefix}/share/wortex32 PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(REMOVE_RECURSE ${top})
message(STATUS "installed hosts checked in ${LIBDIR}")
