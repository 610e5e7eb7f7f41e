# Shared by the benchmark scripts (sourced, not run): whole-process timing, median and spread of
# several runs, peak memory, ratios and the targets printed beside each figure.
#
# A script sources this file, calls `bench_options DEFAULT_RUNS "$@"` (which takes -n N off the
# arguments into RUNS and leaves the rest in ARGS), then in each round calls `timed NAME command...`
# for every measured command and `timed_exports` for the mdb-export figure (the runs of one round
# stand side by side, so the ratios compare like with like), and at the end prints with `heading`,
# `line` and `ratio_line`.

set -euo pipefail
export LC_ALL=C

bench_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# -n N (runs of each command) anywhere among the arguments; RUNS keeps the default given.
bench_options() {
  local default_runs="$1"
  shift
  RUNS="$default_runs"
  ARGS=()
  while (($#)); do
    case "$1" in
      -n) RUNS="$2"; shift 2 ;;
      -n*) RUNS="${1#-n}"; shift ;;
      *) ARGS+=("$1"); shift ;;
    esac
  done
  [[ "$RUNS" =~ ^[1-9][0-9]*$ ]] || { echo "-n: a whole number of runs, at least 1" >&2; exit 2; }
  BENCH_TMP="$(mktemp -d)"
  trap 'rm -rf "$BENCH_TMP"' EXIT
  mkdir -p "$BENCH_TMP/times"
}

now_ns() { date +%s%N; }

# timed NAME command...: runs the command once as a whole process (output discarded), appends its
# wall time in seconds to NAME's times and its peak resident memory (kB, /usr/bin/time %M: the
# largest of the process and the children it waited for, such as the Jet helper) to NAME's peaks.
# The time includes starting /usr/bin/time (about a millisecond). A command that fails stops the
# benchmark with its error output.
timed() {
  local name="$1"
  shift
  local t0 t1
  t0=$(now_ns)
  if ! /usr/bin/time -f %M -o "$BENCH_TMP/rss" "$@" >/dev/null 2>"$BENCH_TMP/err"; then
    echo "failed: $*" >&2
    cat "$BENCH_TMP/err" >&2
    exit 1
  fi
  t1=$(now_ns)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f\n", (b - a) / 1e9 }' >>"$BENCH_TMP/times/$name"
  tail -n1 "$BENCH_TMP/rss" >>"$BENCH_TMP/times/$name.peak"
}

# timed_exports NAME SET_DIR: mdb-export of every table the summary reads, one after another, as
# one timed figure (no peak memory: each export is a small streaming process).
timed_exports() {
  local name="$1" set_dir="$2" e t0 t1
  t0=$(now_ns)
  for e in "${summary_tables[@]}"; do
    if ! mdb-export "$set_dir/${e%%:*}" "${e##*:}" >/dev/null 2>"$BENCH_TMP/err"; then
      echo "failed: mdb-export $set_dir/${e%%:*} ${e##*:}" >&2
      cat "$BENCH_TMP/err" >&2
      exit 1
    fi
  done
  t1=$(now_ns)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f\n", (b - a) / 1e9 }' >>"$BENCH_TMP/times/$name"
}

# Median, smallest and largest of a column of numbers: "median min max".
stats_of() { sort -g | awk '{ v[NR] = $1 } END {
  m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
  print m, v[1], v[NR] }'; }

median_of() { stats_of <"$BENCH_TMP/times/$1" | cut -d' ' -f1; }
peak_mb_of() { sort -n "$BENCH_TMP/times/$1.peak" | tail -n1 | awk '{ printf "%d", $1 / 1024 + 0.5 }'; }

# "(target <= 0.5: met)" or "(target <= 0.5: NOT met)"; OP is <= or <.
target_text() {
  local value="$1" op="$2" limit="$3" unit="${4:-}"
  if awk -v v="$value" -v l="$limit" -v op="$op" 'BEGIN { exit !(op == "<" ? v < l : v <= l) }'; then
    echo "(target $op $limit$unit: met)"
  else
    echo "(target $op $limit$unit: NOT met)"
  fi
}

