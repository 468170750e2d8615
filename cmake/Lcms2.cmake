# LittleCMS 2, cross-built by scripts/deps-lcms2 into a cache outside the tree.
set(TL_LCMS2_ROOT "$ENV{HOME}/.cache/talvo-deps/lcms2-${TL_ARCH}" CACHE PATH
    "Install prefix of the cross-built LittleCMS 2")
if(NOT TL_LCMS2_ROOT OR NOT EXISTS "${TL_LCMS2_ROOT}/lib/liblcms2.a")
  message(FATAL_ERROR "LittleCMS 2 not found: run scripts/build, which builds it (scripts/deps-lcms2).")
endif()
add_library(tl_lcms2 STATIC IMPORTED GLOBAL)
set_target_properties(tl_lcms2 PROPERTIES
  IMPORTED_LOCATION "${TL_LCMS2_ROOT}/lib/liblcms2.a"
  INTERFACE_INCLUDE_DIRECTORIES "${TL_LCMS2_ROOT}/include"
  INTERFACE_COMPILE_DEFINITIONS "CMS_NO_REGISTER_KEYWORD")
