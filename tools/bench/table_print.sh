#!/usr/bin/env bash
# Times `ovdesk table` printing every takings line of the "hotel" data set (Incassi, about 24,000
# rows) to the print file through a layout with a date column, a look-up column into CodiciVari,
# a EURO column and a totalled amount; prints median and spread, the peak memory and the size of
# the print file written.
#   tools/bench/table_print.sh [-n RUNS] [BUILD_DIR] [FIXTURES_DIR]     (7 runs by default)
source "$(dirname "$0")/lib.sh"
bench_options 7 "$@"
build="${ARGS[0]:-$bench_root/build}"
fixtures="${ARGS[1]:-$bench_root/tests/fixtures}"
work=$(work_copy "$fixtures/hotel")
incassi_layout "$work"
export OVDESK_MDBREAD="$build/ovdesk-mdbread" PCLocal=1

for ((round = 1; round <= RUNS; ++round)); do
  timed listing "$build/ovdesk" "${incassi_listing_args[@]}" --folder "$work"
done
heading "table listing of Incassi, hotel set"
line "ovdesk table Incassi" listing 0.1
echo "print file: $(wc -l <"$work/FD1") lines, $(stat -c %s "$work/FD1") bytes"
