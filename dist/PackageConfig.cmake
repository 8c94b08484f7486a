# Runs in CPack's staging folder before the package is made: the system's zel.ini goes to
# /etc/xdg/zel, which only the package may write. A plain cmake --install leaves /etc alone.
configure_file(${CPACK_ZEL_SYSTEM_INI} ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/etc/xdg/zel/zel.ini
               COPYONLY)
