#!/usr/bin/env bash
# Runs one fuzz target of the 'fuzz' preset over its seed corpus.
#
#   fuzz/run.sh <target> <seconds> [extra libFuzzer options...]
#
# The targets are the executables of fuzz/CMakeLists.txt, each named after
# what it reads: received bytes (fuzz_packets, fuzz_engine), console markup
# (fuzz_markup), message texts (fuzz_format), reference files (fuzz_rtf),
# biography documents (fuzz_whois), the local chat service's clients
# (fuzz_chatd), accounts file (fuzz_chatd_accounts) and web requests
# (fuzz_http_request), lines typed into the main window's input line
# (fuzz_input_line), the settings file (fuzz_settings, fuzz_startup_file,
# fuzz_startup_values), saved positions (fuzz_positions, fuzz_state_saver),
# program files (fuzz_file_version) and the effects kit's readers
# (fuzz_effects_*).
#
# New inputs go to build/fuzz/corpus/<target>/ (the seeds under
# fuzz/seeds/<target>/ are read, never written); crashes, leaks and timeouts
# to build/fuzz/artifacts/<target>/. The sanitizers stop at their first
# report, and leaks of the system libraries are suppressed (fuzz/lsan.supp).
# Set FUZZ_BUILD to use another build folder.
set -euo pipefail

if [[ $# -lt 2 ]]; then
    echo "usage: $0 <target> <seconds> [libFuzzer options...]" >&2
    exit 2
fi
target=$1
seconds=$2
shift 2

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${FUZZ_BUILD:-$root/build/fuzz}
binary=$build/fuzz/$target
seeds=$here/seeds/${target#fuzz_}
corpus=$build/corpus/$target
artifacts=$build/artifacts/$target

if [[ ! -x $binary ]]; then
    echo "$binary not found: cmake --preset fuzz && cmake --build --preset fuzz" >&2
    exit 2
fi
mkdir -p "$corpus" "$artifacts"
dirs=("$corpus")
if [[ -d $seeds ]]; then
    dirs+=("$seeds")
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:strict_string_checks=1:allocator_may_return_null=1}
export LSAN_OPTIONS=suppressions=$here/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

exec "$binary" -max_total_time="$seconds" -artifact_prefix="$artifacts/" -print_final_stats=1 \
    "$@" "${dirs[@]}"
