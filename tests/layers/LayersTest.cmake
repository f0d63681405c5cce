# The layering check on small trees: each case writes its files (path, then the headers it includes,
# separated by "|") and says which file the check must name, or "pass" for a tree it must accept.
# cmake -DCHECK=<CheckLayers.cmake> -DWORK=<scratch folder> -P LayersTest.cmake
cmake_minimum_required(VERSION 3.25)

set(failures)
set(case_count 0)

# case(<name> <expect: pass or the offending file> <file entry> ...); a file entry is "path|include|include".
function(layer_case name expect)
  set(root "${WORK}/${name}")
  file(REMOVE_RECURSE "${root}")
  foreach(entry IN LISTS ARGN)
    string(REPLACE "|" ";" parts "${entry}")
    list(POP_FRONT parts path)
    set(text "#pragma once\n")
    foreach(inc IN LISTS parts)
      string(APPEND text "#include \"${inc}\"\n")
    endforeach()
    file(WRITE "${root}/${path}" "${text}")
  endforeach()
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${root} -P ${CHECK} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                  ERROR_VARIABLE out)
  if(expect STREQUAL "pass")
    if(NOT rc EQUAL 0)
      set(failures "${failures}\n${name}: refused a sound tree:\n${out}" PARENT_SCOPE)
    endif()
  elseif(rc EQUAL 0)
    set(failures "${failures}\n${name}: accepted a tree in which ${expect} breaks the layering" PARENT_SCOPE)
  else()
    string(FIND "${out}" "${expect}: includes" at)
    if(at EQUAL -1)
      set(failures "${failures}\n${name}: failed without naming ${expect}:\n${out}" PARENT_SCOPE)
    endif()
  endif()
endfunction()

# A sound tree: includes of the own layer and lower ones (bare, from the root, relative), the program's
# entry on top of everything, system headers and headers outside the tree.
set(sound
  "spell/storage/Doz3.h|Letters.h|string"
  "spell/storage/Letters.h"
  "spell/dictionary/DictionarySet.h|Doz3.h|spell/storage/Letters.h|../storage/Doz3.h"
  "spell/dictionary/StyleNetwork.cpp|DictionarySet.h|platform/win32/Window.h"
  "spell/api/ApiWindow.cpp|DictionarySet.h|StyleNetwork.cpp|Generated.h"
  "platform/win32/Window.h"
  "core/Startup.h|platform/win32/Window.h|core/MwSt.h"
  "core/MwSt.h"
  "fee/Grunddat.h|core/Startup.h"
  "app/main.cpp|core/Startup.h|fee/Grunddat.h|app/Forms.h"
  "app/Forms.h")
layer_case(sound pass ${sound})

# Each breach once, in an otherwise sound tree.
layer_case(bare_name_upwards spell/storage/Letters.h ${sound} "spell/storage/Letters.h|DictionarySet.h")
layer_case(path_upwards spell/dictionary/DictionarySet.h ${sound}
           "spell/dictionary/DictionarySet.h|spell/api/ApiWindow.cpp")
layer_case(relative_upwards spell/dictionary/StyleNetwork.cpp ${sound}
           "spell/dictionary/StyleNetwork.cpp|../api/ApiWindow.cpp")
layer_case(one_layer_up spell/storage/Doz3.h ${sound} "spell/storage/Doz3.h|spell/dictionary/DictionarySet.h")
layer_case(core_includes_fee core/Startup.h ${sound} "core/Startup.h|fee/Grunddat.h")
layer_case(core_includes_app core/MwSt.h ${sound} "core/MwSt.h|app/Forms.h")
layer_case(program_includes_app fee/Grunddat.h ${sound} "fee/Grunddat.h|app/Forms.h")
layer_case(library_includes_app spell/api/ApiWindow.cpp ${sound} "spell/api/ApiWindow.cpp|app/Forms.h")
# A build tree inside the source tree is not read.
layer_case(build_tree_ignored pass ${sound} "build-rel/app_autogen/Odd.cpp|app/Forms.h")

file(REMOVE_RECURSE "${WORK}")
if(failures)
  message(FATAL_ERROR "Layering check:${failures}")
endif()
message(STATUS "Layering check: every case as expected")
