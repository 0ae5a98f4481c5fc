#!/usr/bin/env bash
# Instructions per 4096-frame hop of the audio path (processReplacing in
# blocks of 512 on the benchmarks' test signal), counted by callgrind, with
# the same analysis on FFTW for comparison. The count is deterministic for a
# given processor class, C library and compiler, so CI can hold it:
#   tools/hopcount.sh           prints both counts, the plug-in's again with
#                               the band levels falling as the open editor
#                               lets them (every band may rise each hop), and
#                               the fixed cost of a processReplacing call
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
# Prints the instructions per hop of one subject (arguments of tq_hopcount
# after the hop count); its program line goes to $log.
per_hop() {
    local subject=$1
    shift
    valgrind --tool=callgrind --callgrind-out-file=/dev/null --toggle-collect=tq_hop_window \
        build/linux/tq_hopcount "$subject" "$hops" "$@" >"$log" 2>&1 ||
        { cat "$log" >&2; return 1; }
    awk -v hops="$hops" '/Collected :/ {printf "%d\n", $NF / hops + 0.5}' "$log"
}
# Instructions inside the plug-in's processReplacing entry over 16 hops in
# blocks of $1.
entry_total() {
    local out
    out=$(mktemp)
    valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect=tq_hop_window \
        build/linux/tq_hopcount plugin 16 "$1" >/dev/null 2>&1 || { rm -f "$out"; return 1; }
    callgrind_annotate --inclusive=yes --auto=no "$out" |
        awk '/processClassReplacing/ {gsub(",", "", $1); print $1; exit}'
    rm -f "$out"
}
ours=$(per_hop plugin)
vectors=$(awk '/ hops, / {print $3}' "$log")
falling=$(per_hop plugin 512 falling)
fftw=$(per_hop fftw)
echo "instructions per hop: tq-spectrum $ours ($vectors vectors), $falling with the levels" \
    "falling; FFTW version $fftw"
# The same samples in 256 calls per hop instead of 8: the difference is the
# cost that every call adds.
small=$(entry_total 16)
large=$(entry_total 512)
echo "fixed cost per processReplacing call: $(((small - large) / (16 * (256 - 8)))) instructions"

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
