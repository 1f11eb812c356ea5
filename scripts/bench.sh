#!/usr/bin/env bash
# Every benchmark of the project in one command. Builds the benchmarks on the
# shipped build (i686), runs them under wine in the Romanian locale and
# gathers the `row: <measure (unit)>; <figure>; <reference>; <ratio>` lines
# they print into one Markdown table: each figure
# beside its reference measured in the same run, the median over the runs.
# The benchmarks that repeat and interleave their own rounds (start-up,
# rate-file merge, history open) run once; the others run RUNS times (default
# 3), one after the other in turn. Each program's whole output is kept in
# build/bench/<name>.log, the table in build/bench/table.md.
#   bash scripts/bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
runs=${1:-3}
out=build/bench
bench=build/win32/bench

# name and program (below build/win32/bench); the table keeps this order
once=(
  "startup launcher/startup_bench.exe"
  "messages messages/messages_bench.exe"
  "rates rates/rates_bench.exe"
  "docstore docstore/docstore_bench.exe"
)
repeated=(
  "link link/link_bench.exe"
  "postman postman/postman_bench.exe"
)

bash scripts/setup.sh
mkdir -p "$out" build/logs
targets=()
for entry in "${once[@]}" "${repeated[@]}"; do
  program=${entry#* }
  targets+=("$(basename "$program" .exe)")
done
echo "building ${targets[*]} ..."
{ cmake --preset win32 && cmake --build --preset win32 --target "${targets[@]}"; } > build/logs/bench-build.log 2>&1 ||
  { tail -n 30 build/logs/bench-build.log; exit 1; }

rm -f "$out"/*.log "$out/table.md"
run() {
  local name=$1 program=$2
  echo "running $name ($program) ..."
  scripts/wine-run.sh "$bench/$program" 2>&1 | grep -v '^ALSA' >> "$out/$name.log" ||
    echo "  $name failed, see $out/$name.log"
}
for entry in "${once[@]}"; do run $entry; done
for ((i = 1; i <= runs; ++i)); do
  for entry in "${repeated[@]}"; do run $entry; done
done

names=()
for entry in "${once[@]}" "${repeated[@]}"; do names+=("$out/${entry%% *}.log"); done
cat "${names[@]}" | python3 -c '
import re, statistics, sys

rows = {}  # measure -> list of (figure, reference, ratio) as printed
for line in sys.stdin:
    m = re.match(r"row:\s*(.*?);\s*([-\d.]+);\s*([-\d.]+);\s*([-\d.]+)\s*$", line)
    if m:
        rows.setdefault(m.group(1), []).append(m.group(2, 3, 4))

def decimals(text):
    return len(text.split(".")[1]) if "." in text else 0

def median(values, column):
    return "%.*f" % (decimals(values[0][column]), statistics.median(float(v[column]) for v in values))

table = [("measure", "figure", "reference", "ratio")]
table += [(name, median(v, 0), median(v, 1), median(v, 2)) for name, v in rows.items()]
widths = [max(len(row[i]) for row in table) for i in range(4)]
def line(cells):
    return "| " + " | ".join(c.ljust(w) if i == 0 else c.rjust(w) for i, (c, w) in enumerate(zip(cells, widths))) + " |"
text = [line(table[0]), "|" + "|".join("-" * (w + 1) + (":" if i else "-") for i, w in enumerate(widths)) + "|"]
text += [line(row) for row in table[1:]]
print("\n".join(text))
' | tee "$out/table.md"
[ -s "$out/table.md" ] && [ "$(wc -l < "$out/table.md")" -gt 2 ] || { echo "no figures were gathered" >&2; exit 1; }
