# Sourced by the build scripts: configures the three build trees of the repository.
# A tree that is configured already is left to ninja, which configures it again when a
# CMakeLists.txt changes; so a second run starts building at once.
_talvenor_trees_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# talvenor_configure DIR [CMAKE ARGUMENTS ...]
talvenor_configure() {
  local dir="$1"
  shift
  local wanted="$*"
  if [ -f "$dir/build.ninja" ] && [ "$(cat "$dir/.talvenor-configured" 2>/dev/null)" = "$wanted" ]; then
    return 0
  fi
  cmake -S "$_talvenor_trees_root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  echo "$wanted" >"$dir/.talvenor-configured"
}

talvenor_configure_native() {
  talvenor_configure "$_talvenor_trees_root/build/native"
}

# talvenor_configure_windows DIR TOOLCHAIN: a Windows tree that takes make-medium from build/native.
talvenor_configure_windows() {
  talvenor_configure "$1" -DCMAKE_TOOLCHAIN_FILE="$_talvenor_trees_root/cmake/$2" \
      -DTALVENOR_NATIVE_BUILD="$_talvenor_trees_root/build/native"
}
