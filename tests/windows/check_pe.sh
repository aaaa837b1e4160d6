#!/usr/bin/env bash
# check_pe.sh OBJDUMP MODULE...: each module is a 32-bit PE DLL whose export table names exactly
# Linkage and ImportTable and whose imports come only from system DLLs (KERNEL32, msvcrt,
# USER32, WINMM), with PlaySoundA from WINMM and nothing else from outside.
set -uo pipefail
objdump=$1; shift
status=0
for module in "$@"; do
  name=$(basename "$module")
  if ! dump=$("$objdump" -p "$module"); then
    echo "FAIL $name: objdump cannot read it"; status=1; continue
  fi
  grep -q 'Magic[[:space:]]*010b' <<<"$dump" || { echo "FAIL $name: not a PE32 image"; status=1; }
  # Characteristics must have IMAGE_FILE_DLL (0x2000).
  characteristics=$(awk '/^Characteristics/ {print $2; exit}' <<<"$dump")
  (( (16#${characteristics#0x} & 0x2000) != 0 )) || { echo "FAIL $name: not a DLL"; status=1; }

  exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | awk '/^[[:space:]]*\[ *[0-9]+\] [A-Za-z_]/ {print $NF}' | sort | tr '\n' ' ')
  if [ "$exports" != "ImportTable Linkage " ]; then
    echo "FAIL $name: exports are: $exports"; status=1
  fi

  dlls=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$dump" | sort -u | tr '\n' ' ')
  for dll in $dlls; do
    case $dll in
      kernel32.dll|msvcrt.dll|user32.dll|winmm.dll) ;;
      *) echo "FAIL $name: imports from $dll"; status=1 ;;
    esac
  done
  # What comes from WINMM: PlaySoundA alone.
  winmm=$(awk 'tolower($0) ~ /dll name: winmm.dll/ {on=1; next} /DLL Name:/ {on=0} on && NF==3 && $1 ~ /^[0-9a-f]+$/ {print $3}' <<<"$dump" | sort -u | tr '\n' ' ')
  if [ "$winmm" != "PlaySoundA " ]; then
    echo "FAIL $name: from WINMM it imports: $winmm"; status=1
  fi
  [ $status -eq 0 ] && echo "ok $name: exports $exports; imports from $dlls"
done
exit $status
