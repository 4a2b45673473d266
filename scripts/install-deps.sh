#!/usr/bin/env bash
# Installs the Debian packages Quelbrix needs to build and test, skipping those already present.
# Usage: scripts/install-deps.sh [demo|build|test]
#   demo   what the command-line program and the templates need (`make demo`)
#   build  also the test and benchmark libraries and the packaging tools
#   test   also what the tests read documents and print with
set -euo pipefail
mode=${1:-build}
case "$mode" in demo | build | test) ;; *) echo "usage: $0 [demo|build|test]" >&2; exit 2 ;; esac

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libsqlite3-dev libzip-dev libpugixml-dev libssl-dev libcups2-dev
  libcli11-dev
  # Documents are packed with ISA-L and libdeflate directly (libzip only reads them).
  libisal-dev libdeflate-dev
  # One PDF per polygon: the documents' PDFs are joined with qpdf's library.
  libqpdf-dev
  # Coordinate systems of the shapefiles: PROJ and its database (proj.db in proj-data).
  libproj-dev proj-data
  # The data check tests geometry with GEOS's C library.
  libgeos-dev
  # Qt's own dialogs (file chooser, question boxes) in German.
  qt6-translations-l10n
  # `cpack -G DEB`: dpkg-shlibdeps computes the package's dependencies, after `file` found the
  # programs among the packed files; dpkg-buildflags gives Debian's hardening flags; objcopy
  # (binutils, with build-essential) drops the compiler's notes from the packed programs.
  dpkg-dev file
)
if [ "$mode" != demo ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev)
fi
if [ "$mode" = test ]; then
  # LibreOffice, python-docx and poppler check generated documents the way a reader would;
  # LibreOffice also renders documents for printing and PDF files (reached through python3-uno),
  # and CUPS with a PDF printer takes the jobs.
  # xmllint checks every template and document against the OOXML schemas (scripts/check-ooxml.py).
  # lintian checks the package as Debian checks its own; clang-format checks the tree's format.
  packages+=(locales python3 python3-docx libreoffice-writer-nogui python3-uno poppler-utils cups
             printer-driver-cups-pdf libxml2-utils lintian clang-format)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Tests format dates and numbers the way a German desktop does.
if [ "$mode" = test ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the locale de_DE.UTF-8"
  "${sudo_cmd[@]}" sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
