#!/usr/bin/env bash
# The bash completion as a user meets it: modes, options, the values options take (the
# compressors listed by the program itself), and no file names where a number goes.
# usage: completion_test.sh QUOVEL_BINARY COMPLETION_SCRIPT
set -uo pipefail
PATH="$(dirname "$1"):$PATH"
# shellcheck source=/dev/null
source "$2"
fail=0

offered() {  # WORDS...: what completing the last word offers, sorted, on one line
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    _quovel
    printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | tr '\n' ' '
}
expect() {  # WANT WORDS...
    local want=$1 got
    shift
    got=$(offered "$@")
    if [[ $got != "$want" ]]; then
        echo "FAIL: $* -> '$got', expected '$want'"
        fail=1
    fi
}

expect "--convert " quovel --con
expect "--help " quovel --he
expect "" quovel clip   # a file: bash's own completion
expect "--codec " quovel --convert in.mp4 out.avi --cod
expect "--dv-crop " quovel --convert in.mp4 out.avi --dv
expect "--no-clobber " quovel --convert in.mp4 out.avi --no
expect "mp3 " quovel --convert in.mp4 out.avi --audio mp
expect "1 2 3 " quovel --convert in.mp4 out.avi --thinning ""
expect "max " quovel --convert in.mp4 out.avi --timer-rate m
expect "" quovel --convert in.mp4 out.avi --quality ""
expect "0 1 2 3 4 5 6 7 8 9 " quovel --convert in.mp4 out.avi --mode ""
expect "--mode --mosaic " quovel --convert in.mp4 out.avi --mo
expect "0 1 2 3 4 5 6 7 8 9 " quovel --render in.mp4 --mode ""
expect "--strobe --strobe-count " quovel --render in.mp4 --str
expect "--size " quovel --list-codecs ""
expect "1920x1080 " quovel --list-codecs --size 19

codecs=$(offered quovel --convert in.mp4 out.avi --codec "")
listed=$(quovel --list-codecs | cut -d ' ' -f 1 | sort | tr '\n' ' ')
if [[ $codecs != "$listed" || $codecs != *"DIB "* || $codecs != *"MJPG "* ]]; then
    echo "FAIL: --codec offers '$codecs', --list-codecs lists '$listed'"
    fail=1
fi
expect "MJPG " quovel --convert in.mp4 out.avi --codec MJ

[[ $fail == 0 ]] && echo "completion: ok"
exit $fail
