# What `cmake --install` (make install) puts where, and the Debian package made
# from the same files by CPack (make package). Included at the end of the top
# CMakeLists.txt, once every target in QUILLARK_PROGRAMS exists.
include(GNUInstallDirs)

set(QUILLARK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillark)

install(TARGETS ${QUILLARK_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The programs look for their images in ../share/quillark beside their folder.
install(FILES ${QUILLARK_ASSETS} DESTINATION ${CMAKE_INSTALL_DATADIR}/quillark)

# Man pages are installed compressed, as Debian's policy asks; -n keeps the
# name and time out of the archive so that two builds give the same bytes.
file(GLOB QUILLARK_MAN_PAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/*.1)
set(QUILLARK_MAN_ARCHIVES)
foreach(page ${QUILLARK_MAN_PAGES})
  get_filename_component(page_name ${page} NAME)
  set(archive ${CMAKE_BINARY_DIR}/man/${page_name}.gz)
  add_custom_command(OUTPUT ${archive}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9nc ${page} > ${archive}
    DEPENDS ${page} VERBATIM)
  list(APPEND QUILLARK_MAN_ARCHIVES ${archive})
endforeach()
add_custom_target(quillark_man_pages ALL DEPENDS ${QUILLARK_MAN_ARCHIVES})
install(FILES ${QUILLARK_MAN_ARCHIVES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The sample guide, to be copied and compiled; the licence under the name
# Debian gives it; a changelog in Debian's form, which the package needs.
file(GLOB QUILLARK_SAMPLE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/*)
install(FILES ${QUILLARK_SAMPLE_FILES} DESTINATION ${QUILLARK_DOC_DIR}/sample)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${QUILLARK_DOC_DIR} RENAME copyright)
configure_file(${CMAKE_SOURCE_DIR}/cmake/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/changelog VERBATIM)
add_custom_target(quillark_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${QUILLARK_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quillark developers")
set(CPACK_PACKAGE_CONTACT "The Quillark developers <developers@quillark.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# gpp runs in every compilation; chmcmd only finishes CHM output with -gx.
set(CPACK_DEBIAN_PACKAGE_DEPENDS gpp)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fp-utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "help compiler for tagged plain-text sources")
# CPack puts the summary first and indents the lines below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quillark turns one plain-text source, marked up with a small vocabulary of
angle-bracket tags, into a finished help system: a WinHelp topic file and
project, a printable Rich Text document, an HTML Help project compiled to
CHM, or a folder of linked web pages with contents and index.

The gpp pre-processor runs over every source first, so sources can define
macros. The sample guide in /usr/share/doc/quillark/sample explains every
tag in the language itself.")
include(CPack)

# The release checks, label "release": they run the built programs, install
# into a temporary prefix and build the package. The sanitizer build leaves
# them out (ctest -LE release); the clang build, linked dynamically, makes
# and checks the package.
if(QUILLARK_TESTS AND NOT CMAKE_CROSSCOMPILING)
  set(release_tests ${CMAKE_SOURCE_DIR}/tests/release)
  add_test(NAME release.man_page
    COMMAND ${release_tests}/man_page_test.sh ${CMAKE_SOURCE_DIR}/docs/quillark.1
            $<TARGET_FILE:quillark>)
  add_test(NAME release.install
    COMMAND ${release_tests}/install_test.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}
            ${PROJECT_VERSION} ${QUILLARK_PROGRAMS})
  set_tests_properties(release.man_page release.install PROPERTIES LABELS release TIMEOUT 600)
  # Debian refuses statically linked programs: the package is made, and
  # checked, from a build that links them dynamically (make package).
  if(NOT QUILLARK_LINKED_STATICALLY)
    add_test(NAME release.package
      COMMAND ${release_tests}/package_test.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}
              ${PROJECT_VERSION} ${QUILLARK_PROGRAMS})
    set_tests_properties(release.package PROPERTIES LABELS release TIMEOUT 600)
  endif()
endif()
