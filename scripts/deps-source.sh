# Shared by the scripts/deps-* builders (sourced, not run): the cache folder
# and Debian's source package of a library, fetched once into it.
deps_cache=${TL_DEPS_CACHE:-$HOME/.cache/talvo-deps}

deps_sudo=()
[ "$(id -u)" -eq 0 ] || deps_sudo=(sudo)

# Debian's source lists: a deb-src twin of every deb entry.
deps_enable_sources() {
  local src_list=/etc/apt/sources.list.d/talvo-deb-src.sources
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | "${deps_sudo[@]}" tee "$src_list" >/dev/null
    "${deps_sudo[@]}" apt-get update -qq >/dev/null
  fi
}

# deps_unpack <source package> <work folder>: fetches the package's upstream
# tarball into the cache when it is not there, unpacks it into the work
# folder and prints the unpacked source folder.
deps_unpack() {
  local package=$1 work=$2
  mkdir -p "$deps_cache/src"
  if ! ls "$deps_cache/src/${package}"_*.orig.tar.* >/dev/null 2>&1; then
    deps_enable_sources
    (cd "$deps_cache/src" && apt-get source --download-only -qq "$package" >/dev/null 2>&1)
  fi
  local tarball
  tarball=$(ls "$deps_cache/src/${package}"_*.orig.tar.* | head -n1)
  tar -xf "$tarball" -C "$work"
  find "$work" -maxdepth 1 -mindepth 1 -type d | head -n1
}
