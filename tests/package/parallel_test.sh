#!/usr/bin/env bash
# README's "Converting many files", run: GNU parallel fans `quovel --convert` out over the
# cores, and over hosts. Four clips like phones' and cameras' (sound, 29.97 and 23.976 a
# second with B-frames, a rotation tag) and a broken fifth:
#   1. one machine: every good clip converts to exactly what a run on its own writes, the
#      broken one fails, leaving nothing, and the job log says so;
#   2. after the broken clip is mended, --resume-failed runs that job alone, and the finished
#      outputs are not touched;
#   3. two sources naming one output: one is written, the other refused, nothing replaced;
#   4. two hosts (--sshlogin, through tests/package/fake-ssh standing in for ssh to them):
#      each source sent there, converted, the AVI returned, their folders cleaned.
# usage: parallel_test.sh QUOVEL_BINARY WORK_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
PATH="$(cd "$(dirname "$1")" && pwd):$PATH"
work=$2
rm -rf "$work"
mkdir -p "$work/clips" "$work/serial"
cd "$work/clips" || exit 1
fail=0
check() {  # WHAT CONDITION...
    local what=$1
    shift
    if ! "$@"; then
        echo "FAIL: $what"
        fail=1
    fi
}
par() { parallel --will-cite "$@" 2>>"$work/parallel.err"; }
recipe=(quovel --convert "{}" "{.}.avi" --codec MJPG --no-clobber)
ff=(ffmpeg -nostdin -v error -y)
"${ff[@]}" -f lavfi -i testsrc2=size=320x240:rate=30:duration=2 -f lavfi -i sine=duration=2 \
    -c:v libx264 -pix_fmt yuv420p -c:a aac phone.mp4
"${ff[@]}" -f lavfi -i testsrc2=size=320x240:rate=30000/1001:duration=2 -c:v libx264 -bf 3 \
    -pix_fmt yuv420p ntsc.mp4
"${ff[@]}" -f lavfi -i testsrc2=size=320x240:rate=30:duration=2 -c:v libx264 -pix_fmt yuv420p \
    -metadata:s:v:0 rotate=90 portrait.mp4
"${ff[@]}" -f lavfi -i testsrc2=size=320x240:rate=24000/1001:duration=2 -c:v libx264 -bf 2 \
    -pix_fmt yuv420p film.mp4
good=(phone ntsc portrait film)
for name in "${good[@]}"; do
    quovel --convert "$name.mp4" "$work/serial/$name.avi" --codec MJPG 2>/dev/null ||
        { echo "FAIL: $name.mp4 does not convert on its own"; exit 1; }
done
head -c 20000 /dev/urandom >broken.mp4

exits() {  # JOBLOG: "SOURCE EXIT" per job, sorted
    awk -F '\t' 'NR > 1 { n = split($9, w, " "); print w[3], $7 }' "$1" | sort
}
same_as_alone() {
    local name
    for name in "$@"; do
        cmp -s "$name.avi" "$work/serial/$name.avi" || return 1
    done
}

# ---- 1. one machine --------------------------------------------------------------------------
par --joblog "$work/jobs.log" "${recipe[@]}" ::: *.mp4
check "parallel counts one failed job (it said $?)" test $? = 1
check "every good clip converts as it does alone" same_as_alone "${good[@]}"
check "the broken clip leaves nothing" test ! -e broken.avi -a -z "$(ls ./*.part 2>/dev/null)"
check "the job log: $(exits "$work/jobs.log" | tr '\n' ' ')" test "$(exits "$work/jobs.log" | tr '\n' ' ')" = \
    "broken.mp4 1 film.mp4 0 ntsc.mp4 0 phone.mp4 0 portrait.mp4 0 "

# ---- 2. mended, and run again: only the failed job -------------------------------------------
stamps() { stat -c '%n %Y %s' "${good[@]/%/.avi}" | sort; }
before=$(stamps)
sleep 1  # a rewrite would show in the seconds of the times
cp portrait.mp4 broken.mp4
par --joblog "$work/jobs.log" --resume-failed "${recipe[@]}" ::: *.mp4
check "the retry succeeds (parallel said $?)" test $? = 0
check "only the failed job ran again" test "$(exits "$work/jobs.log" | tr '\n' ' ')" = \
    "broken.mp4 0 broken.mp4 1 film.mp4 0 ntsc.mp4 0 phone.mp4 0 portrait.mp4 0 "
check "the finished outputs are untouched" test "$(stamps)" = "$before"
check "the mended clip converts" cmp -s broken.avi "$work/serial/portrait.avi"

# ---- 3. two sources, one output name ---------------------------------------------------------
mkdir -p "$work/same-name"
cp ntsc.mp4 "$work/same-name/take.mp4"
"${ff[@]}" -i film.mp4 -c copy "$work/same-name/take.mkv"
(cd "$work/same-name" && par --joblog "$work/same-name.log" "${recipe[@]}" ::: take.mp4 take.mkv)
check "one writes take.avi, the other is refused: $(exits "$work/same-name.log" | awk '{ print $2 }' | sort | tr '\n' ' ')" \
    test "$(exits "$work/same-name.log" | awk '{ print $2 }' | sort | tr '\n' ' ')" = "0 3 "
written=$(md5sum <"$work/same-name/take.avi")
(cd "$work/same-name" && par "${recipe[@]}" ::: take.mp4 take.mkv)
check "run again, neither replaces it" test "$(md5sum <"$work/same-name/take.avi")" = "$written"
check "take.avi decodes whole" test -z "$(ffmpeg -nostdin -v error -i "$work/same-name/take.avi" -f null - 2>&1)"

# ---- 4. two hosts ----------------------------------------------------------------------------
mkdir -p "$work/hosts"
for name in "${good[@]}"; do cp "$name.mp4" "$work/hosts/"; done
export FAKE_SSH_HOMES="$work/homes"
(cd "$work/hosts" && par --ssh "$here/fake-ssh" --sshlogin 1/localhost,1/127.0.0.1 \
    --transferfile {} --return "{.}.avi" --cleanup "${recipe[@]}" ::: "${good[@]/%/.mp4}")
check "the hosts' jobs succeed" test $? = 0
check "every AVI came back as a run alone writes it" \
    bash -c "cd '$work/hosts' && for n in ${good[*]}; do cmp -s \$n.avi '$work/serial/'\$n.avi || exit 1; done"
for host in localhost 127.0.0.1; do
    # A job there (parallel sends it encoded), and an AVI returned from there.
    check "$host ran a job" grep -q GNU_Parallel_worker "$FAKE_SSH_HOMES/$host.log"
    check "$host returned an AVI" grep -q -- "--sender .* ./.*\.avi" "$FAKE_SSH_HOMES/$host.log"
    check "$host's folder is clean" test -z "$(find "$FAKE_SSH_HOMES/$host" -mindepth 1)"
done

if [ $fail = 0 ]; then
    echo "batch: ok"
else
    echo "--- parallel's messages:"
    grep -v '^\[' "$work/parallel.err" | head -40
fi
exit $fail
