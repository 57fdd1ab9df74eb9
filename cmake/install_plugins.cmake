# Installs the VST 2 object and the LV2 bundle side by side in the folders
# hosts search: with the home folder as prefix, ~/.vst and ~/.lv2 (one user);
# with any other prefix, PREFIX/lib/vst and PREFIX/lib/lv2 (/usr/lib/... for
# the system with --prefix /usr). Run by cmake --install; the build sets
# QS_VST_OBJECT and QS_LV2_BUNDLE.
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" REALPATH)
get_filename_component(home "$ENV{HOME}" REALPATH)
if(DEFINED ENV{HOME} AND prefix STREQUAL home)
  set(vst_dir "${prefix}/.vst")
  set(lv2_dir "${prefix}/.lv2")
else()
  set(vst_dir "${prefix}/lib/vst")
  set(lv2_dir "${prefix}/lib/lv2")
endif()
if(DEFINED ENV{DESTDIR})
  set(vst_dir "$ENV{DESTDIR}${vst_dir}")
  set(lv2_dir "$ENV{DESTDIR}${lv2_dir}")
endif()
file(INSTALL "${QS_VST_OBJECT}" DESTINATION "${vst_dir}" USE_SOURCE_PERMISSIONS)
file(INSTALL "${QS_LV2_BUNDLE}" DESTINATION "${lv2_dir}" USE_SOURCE_PERMISSIONS)
