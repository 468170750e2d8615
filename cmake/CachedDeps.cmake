# Libraries cross-built by scripts/deps-* from Debian's source packages into
# a cache outside the tree (scripts/build passes their install prefixes).

# tl_cached_library(target ROOT_VAR dir-name library script [DEFINITIONS ...])
function(tl_cached_library target root_var dir library script)
  cmake_parse_arguments(A "" "" "DEFINITIONS" ${ARGN})
  set(${root_var} "$ENV{HOME}/.cache/talvo-deps/${dir}-${TL_ARCH}" CACHE PATH
      "Install prefix of the cross-built ${dir}")
  set(root "${${root_var}}")
  if(NOT root OR NOT EXISTS "${root}/lib/${library}")
    message(FATAL_ERROR "${dir} not found: run scripts/build, which builds it (scripts/${script}).")
  endif()
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES
    IMPORTED_LOCATION "${root}/lib/${library}"
    INTERFACE_INCLUDE_DIRECTORIES "${root}/include"
    INTERFACE_COMPILE_DEFINITIONS "${A_DEFINITIONS}")
endfunction()

tl_cached_library(tl_lcms2 TL_LCMS2_ROOT lcms2 liblcms2.a deps-lcms2 DEFINITIONS CMS_NO_REGISTER_KEYWORD)
tl_cached_library(tl_jpegturbo TL_JPEGTURBO_ROOT jpeg-turbo libjpeg.a deps-jpeg-turbo)
