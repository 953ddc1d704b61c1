# Shared by the scripts: the packages the build and the tests need, and the build itself.
KELDERWYN_PACKAGES=(
  cmake g++ ninja-build pkg-config
  qt6-base-dev libgl-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core xvfb xauth imagemagick
  desktop-file-utils appstream
)

# kelderwyn_install_packages [PACKAGES...]: installs what is missing of the
# given packages, by default of KELDERWYN_PACKAGES.
kelderwyn_install_packages() {
  local wanted=("$@")
  [ ${#wanted[@]} -gt 0 ] || wanted=("${KELDERWYN_PACKAGES[@]}")
  local missing=()
  local package
  for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# kelderwyn_build DIR BUILD_TYPE [CMAKE_ARGS...]
kelderwyn_build() {
  local dir=$1 type=$2
  shift 2
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
  cmake --build "$dir" -j"$(nproc)"
}
