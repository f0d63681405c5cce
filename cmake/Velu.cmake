# velu_add_library(name SOURCES ... LIBS ...): a folder's library target.
function(velu_add_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# velu_add_test(name SOURCES ... LIBS ...): one GoogleTest executable, registered with CTest.
function(velu_add_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gtest_main)
  # Key presses and clicks into real widgets.
  if(TARGET Qt6::Test)
    target_link_libraries(${name} PRIVATE Qt6::Test)
  endif()
  # Paths and the headless platform come from tests/TestEnv.cpp, so a test program run by hand behaves the same.
  target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/TestEnv.cpp)
  target_compile_definitions(${name} PRIVATE VELU_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             VELU_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# velu_folder_library(name LIBS ...): a library of every .cpp in the calling folder (main.cpp aside); an
# interface library while the folder has no sources yet. Libraries named in LIBS that do not exist yet are
# skipped, so folders can fill in any order.
function(velu_folder_library name)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  set(cpp ${srcs})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  set(libs)
  foreach(l IN LISTS A_LIBS)
    if(TARGET ${l} OR l MATCHES "::")
      list(APPEND libs ${l})
    endif()
  endforeach()
  if(cpp)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${libs})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${libs})
  endif()
endfunction()

# velu_folder_test(name LIBS ...): one test program of every .cpp in the calling tests folder.
function(velu_folder_test name)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(srcs)
    velu_add_test(${name} SOURCES ${srcs} LIBS ${A_LIBS})
  endif()
endfunction()
