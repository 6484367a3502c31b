# The target quorvel-docs: reference documentation from the comments of the public headers, with
# Doxygen, into <build>/reference/html. Any warning (an undocumented entity, a broken reference)
# fails the build.
find_package(Doxygen 1.9 REQUIRED)
file(GLOB quorvel_public_headers ${PROJECT_SOURCE_DIR}/include/quorvel/*.hpp)
list(JOIN quorvel_public_headers " " QUORVEL_DOCS_INPUT)
# The pages the README links to, so that its links resolve in the reference too.
set(quorvel_docs_pages ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/docs/design.md
    ${PROJECT_SOURCE_DIR}/docs/performance.md ${PROJECT_SOURCE_DIR}/docs/releasing.md
    ${PROJECT_SOURCE_DIR}/docs/reliability.md)
list(JOIN quorvel_docs_pages " " QUORVEL_DOCS_PAGES)
set(QUORVEL_DOCS_OUTPUT ${PROJECT_BINARY_DIR}/reference)
configure_file(${PROJECT_SOURCE_DIR}/docs/Doxyfile.in ${PROJECT_BINARY_DIR}/Doxyfile @ONLY)
add_custom_target(quorvel-docs
    COMMAND Doxygen::doxygen ${PROJECT_BINARY_DIR}/Doxyfile
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    DEPENDS ${quorvel_public_headers}
            ${PROJECT_SOURCE_DIR}/README.md ${quorvel_docs_pages}
            ${PROJECT_SOURCE_DIR}/docs/Doxyfile.in
    COMMENT "Reference documentation into ${QUORVEL_DOCS_OUTPUT}/html"
    VERBATIM)
