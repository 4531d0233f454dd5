# Shared by scripts/test, scripts/run and scripts/measure: installs what the project needs from
# Debian's packages when it is missing. Sourced, not run.

pedalon_packages=(
  cmake ninja-build g++ libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb xauth xdotool python3 tshark iproute2
  nsis zip unzip
  clang-14 libclang-rt-14-dev llvm-14
)

ensure_packages() {
  local missing=()
  local p
  for p in "${pedalon_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build_all() {
  cmake --preset windows
  cmake --build --preset windows
  cmake --preset native -DPEDALON_WINDOWS_BUILD="$PWD/build/windows"
  cmake --build --preset native
}
