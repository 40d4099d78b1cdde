# What `cmake --install` puts on a Linux system (prefix settable with --prefix; --strip drops
# the debugging information):
#   <libdir>/libtarvo.so.<version> with its soname link libtarvo.so.<major> and libtarvo.so,
#   and beside it the stand-ins it loads by name (libleitura.so, libato17.so, libinpout32.so)
#   <includedir>/tarvo/tarvo.h        the plain C header generated from the export list
#   <libdir>/pkgconfig/tarvo.pc       (cc pdv.c $(pkg-config --cflags --libs tarvo))
#   <libdir>/cmake/Tarvo/             (find_package(Tarvo), target Tarvo::tarvo)
#   <bindir>/belmora, <datadir>/belmora/Imagens and Ajuda, its .desktop entry and icon
#   (console/CMakeLists.txt)
include(CMakePackageConfigHelpers)

set_target_properties(tarvo PROPERTIES VERSION ${TARVO_VERSAO} SOVERSION ${PROJECT_VERSION_MAJOR})
install(TARGETS tarvo EXPORT TarvoAlvos LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
# The library looks for these in its own folder first.
install(TARGETS leitura ato17 inpout32 LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${TARVO_CABECALHO} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tarvo)

# The .pc file finds the prefix from its own place, so an install under another prefix
# (--prefix at install time) is described right too.
file(RELATIVE_PATH TARVO_PC_PREFIXO /raiz/${CMAKE_INSTALL_LIBDIR}/pkgconfig /raiz)
string(REGEX REPLACE "/$" "" TARVO_PC_PREFIXO "${TARVO_PC_PREFIXO}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/tarvo.pc.in ${CMAKE_BINARY_DIR}/tarvo.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/tarvo.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The CMake package: find_package(Tarvo [1.0]) gives the imported target Tarvo::tarvo.
set(_tarvo_pacote ${CMAKE_INSTALL_LIBDIR}/cmake/Tarvo)
install(EXPORT TarvoAlvos NAMESPACE Tarvo:: FILE TarvoTargets.cmake DESTINATION ${_tarvo_pacote})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/TarvoConfig.cmake.in
  ${CMAKE_BINARY_DIR}/TarvoConfig.cmake INSTALL_DESTINATION ${_tarvo_pacote})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/TarvoConfigVersion.cmake
  VERSION ${TARVO_VERSAO} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/TarvoConfig.cmake ${CMAKE_BINARY_DIR}/TarvoConfigVersion.cmake
        DESTINATION ${_tarvo_pacote})
