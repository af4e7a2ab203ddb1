# Shared by the scripts: the Debian packages the project needs, installed when missing, and
# the configure-and-build step. Sourced, not run.

JENWAY_RACINE=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

JENWAY_PAQUETS=(
  cmake ninja-build g++ clang-format clang libclang-rt-dev
  qt6-base-dev qt6-serialport-dev qt6-translations-l10n
  libgtest-dev libbenchmark-dev
  xvfb xauth imagemagick libxcb1-dev
)

# installe_paquets [other packages a script needs...]
installe_paquets() {
  local manquants=()
  local paquet
  for paquet in "${JENWAY_PAQUETS[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$paquet" 2>/dev/null | grep -q 'install ok installed' ||
      manquants+=("$paquet")
  done
  [ ${#manquants[@]} -eq 0 ] && return 0

  local commande="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y ${manquants[*]}"
  if [ "$(id -u)" -eq 0 ]; then
    bash -c "$commande"
  elif command -v sudo >/dev/null 2>&1; then
    sudo bash -c "$commande"
  else
    echo "Paquets manquants. Installez-les en administrateur :" >&2
    echo "  $commande" >&2
    exit 1
  fi
}

# configure DOSSIER TYPE [options cmake...]
configure() {
  local dossier=$1 type=$2
  shift 2
  cmake -S "$JENWAY_RACINE" -B "$dossier" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
}

# construit DOSSIER [cibles...]: the targets named, or all of them; on every core unless
# CMAKE_BUILD_PARALLEL_LEVEL says otherwise.
construit() {
  local dossier=$1
  shift
  local cibles=()
  local cible
  for cible in "$@"; do
    cibles+=(--target "$cible")
  done
  cmake --build "$dossier" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" "${cibles[@]}"
}

# configure_et_construit DOSSIER TYPE [options cmake...]
configure_et_construit() {
  configure "$@"
  construit "$1"
}
