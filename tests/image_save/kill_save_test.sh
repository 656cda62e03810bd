#!/usr/bin/env bash
# vtsim killed (SIGKILL) while it changes an image, many times: the next vtsim
# command must see exactly the old image or exactly the new one (the image an
# uninterrupted run leaves), accept it with `vtsim check`, and leave nothing
# beside it.
#
#   kill_save_test.sh VTSIM SOURCE_DIR GROUP
#     steps    `vtsim run` killed after each write step of its save in turn
#              (CVS_SAVE_KILL_AFTER=N), also through a link to the image
#     reboot   the same for `vtsim reboot`
#     random   `vtsim run` killed after a random time, anywhere in the run
#              or its save
set -u
vtsim=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source_dir=$(cd "$2" && pwd)
group=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "kill $group: $*" >&2; failures=$((failures + 1)); }

script=$source_dir/tests/scenarios/full_run_98/script.txt
cp -r "$source_dir/samples/98" before
# The command under test on image $1 (exec: its process is the one killed).
act() {
  if [[ $group == reboot ]]; then
    exec "$vtsim" reboot "$1" > /dev/null 2>&1
  else
    exec "$vtsim" run "$1" --script "$script" --transcript "$work/transcript.txt" > /dev/null 2>&1
  fi
}
if [[ $group == reboot ]]; then
  # The restart acts on the image a whole run left.
  "$vtsim" run before --script "$script" --transcript transcript.txt > /dev/null 2>&1
else
  # The run log of an earlier run: this run appends to a file the old image
  # holds, which must stay as it was until the switch.
  printf 'An earlier run\r\n' > before/drives/C/WINDOWS/TEMP/VtCvScrubber.log
fi
cp -r before after
(act after)
status=$?
[[ $status == 0 ]] || { echo "kill $group: the uninterrupted run ended with $status" >&2; exit 1; }
diff -r -q before after > /dev/null && { echo "kill $group: the run changed nothing" >&2; exit 1; }

# Which image the next command sees at $1: "old", "new", or a failure.
verdict=""
judge() {
  local image=$1 label=$2
  verdict=bad
  "$vtsim" check "$image" > /dev/null 2> check.err || fail "$label: vtsim check: $(head -c 300 check.err)"
  if diff -r -q before "$image" > /dev/null 2>&1; then
    verdict=old
  elif diff -r -q after "$image" > /dev/null 2>&1; then
    verdict=new
  else
    fail "$label: neither the old nor the new image: $(diff -r -q after "$image" 2>&1 | head -5)"
  fi
  local left
  left=$(ls -d "$work"/image.vtsim-* "$work"/real.vtsim-* 2> /dev/null)
  [[ -z $left ]] || fail "$label: left beside the image: $left"
}

case $group in
  steps | reboot)
    # Each write step in turn; a run not killed has no step left to stop at.
    outcomes=""
    for n in $(seq 1 40); do
      rm -rf image && cp -r before image
      { (CVS_SAVE_KILL_AFTER=$n act image); } 2> /dev/null
      status=$?
      judge image "killed after step $n (status $status)"
      if [[ $status != 137 ]]; then
        [[ $verdict == new ]] || fail "a run that ended ($status) left the $verdict image"
        break
      fi
      outcomes+="${verdict:0:1}"
    done
    # The old image up to the commit marker, the new one from there on.
    [[ $outcomes =~ ^o+n+$ ]] || fail "outcomes by step (o old, n new): $outcomes"
    [[ ${#outcomes} -ge 6 ]] || fail "only ${#outcomes} save steps were hit"
    # An image named through a link is switched where it lies; the link
    # keeps naming it after the recovery.
    if [[ $group == steps ]]; then
      for n in 6 7 8; do
        rm -rf real image && cp -r before real && ln -s real image
        { (CVS_SAVE_KILL_AFTER=$n act image); } 2> /dev/null
        judge image "through a link, killed after step $n"
        [[ -L image && -d real ]] || fail "through a link, step $n: the link or the image is gone"
        rm -f image
      done
    fi
    ;;
  random)
    rm -rf image && cp -r before image
    t0=$(date +%s%N)
    (act image)
    span=$((($(date +%s%N) - t0) / 1000000 + 1))
    declare -A seen=([old]=0 [new]=0)
    RANDOM=${KILL_SEED:-13}
    for i in $(seq 1 ${KILLS:-30}); do
      rm -rf image && cp -r before image
      (act image) &
      pid=$!
      # Every other kill lands in the last fifth of the run, where it saves.
      if ((i % 2)); then wait_ms=$((RANDOM % span)); else wait_ms=$((span * 4 / 5 + RANDOM % (span / 5 + 1))); fi
      sleep "$(printf '%d.%03d' $((wait_ms / 1000)) $((wait_ms % 1000)))"
      kill -9 "$pid" 2> /dev/null
      wait "$pid" 2> /dev/null
      judge image "kill $i"
      seen[$verdict]=$((${seen[$verdict]:-0} + 1))
    done
    echo "kill random: run of ${span} ms; the next command saw the old image ${seen[old]} times, the new one ${seen[new]} times"
    ;;
  *)
    echo "unknown group $group" >&2
    exit 2
    ;;
esac
[[ $failures == 0 ]] && echo "kill $group: ok"
exit $((failures > 0))
