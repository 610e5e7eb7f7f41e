#!/usr/bin/env bash
# Where the instructions of one hotel data summary go, counted by callgrind (stable under load,
# unlike times): the main process against the Jet helper runs, and the main process split into
# disjoint parts by the inclusive cost of the functions that do them. The callgrind files stay in
# OUT_DIR for callgrind_annotate or kcachegrind. Needs valgrind.
#   tools/bench/profile.sh SET_DIR FROM TO OUT_DIR [BUILD_DIR]
#   e.g. tools/bench/profile.sh tests/fixtures/hotel 01/01/2024 31/12/2024 /tmp/prof-hotel
source "$(dirname "$0")/lib.sh"
bench_options 1 "$@"
if ((${#ARGS[@]} < 4)); then
  echo "usage: $0 SET_DIR FROM TO OUT_DIR [BUILD_DIR]" >&2
  exit 2
fi
set_dir="$(cd "${ARGS[0]}" && pwd)"
from="${ARGS[1]}" to="${ARGS[2]}" out="${ARGS[3]}"
build="${ARGS[4]:-$bench_root/build}"
command -v valgrind >/dev/null || { echo "valgrind is needed (apt-get install valgrind)" >&2; exit 2; }
mkdir -p "$out"
rm -f "$out"/run.*.cg
work=$(work_copy "$set_dir")
export OVDESK_MDBREAD="$build/ovdesk-mdbread" PCLocal=1 DIRSH="$set_dir/storico"
valgrind --tool=callgrind --trace-children=yes --callgrind-out-file="$out/run.%p.cg" \
  "$build/ovdesk" summary --folder "$work" --from "$from" --to "$to" >/dev/null 2>"$out/valgrind.log"

total_of() { awk '/^(summary|totals):/ { print $2; exit }' "$1"; }
main_file=""
helpers=0
: >"$out/helpers.txt"
for f in "$out"/run.*.cg; do
  if grep -q '^cmd:.*ovdesk-mdbread' "$f"; then
    t=$(total_of "$f")
    helpers=$((helpers + t))
    echo "$t $(grep -m1 '^cmd:' "$f" | awk '{ print $NF }' | xargs basename)" >>"$out/helpers.txt"
  else
    main_file="$f"
  fi
done
main=$(total_of "$main_file")
all=$((main + helpers))
callgrind_annotate --inclusive=yes --threshold=100 "$main_file" >"$out/main-inclusive.txt" 2>/dev/null

echo "summary $from - $to on $set_dir: $((all / 1000000)) M instructions"
awk -v m="$main" -v h="$helpers" -v a="$all" -v n="$(wc -l <"$out/helpers.txt")" 'BEGIN {
  printf "  main process %d M (%.1f%%), %d helper runs %d M (%.1f%%)\n", m / 1e6, 100 * m / a, n, h / 1e6, 100 * h / a }'
sort -rn "$out/helpers.txt" | head -n4 | awk '{ printf "    helper %s: %d M\n", $2, $1 / 1e6 }'

# Parts of the main process: label, then the functions whose inclusive costs add up to it. The
# parts do not call one another, so what they leave is the report's own logic and the rest.
awk -v m="$main" '
  BEGIN {
    n = split("process start and exit (linking, the loader)|" \
              "file look-up (Database::open: path, format test)|ov::Database::open(|" \
              "loading (Database::table: helper, stream parse, Values)|ov::Database::table(|" \
              "  stream parsing into Values (both threads)|ov::jetstream::parseStream(|" \
              "statement parsing|ov::query::parseStatementCached(|" \
              "criteria preparation (prepareCondition)|ov::query::prepareCondition(|" \
              "  of it: literals (splitLiterals, matchLiteralTemplate)|ov::query::splitLiterals(;ov::query::matchLiteralTemplate(|" \
              "index building (FieldIndex, SubsetIndex)|ov::query::FieldIndex::FieldIndex(;ov::query::SubsetIndex::SubsetIndex(|" \
              "index look-ups (FieldIndex::equal, range)|ov::query::FieldIndex::equal(;ov::query::FieldIndex::range(|" \
              "evaluation (truth)|ov::query::truth(|" \
              "field reads by name (RecordSet::field)|ov::RecordSet::field(std::basic_string_view|" \
              "writing the report files|ov::WriteSummaryFiles(", parts, "|")
    labels = 0
    for (i = 2; i <= n; i += 2) { ++labels; label[labels] = parts[i]; keys[labels] = parts[i + 1] }
  }
  /^ *[0-9,]+ \(/ {
    cost = $1; gsub(",", "", cost); cost += 0
    if (index($0, "main.cpp:main ") && cost > mainCost) mainCost = cost
    # Files read ahead run on a thread of their own, outside main.
    if (index($0, "_Invoker<std::tuple<ov::Preload::Preload(") && cost > aheadCost) aheadCost = cost
    for (l = 1; l <= labels; ++l) {
      k = split(keys[l], ks, ";")
      for (j = 1; j <= k; ++j)
        if (index($0, ks[j]) && !index($0, ks[j] "'\''") && cost > best[l, j]) best[l, j] = cost
    }
  }
  END {
    start = m - mainCost - aheadCost
    printf "  %-58s %7d M %5.1f%%\n", parts[1], start / 1e6, 100 * start / m
    printf "  %-58s %7d M %5.1f%%\n", "loading ahead on a second thread (Preload)", aheadCost / 1e6, 100 * aheadCost / m
    counted = start + aheadCost
    for (l = 1; l <= labels; ++l) {
      k = split(keys[l], ks, ";"); c = 0
      for (j = 1; j <= k; ++j) c += best[l, j]
      if (substr(label[l], 1, 2) != "  ") counted += c
      printf "  %-58s %7d M %5.1f%%\n", label[l], c / 1e6, 100 * c / m
    }
    printf "  %-58s %7d M %5.1f%%\n", "the rest (report logic, criteria texts, allocation)", (m - counted) / 1e6, 100 * (m - counted) / m
  }' "$out/main-inclusive.txt"
echo "callgrind files: $out (main process: $(basename "$main_file"))"
