#!/usr/bin/env bash
# Prints the processor the tests and the demonstration run are built for on this machine: i686,
# the shipped program's own, when this kernel runs 32-bit code (32-bit Wine needs it); x86_64
# otherwise (some virtual machines run 64-bit user code only, where only 64-bit Wine starts).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
else
    echo x86_64
fi
