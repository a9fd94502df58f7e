#!/usr/bin/env bash
# Rebuilds frame/gestures/GestureWeights.cpp from the repository alone: the trainer is compiled for
# the build host with the program's own stroke preparation and network, and every random choice
# comes from fixed seeds, so the same table comes out each time.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
g++ -std=c++20 -O2 -Wall -Wextra -Wshadow -I"$root" -o "$work/GestureTrainer" \
    "$root/tools/gesture-trainer/GestureTrainer.cpp" "$root/frame/gestures/GestureStroke.cpp" \
    "$root/frame/gestures/NeuralNet.cpp"
"$work/GestureTrainer" "$root/frame/gestures/GestureWeights.cpp"
