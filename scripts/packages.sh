# Debian packages the project needs to build, test and run; sourced by
# test.sh, run.sh and .ci/run. clang with its runtime libraries builds the
# fuzz targets (libFuzzer) and the sanitizer builds use their runtimes too;
# xdotool and x11-utils (xev) are for scripts/measure.sh.
SKIMBY_PACKAGES="g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-qpa-plugins libasound2-dev libsndfile1-dev fonts-dejavu-core xvfb xauth
  clang-14 clang libclang-rt-14-dev xdotool x11-utils"

skimby_install_packages() {
  local missing=()
  for p in $SKIMBY_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root:" >&2
    echo "apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}
