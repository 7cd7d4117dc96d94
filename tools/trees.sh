# Sourced by the build and test scripts: the build trees under build/ and the
# CMake options of each, in this one place, and the helpers every script uses.
#   vellox_configure TREE  configures build/TREE, again whenever its options
#                          differ from those it was last configured with
#   vellox_source_files    the C++ sources to check, one per line (not the
#                          vendored headers in third_party/)
vellox_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Sets the array vellox_options to the CMake options of TREE.
vellox_tree_options() { # tree
  case "$1" in
    linux) vellox_options=(-DCMAKE_BUILD_TYPE=Release) ;;
    # The native tree as tools/run.sh first makes it: the module and the tool
    # only, so that rendering needs none of the test packages.
    render) vellox_options=(-DCMAKE_BUILD_TYPE=Release -DVELLOX_TESTS=OFF) ;;
    # The Windows bundle's editor snapshot is painted by the native host tool.
    windows) vellox_options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$vellox_top/cmake/mingw-w64.cmake"
      -DVELLOX_NATIVE_HOST_TOOL="$vellox_top/build/linux/vellox") ;;
    # clang: it compiles the test programs in half the time GCC takes under
    # the sanitizers, and the libFuzzer targets build in the same tree.
    asan) vellox_options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLOX_SANITIZE=ON -DVELLOX_FUZZ=ON -DVELLOX_BENCH=OFF
      -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14) ;;
    tsan) vellox_options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLOX_TSAN=ON -DVELLOX_BENCH=OFF) ;;
    *) echo "unknown build tree: $1" >&2; return 1 ;;
  esac
}

# The options a tree was configured with are kept beside its cache. Changed
# options start from a fresh cache, so that an option left out is gone too;
# a tree configured by other means keeps its cache and gets these options.
vellox_configure() { # tree [dir]
  local tree=$1 dir=${2:-$vellox_top/build/$1} wanted
  vellox_tree_options "$tree" || return 1
  wanted=$(printf '%s\n' "${vellox_options[@]}")
  if [ -f "$dir/build.ninja" ] && [ -f "$dir/vellox-options.txt" ] && [ "$(cat "$dir/vellox-options.txt")" = "$wanted" ]; then
    return 0
  fi
  [ -f "$dir/vellox-options.txt" ] && rm -f "$dir/CMakeCache.txt"
  rm -f "$dir/vellox-options.txt"
  cmake -S "$vellox_top" -B "$dir" -G Ninja "${vellox_options[@]}" >/dev/null || return 1
  printf '%s\n' "$wanted" >"$dir/vellox-options.txt"
}

# The checkout's files where there is one (new files not yet added included),
# otherwise the file tree without build/.
vellox_source_files() {
  if git -C "$vellox_top" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$vellox_top" ls-files --cached --others --exclude-standard '*.cpp' '*.h' ':!third_party' |
      while IFS= read -r f; do [ -f "$vellox_top/$f" ] && echo "$f"; done
  else
    (cd "$vellox_top" && find . \( -path ./build -o -path ./third_party \) -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | sort)
  fi
}
