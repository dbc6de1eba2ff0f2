# Sourced by scripts/run and scripts/test: installs the Debian packages the
# build needs when any is missing. Quiet and idempotent.
VLX_PACKAGES="cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6sql6-sqlite \
qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n libgl1-mesa-dev \
qt6-charts-dev libqt6opengl6-dev libsqlite3-dev postgresql libpq-dev libqt6sql6-psql"

vlx_install_deps() {
  local missing=""
  for p in $VLX_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing:$missing"
  $sudo apt-get update -qq >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

vlx_build() {
  local top="$1" build="$2"
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --parallel "$(nproc 2>/dev/null || echo 2)"
}
