#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 programs, 1 when it does not. A real attempt, not a
# guess: it starts Wine's 32-bit loader when that is installed, otherwise a tiny i386 program
# (some kernels have 32-bit emulation switched off and refuse both with "Exec format error").
# TAVRINE_NO_32BIT=1 makes it answer "no", to try the 64-bit path on a machine that has both.
[ "${TAVRINE_NO_32BIT:-}" = 1 ] && exit 1
if [ -x /usr/lib/wine/wine ]; then
    /usr/lib/wine/wine --version >/dev/null 2>&1
    exit
fi
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
# ELF32 header, one loadable segment, then: mov ebx, 42; mov eax, 1 (exit); int 0x80
printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5e\x00\x00\x00\x5e\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
[ $? -eq 42 ]
