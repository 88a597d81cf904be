# Installs the Debian packages that Kivotool builds with, when missing.
# Sourced by scripts/test and scripts/run.
kivo_install_deps() {
  local pkgs="cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev $*"
  local missing=() p
  for p in $pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" = 0 ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  else
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them as root: apt-get install ${missing[*]}" >&2
    return 1
  fi
}

# Parallel jobs for building and testing: all cores, or the number in KIVO_JOBS.
kivo_jobs() {
  local jobs="${KIVO_JOBS:-$(nproc)}"
  if ! [[ "$jobs" =~ ^[1-9][0-9]*$ ]]; then
    echo "KIVO_JOBS must be a whole number of 1 or more, not '$jobs'" >&2
    return 1
  fi
  echo "$jobs"
}

# Configures and builds; arguments: build directory and configuration (build, RelWithDebInfo).
kivo_build() {
  local dir="${1:-build}" config="${2:-RelWithDebInfo}" jobs
  jobs="$(kivo_jobs)"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$config"
  cmake --build "$dir" -j"$jobs"
}
