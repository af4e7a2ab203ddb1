# Shared by the scripts: the Debian packages the project needs, installed when missing, and
# the configure-and-build step. Sourced, not run.

JENWAY_RACINE=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

JENWAY_PAQUETS=(
  cmake ninja-build g++ clang-format clang libclang-rt-dev
  qt6-base-dev qt6-serialport-dev qt6-translations-l10n
  libgtest-dev libbenchmark-dev
  xvfb xauth imagemagick libxcb1-dev poppler-utils
  locales
)

# installe_paquets [other packages a script needs...]
installe_paquets() {
  installe_manquants "" "${JENWAY_PAQUETS[@]}" "$@"
  genere_locale_francaise
}

# installe_manquants "OPTIONS APT" PAQUET...: installs those of the packages that are missing.
installe_manquants() {
  local options=$1 manquants=() paquet
  shift
  for paquet in "$@"; do
    dpkg-query -W -f='${Status}' "$paquet" 2>/dev/null | grep -q 'install ok installed' ||
      manquants+=("$paquet")
  done
  [ ${#manquants[@]} -eq 0 ] && return 0
  en_administrateur "Paquets manquants" \
    "apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y $options ${manquants[*]}"
}

# Runs a command as root, directly or through sudo; without either, says what to run and stops.
en_administrateur() {
  local raison=$1 commande=$2
  if [ "$(id -u)" -eq 0 ]; then
    bash -c "$commande"
  elif command -v sudo >/dev/null 2>&1; then
    sudo bash -c "$commande"
  else
    echo "$raison. Lancez en administrateur :" >&2
    echo "  $commande" >&2
    exit 1
  fi
}

# The French locale, in which some tests run (a desktop whose numbers take the comma).
genere_locale_francaise() {
  locale -a 2>/dev/null | grep -qixE 'fr_FR\.utf-?8' && return 0
  en_administrateur "Locale fr_FR.UTF-8 absente" \
    "grep -qx 'fr_FR.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' >> /etc/locale.gen; locale-gen"
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
