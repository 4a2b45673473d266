#!/usr/bin/env bash
# Writes a sample survey database with its shapefile into demo-work/ and runs Quelbrix on it;
# the documents, the log and the message file land in demo-output/.
set -euo pipefail
build=${1:-build}
quelbrix="$build/bin/quelbrix"
work=demo-work
out=demo-output

rm -rf "$work" "$out"
mkdir -p "$work" "$out"
"$quelbrix" sample-data "$work/survey"
paths=(--db "$work/survey" --shape "$work/survey/shape/ffh_flaechen.shp" --out "$out" --log)

echo
echo "== Prüfung der Pfade und Tabellen"
"$quelbrix" "${paths[@]}" check

echo
echo "== Gebiete und Geländebögen (Auszug)"
"$quelbrix" "${paths[@]}" list > "$out/auswahl.txt"
head -n 12 "$out/auswahl.txt"
echo "   ... vollständig in $out/auswahl.txt"

echo
echo "== Geländebögen (Reinschrift)"
status=0
"$quelbrix" "${paths[@]}" sheets --all --yes > "$out/sheets.txt" || status=$?
tail -n 3 "$out/sheets.txt"

echo
echo "== Datenreports mit Deckblatt"
"$quelbrix" "${paths[@]}" report --all > "$out/report.txt" || status=$?
tail -n 3 "$out/report.txt"

echo
echo "Geländebögen:    $out/<Bogentyp>/"
echo "Datenreports:    $out/Report/"
echo "Fehlerprotokoll: $out/FehlerReport2.log"
if [ -f "$out/MessageReport.txt" ]; then
  echo "Meldungen:       $out/MessageReport.txt"
else
  echo "Meldungen:       keine (kein $out/MessageReport.txt)"
fi
exit "$status"
