#!/usr/bin/env bash
# Starts the local CUPS server when it is not running and makes a cups-pdf queue its default
# destination, so that the printing tests print into PDF files instead of onto paper.
# CI runs it before the tests; on a desktop it would replace the default printer, so it is not
# part of `make test`.
# Usage: scripts/print-queue.sh [QUEUE]   (default queue name: Quelbrix-PDF)
set -euo pipefail
queue=${1:-Quelbrix-PDF}
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

for tool in cupsd lpadmin lpstat; do
  if ! command -v "$tool" >/dev/null 2>&1 && [ ! -x "/usr/sbin/$tool" ]; then
    echo "print-queue: $tool is missing; install the packages with scripts/install-deps.sh test" >&2
    exit 1
  fi
done
export PATH="$PATH:/usr/sbin"

if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
  echo "Starting the CUPS server"
  "${sudo_cmd[@]}" cupsd
  for _ in $(seq 1 50); do
    lpstat -r 2>/dev/null | grep -q 'is running' && break
    sleep 0.2
  done
  lpstat -r | grep -q 'is running' || { echo "print-queue: cupsd did not start" >&2; exit 1; }
fi

if ! lpstat -p "$queue" >/dev/null 2>&1; then
  echo "Adding the PDF printer $queue"
  # Label=2 names every output file after its job ("title-job_N.pdf"), which the tests rely on.
  if ! "${sudo_cmd[@]}" lpadmin -p "$queue" -E -v cups-pdf:/ \
       -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -o Label=2 2>/dev/null; then
    "${sudo_cmd[@]}" lpadmin -p "$queue" -E -v cups-pdf:/ \
      -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -o Label=2
  fi
fi
"${sudo_cmd[@]}" cupsenable "$queue"
"${sudo_cmd[@]}" cupsaccept "$queue"
"${sudo_cmd[@]}" lpadmin -d "$queue"
lpstat -d
