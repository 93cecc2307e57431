# kavelune_subsystem(NAME [DEPS ...]): a static library from every .cpp in the calling folder,
# named kavelune_NAME, with src/ as its include root.
function(kavelune_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    message(FATAL_ERROR "Subsystem ${name} in ${CMAKE_CURRENT_SOURCE_DIR} has no source files")
  endif()
  add_library(kavelune_${name} STATIC ${sources})
  target_include_directories(kavelune_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(kavelune_${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# kavelune_test_folder(FOLDER PREFIX): one GoogleTest executable per sub-folder of FOLDER,
# named PREFIX_<sub>, linking kavelune_<sub> when such a library exists. A sub-folder with a
# CMakeLists.txt of its own is added instead, for tests that need more.
function(kavelune_test_folder folder prefix)
  file(GLOB subs LIST_DIRECTORIES true ${folder}/*)
  foreach(sub_path ${subs})
    if(NOT IS_DIRECTORY ${sub_path})
      continue()
    endif()
    get_filename_component(sub ${sub_path} NAME)
    if(EXISTS ${sub_path}/CMakeLists.txt)
      add_subdirectory(${sub_path})
      continue()
    endif()
    file(GLOB sources CONFIGURE_DEPENDS ${sub_path}/*.cpp)
    if(NOT sources)
      continue()
    endif()
    kavelune_test(${prefix}_${sub} SOURCES ${sources} LIBS kavelune_${sub})
  endforeach()
endfunction()

# kavelune_test(NAME SOURCES ... [LIBS ...]): a GoogleTest executable registered with ctest.
function(kavelune_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  foreach(lib ${ARG_LIBS})
    if(TARGET ${lib})
      target_link_libraries(${name} PRIVATE ${lib})
    endif()
  endforeach()
  target_link_libraries(${name} PRIVATE kavelune_testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    KAVELUNE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KAVELUNE_PROGRAM_DIR="${KAVELUNE_PROGRAM_DIR}"
    KAVELUNE_KVL="${KAVELUNE_PROGRAM_DIR}/kvl")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
