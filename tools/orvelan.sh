#!/usr/bin/env bash
# The newcomer's entry point: installs what is missing, builds, prepares a demo database.
#   tools/orvelan.sh run     build, create a demo database if there is none, start the program
#   tools/orvelan.sh test    build, run the whole test suite (add --sanitize for ASan/UBSan)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-run}
sanitize=OFF
[ "${2:-}" = "--sanitize" ] && sanitize=ON
build="$here/build"
[ "$sanitize" = ON ] && build="$here/build-sanitize"

missing=()
while read -r pkg; do
    [ -n "$pkg" ] || continue
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done < "$here/tools/packages.txt"
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVELAN_SANITIZE="$sanitize"
cmake --build "$build" -j"$(nproc)"

case "$mode" in
run)
    db=$("$build/tools/orvelan-db" alias | cut -f2)
    if [ ! -f "$db" ]; then
        "$build/tools/orvelan-db" demo --patients 2000 --seed 1
    fi
    echo "База данных: $db"
    exec "$build/app/orvelan"
    ;;
test)
    export QT_QPA_PLATFORM=offscreen
    cd "$build" && ctest --output-on-failure -j2
    ;;
*)
    echo "usage: tools/orvelan.sh run|test [--sanitize]" >&2
    exit 2
    ;;
esac
