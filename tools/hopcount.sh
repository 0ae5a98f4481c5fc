#!/usr/bin/env bash
# Instructions per 4096-frame hop of the audio path (processReplacing in
# blocks of 512 on the benchmarks' test signal), counted by callgrind, with
# the same analysis on FFTW for comparison. The count is deterministic for a
# given processor class, C library and compiler, so CI can hold it:
#   tools/hopcount.sh           prints both counts
#   tools/hopcount.sh --check   also fails when the plug-in's count is more
#                               than 5% above the figure in bench/hopInstructions
set -euo pipefail
cd "$(dirname "$0")/.."
check=no
[ "${1:-}" = --check ] && check=yes
bash tools/deps.sh hopcount
cmake --preset linux -DTQ_BUILD_BENCH=ON >/dev/null
cmake --build --preset linux --target tq_hopcount >/dev/null

hops=64
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Prints the instructions per hop of one subject; its program line goes to $log.
per_hop() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null --toggle-collect=tq_hop_window \
        build/linux/tq_hopcount "$1" "$hops" >"$log" 2>&1 ||
        { cat "$log" >&2; return 1; }
    awk -v hops="$hops" '/Collected :/ {printf "%d\n", $NF / hops + 0.5}' "$log"
}
ours=$(per_hop plugin)
vectors=$(awk '/ hops, / {print $3}' "$log")
fftw=$(per_hop fftw)
echo "instructions per hop: tq-spectrum $ours ($vectors vectors), FFTW version $fftw"

if [ "$check" = yes ]; then
    # The figure holds for the path it was taken on; another machine class
    # gives other counts, which are printed but not judged.
    read -r figure figure_vectors < <(grep -v '^#' bench/hopInstructions)
    if [ "$vectors" != "$figure_vectors" ]; then
        echo "committed figure $figure is for $figure_vectors vectors: not compared"
        exit 0
    fi
    limit=$((figure + figure / 20))
    if [ "$ours" -gt "$limit" ]; then
        echo "FAIL: $ours instructions per hop, more than 5% above the committed $figure" >&2
        exit 1
    fi
    echo "within 5% of the committed $figure (limit $limit)"
fi
