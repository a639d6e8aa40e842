# The Windows program, cross-built with MinGW-w64 (cmake/mingw-w64-x86_64.cmake):
# quillark.exe and its images in the build folder, the zip that carries them,
# and the tests that run under Wine (make test-windows).

# quillark-<version>-win64.zip: the program, its images, README and licence in
# one folder of that name.
set(QUILLARK_ZIP_NAME quillark-${PROJECT_VERSION}-win64)
set(QUILLARK_ZIP_STAGE ${CMAKE_BINARY_DIR}/zip/${QUILLARK_ZIP_NAME})
add_custom_target(windows_zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLARK_ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quillark> ${QUILLARK_ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy ${QUILLARK_ASSETS} ${QUILLARK_ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
          ${QUILLARK_ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/zip
          ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/${QUILLARK_ZIP_NAME}.zip --format=zip
          ${QUILLARK_ZIP_NAME}
  DEPENDS quillark
  COMMENT "Packing ${QUILLARK_ZIP_NAME}.zip"
  VERBATIM)

if(QUILLARK_TESTS)
  # Stands in for the help compilers and a failing gpp.exe; not the real ones.
  add_executable(stand_in_compiler tests/windows/stand_in_compiler.cpp)
  set_target_properties(stand_in_compiler PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

  add_executable(quillark_windows_tests tests/windows/windows_rules_test.cpp)
  target_link_libraries(quillark_windows_tests PRIVATE GTest::gtest GTest::gtest_main)
  target_compile_definitions(quillark_windows_tests PRIVATE
    QUILLARK_VERSION="${PROJECT_VERSION}")
  set_target_properties(quillark_windows_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  add_dependencies(quillark_windows_tests quillark stand_in_compiler)
  add_test(NAME windows.rules COMMAND quillark_windows_tests)

  # The whole-run expected files, and the sample compiled by both programs.
  add_test(NAME windows.golden
    COMMAND ${CMAKE_SOURCE_DIR}/tests/windows/golden_test.sh $<TARGET_FILE:quillark>
            ${QUILLARK_LINUX_PROGRAM} ${CMAKE_SOURCE_DIR})
  # windows.rules moves C:\Windows\gpp.exe aside for a while: one at a time.
  set_tests_properties(windows.rules windows.golden PROPERTIES LABELS windows TIMEOUT 900
    RESOURCE_LOCK wine_prefix)
endif()

if(QUILLARK_TESTS)
  target_compile_options(quillark_unit_tests PRIVATE
    -include ${CMAKE_SOURCE_DIR}/tests/windows/posix_shims.h)
  file(STRINGS ${CMAKE_SOURCE_DIR}/tests/windows/linux_only_unit_tests.txt linux_only REGEX "^[^#]")
  list(JOIN linux_only ":" linux_only)
  set_tests_properties(windows.unit PROPERTIES ENVIRONMENT "GTEST_FILTER=-${linux_only}")
endif()
