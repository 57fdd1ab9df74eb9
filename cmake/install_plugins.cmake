# Installs the VST 2 object, the LV2 bundle and the CLAP plug-in side by side
# in the folders hosts search: with the home folder as prefix, ~/.vst, ~/.lv2
# and ~/.clap (one user); with any other prefix, PREFIX/lib/vst, PREFIX/lib/lv2
# and PREFIX/lib/clap (/usr/lib/... for the system with --prefix /usr). Run by
# cmake --install; the build sets QS_VST_OBJECT, QS_LV2_BUNDLE and QS_CLAP_OBJECT.
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" REALPATH)
get_filename_component(home "$ENV{HOME}" REALPATH)
if(DEFINED ENV{HOME} AND prefix STREQUAL home)
  set(vst_dir "${prefix}/.vst")
  set(lv2_dir "${prefix}/.lv2")
  set(clap_dir "${prefix}/.clap")
else()
  set(vst_dir "${prefix}/lib/vst")
  set(lv2_dir "${prefix}/lib/lv2")
  set(clap_dir "${prefix}/lib/clap")
endif()
# file(INSTALL) puts DESTDIR in front of the folders by itself.
file(INSTALL "${QS_VST_OBJECT}" DESTINATION "${vst_dir}" USE_SOURCE_PERMISSIONS)
file(INSTALL "${QS_LV2_BUNDLE}" DESTINATION "${lv2_dir}" USE_SOURCE_PERMISSIONS)
file(INSTALL "${QS_CLAP_OBJECT}" DESTINATION "${clap_dir}" USE_SOURCE_PERMISSIONS)
