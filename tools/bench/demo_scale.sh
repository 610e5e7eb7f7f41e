#!/usr/bin/env bash
# How the summary's cost grows with days x rooms: demo folders of a 400-room hotel holding 1, 2 and
# 5 years (generated into a temporary folder, the period ending 31/12/2024), and on each the hotel
# data summary over its whole period and over its last year; median and spread of the time, peak
# memory, and the time per year of the period (flat when the cost is linear in the days).
# Demo folders are in the embedded (SQLite) format: no Jet helper runs here.
#   tools/bench/demo_scale.sh [-n RUNS] [BUILD_DIR] [ROOMS]     (3 runs, 400 rooms by default)
source "$(dirname "$0")/lib.sh"
bench_options 3 "$@"
build="${ARGS[0]:-$bench_root/build}"
rooms="${ARGS[1]:-400}"
years_list=(1 2 5)
export PCLocal=1

for years in "${years_list[@]}"; do
  timed "make$years" "$build/ovdesk" demo "$BENCH_TMP/demo$years" --rooms "$rooms" --years "$years" --today 15/01/2025
done
for ((round = 1; round <= RUNS; ++round)); do
  for years in "${years_list[@]}"; do
    timed "period$years" "$build/ovdesk" summary --folder "$BENCH_TMP/demo$years" --from "01/01/$((2025 - years))" --to 31/12/2024
    timed "last$years" "$build/ovdesk" summary --folder "$BENCH_TMP/demo$years" --from 01/01/2024 --to 31/12/2024
  done
done

heading "demo folders of a $rooms-room hotel"
years_text() { (($1 == 1)) && echo "1 year" || echo "$1 years"; }
for years in "${years_list[@]}"; do
  line "ovdesk demo --rooms $rooms --years $years (one run)" "make$years"
done
for years in "${years_list[@]}"; do
  line "summary of the whole period, $(years_text "$years")" "period$years"
  printf '%-48s %7.3f s\n' "  per year of the period" "$(awk -v t="$(median_of "period$years")" -v y="$years" 'BEGIN { print t / y }')"
  line "summary of 2024 in the folder of $(years_text "$years")" "last$years"
done
echo "folder sizes: $(for y in "${years_list[@]}"; do printf '%s %s, ' "$(years_text "$y")" "$(du -sh "$BENCH_TMP/demo$y" | cut -f1)"; done | sed 's/, $//')"
