# Shared set-up of scripts/run, scripts/test and the other scripts. Sourced.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
JOBS=2

# Every Debian package the project needs to build, test and run.
PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev googletest
  qt6-base-dev qt6-svg-dev qt6-webengine-dev qt6-image-formats-plugins
  libgl-dev libxkbcommon-dev
  libraw-dev libopenjp2-7-dev libjbig-dev libwmf-dev fonts-urw-base35
  xvfb xauth
  p7zip-full
  adwaita-icon-theme shared-mime-info fonts-dejavu-core
  npm
  # scripts/package and its checks: icons drawn from the SVG, dpkg's tools, the validators
  librsvg2-bin dpkg-dev file man-db desktop-file-utils appstream lintian debootstrap
)

# The Flash emulator of the browser view (npm package, MIT / Apache-2.0).
RUFFLE_PACKAGE="@ruffle-rs/ruffle@0.6.0"

missing_packages() {
  local p missing=()
  for p in "${PACKAGES[@]}"; do
    # An npm that came with another Node.js install serves as well.
    if [ "$p" = npm ] && command -v npm >/dev/null 2>&1; then continue; fi
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]}"
}

ensure_packages() {
  local missing
  missing="$(missing_packages)"
  [ -z "$missing" ] && return 0
  echo "Installing missing packages: $missing"
  local cmd=(apt-get install -y --no-install-recommends $missing)
  if [ "$(id -u)" -eq 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get update -qq && DEBIAN_FRONTEND=noninteractive "${cmd[@]}"
  elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    sudo DEBIAN_FRONTEND=noninteractive apt-get update -qq && sudo DEBIAN_FRONTEND=noninteractive "${cmd[@]}"
  else
    echo "These packages are missing and this user cannot install them. Run:"
    echo "  sudo apt-get update && sudo ${cmd[*]}"
    exit 1
  fi
}

generator_args() {
  if command -v ninja >/dev/null 2>&1; then echo "-G Ninja"; fi
}

# A compiler cache, where the machine has one, shared by every checkout.
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=true
fi
launcher_args() {
  if command -v ccache >/dev/null 2>&1; then echo "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"; fi
}

# Fetches the Flash emulator into third_party/ruffle (not kept in git): its
# script, parts, WebAssembly and licences, without the source maps. Without
# npm or the network the build goes on and Flash previews show a notice.
fetch_ruffle() {
  local dest="$ROOT/third_party/ruffle"
  [ -f "$dest/ruffle.js" ] && return 0
  if ! command -v npm >/dev/null 2>&1; then
    echo "npm is missing: Flash previews will show a notice"
    return 0
  fi
  local tmp
  tmp="$(mktemp -d)"
  if (cd "$tmp" && npm pack --silent "$RUFFLE_PACKAGE" >/dev/null 2>&1) && tar -xzf "$tmp"/*.tgz -C "$tmp"; then
    mkdir -p "$dest"
    cp "$tmp"/package/*.js "$tmp"/package/*.wasm "$tmp"/package/package.json "$dest"/
    cp "$tmp"/package/LICENSE* "$dest"/ 2>/dev/null || true
  else
    echo "Could not fetch $RUFFLE_PACKAGE: Flash previews will show a notice"
  fi
  rm -rf "$tmp"
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir="$1"; shift
  fetch_ruffle
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$dir" $(generator_args) $(launcher_args) "$@"
  else
    cmake -S "$ROOT" -B "$dir" "$@" >/dev/null
  fi
  cmake --build "$dir" -j"$JOBS"
}

# The demo backup written by the fixture writer.
make_demo() {
  mkdir -p "$BUILD/demo"
  "$BUILD/tools/quillon-fixture" demo "$BUILD/demo/demo.bkf"
}
