# Sourced by .ci/run and the scripts: install_missing [--no-install-recommends] PACKAGE...
# installs the given Debian packages (apt-get update first; with sudo when not root);
# nothing happens when no package is given.
install_missing() {
  local options=()
  while [ $# -gt 0 ] && [ "${1#--}" != "$1" ]; do
    options+=("$1")
    shift
  done
  [ $# -gt 0 ] || return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "== installing $*"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q "${options[@]}" "$@"
}
