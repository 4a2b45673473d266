#!/usr/bin/env bash
# `make demo`: the built program writes a sample survey database with its shapefile into
# demo-work/ and makes every clean copy and every data report in demo-output/.
set -euo pipefail
build=${1:-build}
exec "$build/bin/quelbrix" demo --work demo-work --out demo-output
