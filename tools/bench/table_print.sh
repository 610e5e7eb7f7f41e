#!/usr/bin/env bash
# Times `ovdesk table` printing every takings line of the "hotel" data set (Incassi, about 24,000
# rows) to the print file through a layout with a date column, a look-up column into CodiciVari,
# a EURO column and a totalled amount; prints the best of three runs, the peak memory and the size
# of the print file written.
#   tools/bench/table_print.sh [BUILD_DIR] [FIXTURES_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$here/build}"
fixtures="${2:-$here/tests/fixtures}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$fixtures"/hotel/work/* "$work/"
chmod u+w "$work"/*
printf '%s\r\n' \
  "1,Incassi,Fatture.mdb,Incassi,,,,,," \
  "2,Data,,,DataEmissione,10,N,S,," \
  "3,Tipo,,,TipoDocumento,8,N,N,," \
  "4,Numero,,,NDocumento,8,N,S,," \
  "5,Pagamento,CodiciVari.mdb,CodiciVari,Descrizione,24,N,S,Sigla,Sigla" \
  "6,Importo,,,Importo,12,S,S,," \
  "7,Lire,,,EUROImporto,12,N,S,," > "$work/Incassi.stp"
echo "1936,27" > "$work/euro.txt"

export OVDESK_MDBREAD="$build/ovdesk-mdbread" PCLocal=1 LC_ALL=C
best=""
peak=""
for round in 1 2 3; do
  out="$( { /usr/bin/time -f '%e %M' "$build/ovdesk" table --folder "$work" --table Incassi \
            --row DataEmissione da 01/01/2000 --order DataEmissione --destination --- >/dev/null; } 2>&1 )"
  read -r secs kb <<<"$(tail -n1 <<<"$out")"
  if [[ -z "$best" ]] || awk "BEGIN{exit !($secs < $best)}"; then best="$secs"; fi
  if [[ -z "$peak" || "$kb" -gt "$peak" ]]; then peak="$kb"; fi
done
lines=$(wc -l < "$work/FD1")
echo "ovdesk table Incassi: best ${best} s, peak $((peak / 1024)) MB, print file ${lines} lines, $(stat -c %s "$work/FD1") bytes"
