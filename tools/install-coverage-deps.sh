#!/usr/bin/env bash
# Installs what `make coverage` needs beyond a fresh machine: gcovr, from the distribution.
set -euo pipefail
if command -v gcovr >/dev/null 2>&1; then
  exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
if ! $sudo apt-get install -y --no-install-recommends gcovr; then
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends gcovr
fi
