#!/usr/bin/env bash
# The "hotel" data set (120 rooms, 366 days), whole processes side by side in each round: the hotel
# data summary over every day and over one day, the presence summary of the year, the listing of
# every takings line, and mdb-export of every table the summary reads; medians, spreads, the ratio
# summary / export and the targets beside each figure; last, what writing Orvalis.xlsx adds.
#   tools/bench/summary_vs_export.sh [-n RUNS] [BUILD_DIR] [FIXTURES_DIR]     (7 runs by default)
source "$(dirname "$0")/lib.sh"
bench_options 7 "$@"
build="${ARGS[0]:-$bench_root/build}"
fixtures="${ARGS[1]:-$bench_root/tests/fixtures}"
set_dir="$fixtures/hotel"
work=$(work_copy "$set_dir")
incassi_layout "$work"
export OVDESK_MDBREAD="$build/ovdesk-mdbread" PCLocal=1 DIRSH="$set_dir/storico"
ovdesk=("$build/ovdesk")
takings=$(($(mdb-export "$set_dir/work/Fatture.mdb" Incassi | wc -l) - 1))

for ((round = 1; round <= RUNS; ++round)); do
  timed_exports export "$set_dir"
  timed year "${ovdesk[@]}" summary --folder "$work" --from 01/01/2024 --to 31/12/2024
  timed workbook "${ovdesk[@]}" summary --folder "$work" --from 01/01/2024 --to 31/12/2024 --xlsx
  timed day "${ovdesk[@]}" summary --folder "$work" --from 15/08/2024 --to 15/08/2024
  timed presence "${ovdesk[@]}" presence --folder "$work" --from 01/01/2024 --to 31/12/2024
  timed listing "${ovdesk[@]}" "${incassi_listing_args[@]}" --folder "$work"
done

heading "hotel set ($set_dir)"
line "mdb-export of the ${#summary_tables[@]} tables the summary reads" export
line "summary, 366 days" year - "<50"
ratio_line "  summary 366 days / export" year export 0.5
line "summary, one day (15/08/2024)" day 0.06
line "presence summary, 366 days" presence 0.1
line "table listing, $takings takings lines" listing 0.1
line "summary, 366 days, with Orvalis.xlsx (--xlsx)" workbook
printf '  the workbook adds %.3f s (medians); Orvalis.xlsx is %d bytes\n' \
  "$(awk -v a="$(median_of workbook)" -v b="$(median_of year)" 'BEGIN { print a - b }')" "$(stat -c %s "$work/Orvalis.xlsx")"
