#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then configures and
# builds. Usage: scripts/setup.sh [BUILD_DIR] [extra cmake options...]
# Environment: TESVANE_WERROR=ON makes warnings errors; TESVANE_SANITIZE=ON builds with
# AddressSanitizer and UndefinedBehaviorSanitizer; TESVANE_WEB=ON also installs what the browser
# edition and its tests need (emscripten, node, chromium, and puppeteer-core from npm into
# web/node_modules); scripts/build-web.sh builds it.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  g++ cmake ninja-build pkg-config
  libeigen3-dev libcli11-dev nlohmann-json3-dev libboost-math-dev nettle-dev
  qt6-base-dev qt6-svg-dev libgl-dev libcairo2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-format xvfb xauth
  dpkg-dev file lintian
  chromium poppler-utils tidy python3-jsonschema
)
if [ "${TESVANE_WEB:-OFF}" = ON ]; then
  packages+=(emscripten nodejs chromium)
  # A node from elsewhere (such as NodeSource's) brings its own npm, which Debian's would replace.
  command -v npm >/dev/null || packages+=(npm)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "${TESVANE_WEB:-OFF}" = ON ] && [ ! -d web/node_modules/puppeteer-core ]; then
  (cd web && npm ci --no-audit --no-fund)
fi

build_dir="${1:-build}"
shift || true
# A compiler cache, when there is one, makes rebuilds of unchanged files free.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build_dir" -G Ninja "${launcher[@]}" \
  -DTESVANE_WERROR="${TESVANE_WERROR:-OFF}" \
  -DTESVANE_SANITIZE="${TESVANE_SANITIZE:-OFF}" "$@"
cmake --build "$build_dir" --parallel "$(nproc)"
