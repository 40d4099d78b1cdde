# What `cmake --install` puts on a Linux system (prefix settable with --prefix):
#   <libdir>/libtarvo.so.<version> with its soname link libtarvo.so.<major> and libtarvo.so
#   <includedir>/tarvo/tarvo.h and the export list it is made from
#   <libdir>/pkgconfig/tarvo.pc   (cc pdv.c $(pkg-config --cflags --libs tarvo))
#   <bindir>/belmora, <datadir>/belmora/Imagens and Ajuda (console/CMakeLists.txt)
set_target_properties(tarvo PROPERTIES
  VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}
  SOVERSION ${PROJECT_VERSION_MAJOR})
install(TARGETS tarvo LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})

set(_tarvo_include ${CMAKE_SOURCE_DIR}/driver/include)
install(FILES ${_tarvo_include}/tarvo.h ${_tarvo_include}/tarvo_pp.h ${_tarvo_include}/tarvo_exports.def
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tarvo)
install(DIRECTORY ${_tarvo_include}/exports DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tarvo
        FILES_MATCHING PATTERN "*.def")

# The .pc file finds the prefix from its own place, so an install under another prefix
# (--prefix at install time) is described right too.
file(RELATIVE_PATH TARVO_PC_PREFIXO /raiz/${CMAKE_INSTALL_LIBDIR}/pkgconfig /raiz)
string(REGEX REPLACE "/$" "" TARVO_PC_PREFIXO "${TARVO_PC_PREFIXO}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/tarvo.pc.in ${CMAKE_BINARY_DIR}/tarvo.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/tarvo.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
