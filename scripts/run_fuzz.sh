#!/usr/bin/env bash
# Runs each libFuzzer target of a `make fuzz` build in turn, at the lowest priority and with one
# job, so that other work on the machine keeps the processor.
#   scripts/run_fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# New inputs go to build-fuzz/fuzz-work/<target>, crashes and hangs to build-fuzz/fuzz-artifacts/;
# the seeds in fuzz/corpus/ and the reproducers in fuzz/regressions/ are only read, as are the
# shared real-world files when they exist.
# The importers' scratch databases live in /dev/shm when there is one: on a disk, syncing them
# slows the runs tenfold.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-600}
shift || true
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(bookmark_file shortcut_ini legacy_import html_harvest
                                        feed_parser search_like text_codecs)
shared=$root/../shared/fixtures
scratch_root=$build/fuzz-tmp
[[ -d /dev/shm && -w /dev/shm ]] && scratch_root=/dev/shm/tb-fuzz-$$

extra_seeds() {
    case $1 in
        bookmark_file) echo "$shared/bookmarks" ;;
        html_harvest) echo "$shared/bookmarks" ;;
        feed_parser) echo "$shared/feeds" ;;
    esac
}

for target in "${targets[@]}"; do
    work=$build/fuzz-work/$target
    artifacts=$build/fuzz-artifacts/$target
    scratch=$scratch_root/$target
    mkdir -p "$work" "$artifacts" "$scratch"
    seeds=("$root/fuzz/corpus/$target" "$root/fuzz/regressions/$target")
    for extra in $(extra_seeds "$target"); do
        [[ -d $extra ]] && seeds+=("$extra")
    done
    echo "== $target: ${seconds}s"
    TMPDIR=$scratch nice -n 19 "$build/fuzz/fuzz_$target" -fork=1 -ignore_crashes=1 \
        -ignore_timeouts=1 -ignore_ooms=1 -timeout=10 -max_len=16384 -print_funcs=0 \
        -max_total_time="$seconds" -artifact_prefix="$artifacts/" \
        "$work" "${seeds[@]}" 2>&1 | tee "$build/fuzz-$target.log" | grep -E '^#|Invariant|ERROR|SUMMARY' || true
    rm -rf "$scratch"
done
