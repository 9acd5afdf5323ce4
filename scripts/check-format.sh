#!/usr/bin/env bash
# Fails when a C++ file of the tree is not formatted with the project's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh clang-format
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
