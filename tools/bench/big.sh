#!/usr/bin/env bash
# The "big" data set (a 400-room hotel keeping three years, 01/01/2022 to 31/12/2024; it is not in
# the repository, so its path is an argument), whole processes side by side in each round: the
# hotel data summary over a year, over all three years and over one day, and mdb-export of every
# table the summary reads; medians, spreads, each summary's ratio to the export and its peak
# memory, with the targets beside them.
#   tools/bench/big.sh [-n RUNS] BIG_DIR [BUILD_DIR]     (3 runs by default)
source "$(dirname "$0")/lib.sh"
bench_options 3 "$@"
if ((${#ARGS[@]} < 1)) || [[ ! -d "${ARGS[0]}/work" ]]; then
  echo "usage: $0 [-n RUNS] BIG_DIR [BUILD_DIR]   (BIG_DIR holds work/ and storico/)" >&2
  exit 2
fi
set_dir="$(cd "${ARGS[0]}" && pwd)"
build="${ARGS[1]:-$bench_root/build}"
work=$(work_copy "$set_dir")
export OVDESK_MDBREAD="$build/ovdesk-mdbread" PCLocal=1 DIRSH="$set_dir/storico"

for ((round = 1; round <= RUNS; ++round)); do
  timed_exports export "$set_dir"
  timed year "$build/ovdesk" summary --folder "$work" --from 01/01/2024 --to 31/12/2024
  timed all "$build/ovdesk" summary --folder "$work" --from 01/01/2022 --to 31/12/2024
  timed day "$build/ovdesk" summary --folder "$work" --from 15/08/2024 --to 15/08/2024
done

heading "big set ($set_dir)"
line "mdb-export of the ${#summary_tables[@]} tables the summary reads" export
line "summary, one year (2024)" year - "<=150"
ratio_line "  one year / export" year export 0.5
line "summary, three years (2022-2024)" all - "<=150"
ratio_line "  three years / export" all export 0.8
line "summary, one day (15/08/2024)" day - "<=150"
ratio_line "  one day / export" day export 0.15
