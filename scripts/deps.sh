#!/usr/bin/env bash
# Installs the Debian packages the build, the demo and the tests need.
# Asks apt only for what is absent, so a second run costs a few dpkg queries.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config ccache
  qt6-base-dev libpugixml-dev libopencc-dev libopencc-data
  libsqlite3-dev sqlite3 libxlsxwriter-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-zenhei xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "These packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
