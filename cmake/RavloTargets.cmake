# moc's build step only re-runs when a file it already knows changes, so a new Q_OBJECT header would
# miss its vtable at link time in an incremental build. When the folder's file list differs from the
# last configure, the step's stamp is removed so that it runs again.
function(ravlo_rerun_moc_on_new_files name)
  string(SHA1 list_hash "${ARGN}")
  set(hash_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen_files.sha1")
  if(EXISTS "${hash_file}")
    file(READ "${hash_file}" old_hash)
  else()
    set(old_hash "")
  endif()
  if(NOT old_hash STREQUAL list_hash)
    file(REMOVE "${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/timestamp")
    file(WRITE "${hash_file}" "${list_hash}")
  endif()
endfunction()

# One library target per source folder. A folder's sources are its own *.cpp files, not those of
# sub-folders such as ui/ (targets of their own) and not program entry files (*_main.cpp). A folder
# with no sources yet is an interface target, so that the folders above it can name it already.
function(ravlo_library name folder)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp")
  list(FILTER sources EXCLUDE REGEX "_main\\.cpp$")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    if(ARG_QT)
      ravlo_rerun_moc_on_new_files(${name} ${sources})
      set_target_properties(${name} PROPERTIES AUTOMOC ON)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# A program built from one *_main.cpp file of a source folder, placed at the top of the build
# folder. Nothing is built while the file does not exist yet.
function(ravlo_program name file)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  set(path "${CMAKE_CURRENT_SOURCE_DIR}/${file}")
  if(NOT EXISTS "${path}")
    return()
  endif()
  add_executable(${name} "${path}")
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}")
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# One test program per test folder; every test case is a CTest test labelled "unit" unless the
# folder is given another label ("e2e" for tests over pseudo-terminals and child programs, "ui" for
# offscreen Qt tests). The sanitizer run takes the "unit" tests. A folder without tests is skipped.
function(ravlo_test name folder)
  cmake_parse_arguments(ARG "QT" "LABEL" "DEPS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} ravlo_test_support GTest::gtest GTest::gmock GTest::gtest_main)
  if(ARG_QT)
    ravlo_rerun_moc_on_new_files(${name} ${sources})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
