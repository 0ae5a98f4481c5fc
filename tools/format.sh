#!/usr/bin/env bash
# Formats every tracked C++ file with the committed .clang-format;
# `--check` changes nothing and fails on the first file that differs.
set -euo pipefail
cd "$(dirname "$0")/.."
# The version the tree is formatted with: others lay some lines out otherwise.
format=clang-format-14
if ! command -v "$format" >/dev/null; then
    echo "$format is missing: bash tools/deps.sh installs it" >&2
    exit 1
fi
mode=(-i)
if [ "${1:-}" = --check ]; then
    mode=(--dry-run -Werror)
fi
git ls-files -z '*.cpp' '*.h' | xargs -0 "$format" "${mode[@]}"
