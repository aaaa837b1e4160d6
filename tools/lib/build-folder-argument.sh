# The command line of the regenerate scripts: one optional build folder, --help and nothing
# else. Sourced; the script defines usage() (its --help text) before it calls
#   read_build_folder SCRIPT_NAME "$@"
# which sets `build` (default: build) or exits with a usage line.
read_build_folder() {
  local name=$1; shift
  local usage_line="usage: $name [BUILD_DIR]   (--help for more)"
  build=
  while [ $# -gt 0 ]; do
    case $1 in
      -h|--help) usage; exit 0 ;;
      -*) echo "$name: unknown option $1; $usage_line" >&2; exit 2 ;;
      *)
        if [ -n "$build" ]; then
          echo "$name: more than one build folder ($build, $1); $usage_line" >&2
          exit 2
        fi
        build=$1; shift ;;
    esac
  done
  build=${build:-build}
}
