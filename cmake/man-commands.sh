#!/bin/sh
# The COMMANDS section of kestrel's manual page, for help2man --include: the
# help of each command that `kestrel --help` lists, as it prints it.
#   sh man-commands.sh KESTREL >commands.h2m
set -e
kestrel=$1
echo "[COMMANDS]"
"$kestrel" --help | awk '/^commands:/ { on = 1; next } on && /^  [a-z]/ { print $1 } on && /^$/ { exit }' |
    while read -r command; do
        echo ".SS $command"
        echo ".nf"
        "$kestrel" help "$command" | sed -e 's/\\/\\e/g' -e 's/^\([.'"'"']\)/\\\&\1/'
        echo ".fi"
    done
