# What other programs need to build against the installed library: a pkg-config file and a
# CMake package whose imported target KTR-7::KTR-7 carries the include directory and the
# adapter library. Both find the prefix from where they are installed, so the installed tree
# can be moved.
include(CMakePackageConfigHelpers)

set(KTR7_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KTR-7)
install(EXPORT KTR-7Targets NAMESPACE KTR-7:: DESTINATION ${KTR7_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/KTR-7Config.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/KTR-7Config.cmake INSTALL_DESTINATION ${KTR7_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/KTR-7ConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/KTR-7Config.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/KTR-7ConfigVersion.cmake
        DESTINATION ${KTR7_CMAKE_DIR})

# ${pcfiledir} is where pkg-config found the file: the prefix lies that far above it.
file(RELATIVE_PATH KTR7_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" KTR7_PC_TO_PREFIX "${KTR7_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/KTR-7.pc.in ${CMAKE_CURRENT_BINARY_DIR}/KTR-7.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/KTR-7.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
