#!/usr/bin/env bash
# Times, as whole processes, the hotel data summary over every day of the "hotel" data set and
# mdb-export of every table the summary reads, in the same run; prints both, their ratio and the
# summary's peak memory; then the summary with its workbook (--xlsx) and what writing Orvalis.xlsx
# adds.
#   tools/bench/summary_vs_export.sh [BUILD_DIR] [FIXTURES_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$here/build}"
fixtures="${2:-$here/tests/fixtures}"
set_dir="$fixtures/hotel"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$set_dir"/work/* "$work/"
chmod u+w "$work"/*

export OVDESK_MDBREAD="$build/ovdesk-mdbread" PCLocal=1 DIRSH="$set_dir/storico" LC_ALL=C

now() { date +%s.%N; }

exports=(work/Fatture.mdb:DatiFattura work/Fatture.mdb:Incassi work/Registro_Acconti.mdb:Registro_Acconti
         work/Scheda_Cliente.mdb:Scheda_Cliente work/Arrangiamento.mdb:Arrangiamento
         work/Arrangiamenti.mdb:NomiArrangiamenti work/Ditta_Intestataria.mdb:Ditta_Intestataria
         storico/SchedaStoricoClienti.mdb:Scheda_Cliente storico/ArrangiamentoStoricoClienti.mdb:Arrangiamento
         storico/DittaStoricoClienti.mdb:Ditta_Intestataria work/CodiciVari.mdb:CodiciVari
         work/ColonneOV.mdb:ColonneOV work/AnagraficaHotels.mdb:AnagraficaHotels)

best_export=""
best_summary=""
best_workbook=""
peak=""
for round in 1 2 3; do
  t0=$(now)
  for e in "${exports[@]}"; do mdb-export "$set_dir/${e%%:*}" "${e##*:}" >/dev/null; done
  t1=$(now)
  /usr/bin/time -f %M -o "$work/.rss" "$build/ovdesk" summary --folder "$work" --from 01/01/2024 --to 31/12/2024 >/dev/null
  t2=$(now)
  "$build/ovdesk" summary --folder "$work" --from 01/01/2024 --to 31/12/2024 --xlsx >/dev/null
  t3=$(now)
  ex=$(echo "$t1 - $t0" | bc -l); su=$(echo "$t2 - $t1" | bc -l); wb=$(echo "$t3 - $t2" | bc -l)
  if [ -z "$best_workbook" ] || (( $(echo "$wb < $best_workbook" | bc -l) )); then best_workbook=$wb; fi
  if [ -z "$best_export" ] || (( $(echo "$ex < $best_export" | bc -l) )); then best_export=$ex; fi
  if [ -z "$best_summary" ] || (( $(echo "$su < $best_summary" | bc -l) )); then best_summary=$su; fi
  peak=$(cat "$work/.rss")
done
printf 'mdb-export of the %d tables: %.3f s (best of 3)\n' "${#exports[@]}" "$best_export"
printf 'ovdesk summary, 366 days:    %.3f s (best of 3)\n' "$best_summary"
printf 'ratio summary / export:      %.2f\n' "$(echo "$best_summary / $best_export" | bc -l)"
printf 'summary peak memory:         %d MB\n' "$(( peak / 1024 ))"
printf 'summary and Orvalis.xlsx:    %.3f s (best of 3), the workbook %.3f s, %d bytes\n' "$best_workbook" \
  "$(echo "$best_workbook - $best_summary" | bc -l)" "$(stat -c %s "$work/Orvalis.xlsx")"
