# The Debian packages each part of the project needs, and one way to install them.
# Sourced by scripts/deps; `bash scripts/deps [group...]` is how every script installs.

# The program, its build, its tests and benchmarks.
packages_desktop=(
  build-essential cmake pkgconf git clang-format
  qt6-base-dev libgl-dev qt6-translations-l10n
  libgtest-dev libbenchmark-dev
  fonts-ipafont-gothic
  xvfb xauth
  dpkg-dev file x11-utils
  cups-daemon cups-client poppler-utils
  at-spi2-core dbus dbus-x11 python3-gi gir1.2-atspi-2.0 python3-pyatspi xdotool
)

# The web view: the native build-time tool, the WebAssembly build, the site's fonts and
# compressed copies, chromium for building the page and for the browser tests, and xmllint for
# checking the learning system package's manifest.
packages_web=(
  build-essential cmake
  emscripten chromium
  python3 python3-fonttools python3-brotli fonts-ipafont-gothic
  libxml2-utils
  ca-certificates
)

# Installs those of the given packages that are missing, with one apt-get.
install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}
