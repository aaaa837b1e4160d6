# Whether this machine runs 32-bit x86 Linux programs, as wine's own loader is one. Sourced.
#   i386_programs      prints native, emulated or none
#   i386_refusal       the one line that says why none run
#   i386_binfmt_entry  the name of the enabled binfmt_misc entry that runs them, if any
# The probe runs the i386 loader of libc6:i386 (PANEL_I386_LOADER names another, so that a
# test can take the emulation away); uname says nothing about a kernel booted without its
# 32-bit emulation.

i386_loader=${PANEL_I386_LOADER:-/lib/ld-linux.so.2}
i386_binfmt=/proc/sys/fs/binfmt_misc

i386_loader_runs() {
  "$i386_loader" --version >/dev/null 2>&1
}

# An ELF header for 32-bit x86 (class 1, little-endian, e_machine 3) is what the entry matches.
i386_binfmt_entry() {
  local entry
  for entry in "$i386_binfmt"/*; do
    [ -f "$entry" ] || continue
    case ${entry##*/} in register|status) continue ;; esac
    if head -n 1 "$entry" 2>/dev/null | grep -qx enabled &&
       grep -Eq '^magic 7f454c460101.{20}0[23]000300' "$entry" 2>/dev/null; then
      echo "${entry##*/}"
      return 0
    fi
  done
  return 1
}

i386_programs() {
  if ! i386_loader_runs; then
    echo none
  elif i386_binfmt_entry >/dev/null; then
    echo emulated
  else
    echo native
  fi
}

i386_refusal() {
  if [ ! -e "$i386_loader" ]; then
    echo "the 32-bit loader $i386_loader is missing (apt-get install libc6:i386)"
  else
    echo "this kernel runs no 32-bit programs (32-bit emulation off, and no emulator registered with binfmt_misc; tools/install-deps.sh as root registers qemu-user's)"
  fi
}
