#!/bin/sh
# help2man runs this as the program: panelhost ($PANELHOST) itself, but its --help-all with each
# command under a heading of its own, for the man page.
case $1 in
  --help-all)
    "$PANELHOST" --help-all | sed -E -e '/^Subcommands:$/d' -e '/^  (Options|Positionals):$/d' \
      -e 's/^([a-z]+)$/panelhost \1:/' ;;
  *) exec "$PANELHOST" "$@" ;;
esac