# line LABEL NAME [TIME_LIMIT] [PEAK_LIMIT]: median and spread of NAME's times (target: at most
# TIME_LIMIT seconds) and its peak memory (PEAK_LIMIT "<=150" or "<50" MB); "-" for no target.
line() {
  local label="$1" name="$2" tlimit="${3:--}" mlimit="${4:--}" s med lo hi text op
  s=$(stats_of <"$BENCH_TMP/times/$name")
  read -r med lo hi <<<"$s"
  text=$(printf '%-48s %7.3f s (%.3f-%.3f)' "$label" "$med" "$lo" "$hi")
  [[ "$tlimit" != - ]] && text+=" $(target_text "$med" '<=' "$tlimit" ' s')"
  if [[ -f "$BENCH_TMP/times/$name.peak" ]]; then
    text+=$(printf ', peak %d MB' "$(peak_mb_of "$name")")
    if [[ "$mlimit" != - ]]; then
      op="${mlimit%%[0-9]*}"
      text+=" $(target_text "$(peak_mb_of "$name")" "$op" "${mlimit#"$op"}" ' MB')"
    fi
  fi
  echo "$text"
}

# ratio_line LABEL NAME BASE [LIMIT]: NAME's time over BASE's, round by round (the runs of one
# round ran side by side under the same load): median and spread of the ratios.
ratio_line() {
  local label="$1" name="$2" base="$3" limit="${4:--}" s med lo hi text
  s=$(paste "$BENCH_TMP/times/$name" "$BENCH_TMP/times/$base" | awk '{ print $1 / $2 }' | stats_of)
  read -r med lo hi <<<"$s"
  text=$(printf '%-48s %7.2f x (%.2f-%.2f)' "$label" "$med" "$lo" "$hi")
  [[ "$limit" != - ]] && text+=" $(target_text "$med" '<=' "$limit")"
  echo "$text"
}

# The suite's tables a summary reads, as "folder/file:table" (folder "work" or "storico").
summary_tables=(work/AnagraficaHotels.mdb:AnagraficaHotels work/ColonneOV.mdb:ColonneOV
                work/CodiciVari.mdb:CodiciVari work/Fatture.mdb:DatiFattura work/Fatture.mdb:Incassi
                work/Registro_Acconti.mdb:Registro_Acconti work/Scheda_Cliente.mdb:Scheda_Cliente
                work/Arrangiamento.mdb:Arrangiamento work/Arrangiamenti.mdb:NomiArrangiamenti
                work/Ditta_Intestataria.mdb:Ditta_Intestataria storico/SchedaStoricoClienti.mdb:Scheda_Cliente
                storico/ArrangiamentoStoricoClienti.mdb:Arrangiamento storico/DittaStoricoClienti.mdb:Ditta_Intestataria)

# work_copy SET_DIR: a writable copy of the set's working folder under BENCH_TMP; prints its path.
work_copy() {
  local dir="$BENCH_TMP/work-$(basename "$1")"
  mkdir -p "$dir"
  cp "$1"/work/* "$dir/"
  chmod u+w "$dir"/*
  echo "$dir"
}

# The layout of the takings listing: a date column, a look-up into CodiciVari, a EURO column and
# a totalled amount, over every line of Incassi.
incassi_layout() {
  local dir="$1"
  printf '%s\r\n' \
    "1,Incassi,Fatture.mdb,Incassi,,,,,," \
    "2,Data,,,DataEmissione,10,N,S,," \
    "3,Tipo,,,TipoDocumento,8,N,N,," \
    "4,Numero,,,NDocumento,8,N,S,," \
    "5,Pagamento,CodiciVari.mdb,CodiciVari,Descrizione,24,N,S,Sigla,Sigla" \
    "6,Importo,,,Importo,12,S,S,," \
    "7,Lire,,,EUROImporto,12,N,S,," >"$dir/Incassi.stp"
  echo "1936,27" >"$dir/euro.txt"
}
incassi_listing_args=(table --table Incassi --row DataEmissione da 01/01/2000 --order DataEmissione --destination ---)

# A heading: what ran, where and under which load (figures move with the load of the machine).
heading() {
  echo "$1"
  printf 'runs %s each, median (min-max), whole processes; %s cores, load average %s; ovdesk %s\n' \
    "$RUNS" "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)" \
    "$(git -C "$bench_root" describe --always --dirty 2>/dev/null || echo '?')"
}
