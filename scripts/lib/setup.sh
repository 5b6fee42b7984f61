# Shared set-up of scripts/test and scripts/demo: the Debian packages the
# build and its install check need, installed when missing, and the
# configure-and-build step.

TINTA_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-image-formats-plugins libqt6svg6
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic
  desktop-file-utils help2man
  parallel
)

tinta_ensure_packages() {
  local missing=()
  local pkg
  for pkg in "${TINTA_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Missing packages. Run this, then start again:" >&2
    echo "  sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
}

# tinta_build DIR [cmake options...]
tinta_build() {
  local dir=$1
  shift
  cmake -S "$TINTA_ROOT" -B "$TINTA_ROOT/$dir" "$@" >/dev/null
  cmake --build "$TINTA_ROOT/$dir" -j "$(nproc)"
}
