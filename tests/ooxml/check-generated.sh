#!/usr/bin/env bash
# Makes documents with the built program and checks them against the OOXML schemas.
# Usage: check-generated.sh QUELBRIX PYTHON CHECKER WORKDIR demo|messy
#   demo   every clean copy and data report of `quelbrix demo`
#   messy  every clean copy and data report made from `quelbrix sample-data --messy`
# Exit status: that of the check; 77 (ctest's "skipped") when the program cannot yet write the
# messy sample.
set -euo pipefail
quelbrix=$1 python=$2 checker=$3 work=$4 kind=$5

rm -rf "$work"
mkdir -p "$work"
case "$kind" in
  demo)
    "$quelbrix" demo --work "$work/db" --out "$work/out" >"$work/run.log" 2>&1 ||
      { tail -20 "$work/run.log"; exit 1; }
    ;;
  messy)
    if ! "$quelbrix" sample-data --help | grep -q -- '--messy'; then
      echo "quelbrix sample-data has no --messy option: the messy sample is not checked"
      exit 77
    fi
    "$quelbrix" sample-data "$work/db" --messy >"$work/run.log" 2>&1 ||
      { tail -20 "$work/run.log"; exit 1; }
    mkdir -p "$work/out"
    paths=(--db "$work/db" --shape "$work/db/shape/FFH_FLAECHEN.SHP" --out "$work/out")
    # Messy data may leave sheets out (exit status 1); what is written must still be valid.
    for command in "sheets --yes" "report --all"; do
      status=0
      # shellcheck disable=SC2086
      "$quelbrix" "${paths[@]}" $command >>"$work/run.log" 2>&1 </dev/null || status=$?
      if [ "$status" -gt 1 ]; then
        echo "quelbrix $command failed with status $status:"
        tail -20 "$work/run.log"
        exit 1
      fi
    done
    ;;
  *)
    echo "unknown kind $kind" >&2
    exit 2
    ;;
esac
exec "$python" "$checker" "$work/out"
