# Shared by the scripts: the packages the build and the tests need, and the build itself.
KELDERWYN_PACKAGES=(
  cmake g++ ninja-build pkg-config
  clang-14 libclang-rt-14-dev libfuzzer-14-dev llvm-14
  qt6-base-dev libgl-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core xvfb xauth imagemagick
  desktop-file-utils appstream
  dbus at-spi2-core python3-gi gir1.2-atspi-2.0 orca xdotool
  libjs-leaflet chromium chromium-driver python3-selenium
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

# The sanitizer build: clang, AddressSanitizer and UndefinedBehaviorSanitizer,
# and with them the libFuzzer targets of fuzz/. A folder configured with
# another compiler is started afresh.
kelderwyn_build_asan() {
  local dir=build-asan
  if [ -f "$dir/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++-14$' "$dir/CMakeCache.txt"; then
    rm -rf "$dir"
  fi
  kelderwyn_build "$dir" RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DKELDERWYN_SANITIZE=ON -DKELDERWYN_BENCHMARKS=OFF "$@"
}

# The sanitizer settings every run of the sanitizer build uses: leaks are
# reported, except those of the system libraries in lsan.supp.
kelderwyn_sanitizer_env() {
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp":print_suppressions=0
  [ ! -x /usr/lib/llvm-14/bin/llvm-symbolizer ] || export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
}
