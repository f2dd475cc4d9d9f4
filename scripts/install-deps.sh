#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tambrel need,
# but only those that are missing, so a second run costs nothing.
#   scripts/install-deps.sh run      what the editor needs to build and start
#   scripts/install-deps.sh test     that, plus test, benchmark and fuzzing tools and the ime and a11y sets
#   scripts/install-deps.sh ime      fcitx5 with pinyin on a virtual X desktop, for the Chinese input check
#   scripts/install-deps.sh a11y     the AT-SPI bus and its Python client on a virtual X desktop, for
#                                    the screen reader check
#   scripts/install-deps.sh windows  the mingw-w64 cross compiler, Wine, NSIS and a virtual X desktop,
#                                    for the Windows check
set -euo pipefail

purpose=${1:-run}

ime_packages=(
  fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6 dbus-daemon
  xvfb x11-utils openbox xdotool imagemagick python3
)
# What a screen reader sees of the editor: the accessibility bus and registry, and pyatspi to ask
# them as Orca does.
a11y_packages=(at-spi2-core python3-pyatspi dbus-daemon xvfb x11-utils openbox xdotool python3)
# The Windows build and its checks under Wine: the cross compiler, Wine, the installer's and the
# zip's makers, ImageMagick for the icon and the pictures, a virtual X desktop for the real
# window, a Chinese font for Wine to draw the interface with, and the zh_CN locale (below) that
# gives Wine the code page 936 of a Chinese Windows.
windows_packages=(
  cmake googletest g++-mingw-w64-x86-64-posix wine wine64 nsis zip imagemagick python3
  xvfb x11-utils openbox xdotool fonts-noto-cjk locales
)
if [[ $purpose == windows ]]; then
  packages=("${windows_packages[@]}")
elif [[ $purpose == ime ]]; then
  packages=("${ime_packages[@]}")
elif [[ $purpose == a11y ]]; then
  packages=("${a11y_packages[@]}")
else
  packages=(
    build-essential cmake
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
    fonts-noto-cjk fonts-wqy-microhei
    # Emoji in colour, so that an emoji family or a flag is drawn as the one character it is.
    fonts-noto-color-emoji
    # fcitx5, the usual Chinese input method, reaches Qt 6 programs only through this module.
    fcitx5-frontend-qt6
  )
fi
if [[ $purpose == test ]]; then
  packages+=(googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xauth x11-utils dpkg-dev)
  # The test suite runs the Chinese input check too.
  packages+=("${ime_packages[@]}")
  # And the screen reader check.
  packages+=("${a11y_packages[@]}")
  # A locale that writes numbers with a decimal comma, for the layout tests.
  packages+=(locales)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

sudo=()
if ((EUID != 0)); then
  sudo=(sudo)
fi

if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [[ $purpose == test ]] && ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Generating the de_DE.UTF-8 locale"
  "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi

if [[ $purpose == windows ]] && ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  echo "Generating the zh_CN.UTF-8 locale"
  "${sudo[@]}" localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
