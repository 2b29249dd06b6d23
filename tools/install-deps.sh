#!/bin/sh
# Installs the Debian packages that the sample host and its tests build against, and only those
# that are missing. The library itself needs none of them.
set -eu

packages="libcli11-dev libfmt-dev nlohmann-json3-dev pkg-config"

if ! command -v dpkg >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
    echo "install-deps: no dpkg/apt-get here; install CLI11, {fmt} and nlohmann-json yourself" >&2
    exit 0
fi

missing=""
for package in $packages; do
    if ! dpkg -s "$package" >/dev/null 2>&1; then
        missing="$missing $package"
    fi
done
if [ -z "$missing" ]; then
    exit 0
fi

as_root=""
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "install-deps: need root (or sudo) to install:$missing" >&2
        exit 1
    fi
    as_root="sudo"
fi

echo "install-deps: installing$missing"
export DEBIAN_FRONTEND=noninteractive
$as_root apt-get update
# $missing is a list of package names and must split into words.
# shellcheck disable=SC2086
$as_root apt-get install -y --no-install-recommends $missing
