#!/usr/bin/env bash
# Installs every Debian package Tonemill needs to build, run and test, when any
# is missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  # a rebuild of what did not change costs a cache lookup (scripts/build.sh)
  ccache
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev libqt6opengl6-dev
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libopenmpt-dev libfluidsynth-dev timgm6mb-soundfont libsqlite3-dev libtag1-dev
  libcdio-dev libcdio-paranoia-dev
  # libebur128: the reference the loudness measure is tested and timed against;
  # the freedesktop sounds: real recordings to measure
  libebur128-dev sound-theme-freedesktop
  lame vorbis-tools ffmpeg
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang-format-14
  # scripts/tidy.sh: the headless libraries' static checks
  clang-tidy-14
  # scripts/fuzz.sh: the parsers' fuzz targets (libFuzzer is in clang's runtime)
  clang-14 libclang-rt-14-dev
  sox pulseaudio pulseaudio-utils sqlite3 time dbus-daemon util-linux musepack-tools
  # a FAT file system (no extended attributes) for the leftover sweep's test,
  # mounted through FUSE where the kernel has no vfat
  dosfstools fusefat
  # Japanese glyphs, for the Japanese language file on a machine without a desktop
  fonts-vlgothic
  # Qt's own texts (file dialogs, standard buttons) in the chosen language
  qt6-translations-l10n
  # The real window under a real window manager, for the tests that need one
  xvfb openbox xdotool
  # The window as a screen reader sees it (at-spi), and the screenshots script
  python3-pyatspi at-spi2-core imagemagick
  # X11's own calls: a window move the window manager took too late is cancelled
  libxcb1-dev
  # Converting one library with several machines (the README's recipe), and
  # the loopback SSH server its test starts as a second machine
  parallel openssh-client openssh-server
  # The Debian package (scripts/package.sh) and its checks: icons rendered
  # from the SVG, the manual page and completions made from --help, the
  # package checked, its desktop files validated, its completions tried
  python3 librsvg2-bin dpkg-dev fakeroot lintian desktop-file-utils appstream man-db
  bash-completion zsh fish
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
