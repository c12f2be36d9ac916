# Sourced by the scripts: install_missing PACKAGE... installs the given Debian packages
# (with sudo when not root); nothing happens when none is given.
install_missing() {
  [ $# -gt 0 ] || return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q "$@"
}
