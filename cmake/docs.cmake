# The target quorvel-docs: reference documentation from the comments of the public headers, with
# Doxygen, into <build>/reference/html. Any warning (an undocumented entity, a broken reference)
# fails the build.
find_package(Doxygen 1.9 REQUIRED)
set(QUORVEL_DOCS_INPUT "${PROJECT_SOURCE_DIR}/quorvel/quorvel.hpp ${PROJECT_SOURCE_DIR}/quorvel/format.hpp")
set(QUORVEL_DOCS_OUTPUT ${PROJECT_BINARY_DIR}/reference)
configure_file(${PROJECT_SOURCE_DIR}/docs/Doxyfile.in ${PROJECT_BINARY_DIR}/Doxyfile @ONLY)
add_custom_target(quorvel-docs
    COMMAND Doxygen::doxygen ${PROJECT_BINARY_DIR}/Doxyfile
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    DEPENDS ${PROJECT_SOURCE_DIR}/quorvel/quorvel.hpp ${PROJECT_SOURCE_DIR}/quorvel/format.hpp
            ${PROJECT_SOURCE_DIR}/docs/Doxyfile.in
    COMMENT "Reference documentation into ${QUORVEL_DOCS_OUTPUT}/html"
    VERBATIM)
