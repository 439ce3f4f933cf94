#!/usr/bin/env bash
# Checks the install layout and the Debian package; one part per CTest entry:
#   install   install into a staging folder (DESTDIR); start the installed program there, offscreen
#             and in a private network namespace: it finds its library and language files, shows a
#             translated title, ends cleanly when its window is closed, and writes nothing into the
#             home folder, the current directory or the install folder
#             (its settings go only into its own file under the configuration folder)
#   user      start the installed program as a normal user (no capabilities) in the pc namespace
#             of a private test network with a simulated fleet: it lists the fleet, tells the
#             command for the link-local route it may not add, and changes no route; then as
#             root: it adds the route, and removes it when a termination signal ends it
#   validate  the desktop entry and the AppStream metadata pass their validators, and the entry
#             starts the program as the user
#   deb       the package cpack builds holds exactly the expected files, and lintian finds no error
# Exit 77: skipped, because a tool is missing or there is no root for the namespace (the message
# says which); a part that could run only in part fails if that part failed, else skips.
set -uo pipefail
part=${1:?usage: package_test.sh install|user|validate|deb BUILD_DIR SOURCE_DIR PROBE_DIR HAVE_CLI}
build=$2
source=$3
probe_dir=$4
have_cli=$5

# The simulator refuses to run unless process 1 is the caller's own: the user part runs in private
# mount and PID namespaces (as tools/netns/demo does), so its simulator and namespaces also go
# with it however it ends.
if [ "$part" = user ] && [ -z "${SCANIX_PACKAGE_PRIVATE:-}" ] && [ "$(id -u)" -eq 0 ] &&
    unshare --mount --pid --fork --mount-proc true 2>/dev/null; then
    export SCANIX_PACKAGE_PRIVATE=1
    mkdir -p /run/netns
    exec unshare --mount --pid --fork --kill-child --mount-proc --propagation private \
        /bin/sh -c 'mount -t tmpfs tmpfs /run/netns && exec bash "$0" "$@"' "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
skips=0

check()
{
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then
        echo "ok: $what"
    else
        echo "FAIL: $what"
        failures=$((failures + 1))
        return 1
    fi
}
# True when the text holds no line with the given fixed string.
lacks()
{
    ! grep -qF -- "$1" <<<"$2"
}
skip()
{
    echo "SKIPPED: $*"
    skips=$((skips + 1))
}
finish()
{
    if [ $failures -gt 0 ]; then
        echo "$failures failed"
        exit 1
    fi
    [ $skips -gt 0 ] && exit 77
    echo "all passed"
    exit 0
}

# Every file and link the installation holds, relative to the root, sorted.
expected_files()
{
    {
        printf '%s\n' usr/bin/scanix usr/lib/scanix/Scanix usr/lib/scanix/libScanix_Search.so \
            usr/lib/scanix/OpenURLWithAdminSrc.txt usr/lib/scanix/language/LanguageIndex.ini \
            "usr/lib/scanix/language/English (United States).ini" "usr/lib/scanix/language/Chinese (PRC).ini" \
            "usr/lib/scanix/language/Chinese (Taiwan).ini" usr/lib/scanix/language/Russian.ini \
            usr/share/applications/com.qmx.Scanix.desktop usr/share/metainfo/com.qmx.Scanix.metainfo.xml \
            usr/share/man/man1/scanix.1.gz usr/share/doc/scanix/copyright usr/share/doc/scanix/changelog.gz
        for size in 48 128 256; do
            echo "usr/share/icons/hicolor/${size}x$size/apps/com.qmx.Scanix.png"
        done
        if [ "$have_cli" = 1 ]; then
            printf '%s\n' usr/bin/scanix-cli usr/lib/scanix/scanix-cli
            [ -f "$source/cli/scanix-cli.1" ] && echo usr/share/man/man1/scanix-cli.1.gz
        fi
    } | LC_ALL=C sort
}

# Every folder that may appear: the parents of the expected files.
expected_dirs()
{
    expected_files | while IFS= read -r file; do
        dir=$(dirname "$file")
        while [ "$dir" != . ]; do
            echo "$dir"
            dir=$(dirname "$dir")
        done
    done | LC_ALL=C sort -u
}

stage()
{
    DESTDIR=$1 cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 || {
        cat "$work/install.log"
        return 1
    }
}

# Starts the installed program with a clean environment, the window probe loaded and the given
# locale, from the folder $work/cwd; the probe's report goes to $work/probe.
run_installed()
{
    local locale=$1 program=$2
    rm -f "$work/probe"
    (cd "$work/cwd" && env -i PATH="$stage_root/usr/bin:/usr/bin:/bin" HOME="$work/home" LC_ALL="$locale" \
        XDG_RUNTIME_DIR="$work/run" XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen \
        QT_PLUGIN_PATH="$probe_dir" QT_QPA_GENERIC_PLUGINS=scanixwindowprobe SCANIX_PROBE_OUT="$work/probe" \
        timeout 60 unshare --net -- "$program" >"$work/run.log" 2>&1)
}

shows_title()
{
    grep -qxF -e "title	$1" -e "accessible	$1" -e "label	$1" "$work/probe"
}

# Size and time of everything under a folder, to see whether a run changed it.
snapshot()
{
    (cd "$1" && find . -printf '%p %y %s %T@\n' | LC_ALL=C sort)
}

part_install()
{
    stage_root=$work/stage
    check "install into a staging folder" stage "$stage_root" || return
    check "the staging folder holds exactly the expected files" \
        diff <(expected_files) <(cd "$stage_root" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
    check "bin/scanix links into the private folder" \
        test "$(readlink "$stage_root/usr/bin/scanix")" = ../lib/scanix/Scanix

    # Every library the programs need resolves, those of the private folder from there, none
    # from the build tree.
    local elf needed resolved
    for elf in "$stage_root"/usr/lib/scanix/*; do
        [ -f "$elf" ] && [ ! -L "$elf" ] && head -c4 "$elf" | grep -q ELF || continue
        resolved=$(env -i ldd "$elf" 2>&1)
        check "$(basename "$elf"): every library found" lacks "not found" "$resolved"
        check "$(basename "$elf"): nothing from the build tree" lacks "$build" "$resolved"
        for needed in $(readelf -d "$elf" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
            if [ -f "$stage_root/usr/lib/scanix/$needed" ]; then
                check "$(basename "$elf"): $needed from the private folder" \
                    grep -qF "$needed => $stage_root/usr/lib/scanix/$needed" <<<"$resolved"
            fi
        done
    done

    if [ "$(id -u)" -ne 0 ] || ! unshare --net true 2>/dev/null; then
        skip "starting the installed program needs root and unshare for a private network namespace"
        return
    fi
    mkdir -p "$work/home" "$work/cwd" "$work/cache" "$work/config" && mkdir -m 700 "$work/run"
    local before
    before=$(snapshot "$stage_root")
    # Through the link on the PATH, and by the private folder's full path; two languages.
    run_installed ru_RU.UTF-8 scanix
    check "started as scanix: ends cleanly when its window is closed" test $? -eq 0
    check "started as scanix: shows the Russian title" shows_title "Поиск устройств в сети" ||
        cat "$work/run.log" "$work/probe"
    run_installed zh_CN.UTF-8 "$stage_root/usr/lib/scanix/Scanix"
    check "started by full path: ends cleanly when its window is closed" test $? -eq 0
    check "started by full path: shows the Chinese title" shows_title "设备网络搜索" ||
        cat "$work/run.log" "$work/probe"
    check "the settings one run wrote are read by the next without complaint" lacks "settings file" \
        "$(cat "$work/run.log")"
    # A damaged settings file: one line on stderr, a normal start, and a sound file afterwards.
    head -c 512 /dev/urandom >"$work/config/Scanix/Scanix.ini"
    run_installed en_US.UTF-8 scanix
    check "damaged settings: starts and ends cleanly" test $? -eq 0
    check "damaged settings: one line on stderr says the file is ignored" \
        test "$(grep -c "settings file .* ignored" "$work/run.log")" -eq 1
    run_installed en_US.UTF-8 scanix
    check "damaged settings: replaced by a sound file at the end" lacks "settings file" "$(cat "$work/run.log")"
    check "nothing written into the home folder" test -z "$(ls -A "$work/home")"
    check "settings only in their own file under the configuration folder" \
        test "$(cd "$work/config" && find . -type f)" = ./Scanix/Scanix.ini
    check "no password among the settings" lacks "assword" "$(cat "$work/config/Scanix/Scanix.ini")"
    check "nothing written into the current directory" test -z "$(ls -A "$work/cwd")"
    check "nothing written into the install folder" test "$before" = "$(snapshot "$stage_root")"
}

# The pc namespace of a private test network (tools/netns) with seven simulated devices of every
# type in another subnet; the installed program runs there as nobody, without any capability.
part_user()
{
    stage_root=$work/stage
    check "install into a staging folder" stage "$stage_root" || return
    local devsim=$build/tools/devsim/scanix-devsim netns=$source/tools/netns/netns.sh
    if [ "$(id -u)" -ne 0 ] || ! command -v setpriv >/dev/null || ! command -v ip >/dev/null; then
        skip "a normal user's run needs root (for the namespaces), setpriv and ip"
        return
    fi
    [ -x "$devsim" ] || {
        skip "the simulator is not built ($devsim)"
        return
    }
    local vars
    vars=$(bash "$netns" up --owner $$) || {
        check "a private test network" false
        return
    }
    eval "$vars"
    ip netns exec "$SCX_NS_LAN1" "$devsim" --count 7 --seed 1 --first-ip 192.168.1.64 --prefix 24 \
        --log "$work/sim.log" </dev/null >"$work/sim.out" 2>&1 &
    local sim=$! i
    for i in $(seq 100); do
        grep -q ready "$work/sim.out" 2>/dev/null && break
        sleep 0.05
    done

    # Everything the normal user touches is theirs or readable by all.
    local nobody=65534 user=$work/user
    chmod 755 "$work"
    mkdir -p "$user/home" "$user/cwd" "$user/out" && mkdir -m 700 "$user/run"
    chown -R $nobody:$nobody "$user"
    rm -f "$user/out/probe"
    (cd "$user/cwd" && ip netns exec "$SCX_NS_PC" setpriv --reuid=$nobody --regid=$nobody --clear-groups -- \
        env -i PATH="$stage_root/usr/bin:/usr/bin:/bin" HOME="$user/home" LC_ALL=en_US.UTF-8 \
        XDG_RUNTIME_DIR="$user/run" QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$probe_dir" \
        QT_QPA_GENERIC_PLUGINS=scanixwindowprobe SCANIX_PROBE_OUT="$user/out/probe" SCANIX_PROBE_ROWS=7 \
        timeout 60 scanix >"$work/user.log" 2>&1)
    check "as a normal user: ends cleanly when its window is closed" test $? -eq 0 || cat "$work/user.log"
    check "as a normal user: lists the fleet" grep -qxF "rows	7" "$user/out/probe" || cat "$user/out/probe"
    check "as a normal user: the status bar gives the command for the link-local route" \
        grep -q "^label	.*sudo ip route add 169.254.0.0/16 dev eth0" "$user/out/probe"
    check "as a normal user: no route changed" test -z "$(ip -n "$SCX_NS_PC" route show 169.254.0.0/16)"
    check "as a normal user: settings in the user's own configuration folder" \
        test -f "$user/home/.config/Scanix/Scanix.ini"

    # As root in the same namespace it adds the missing route, and takes it away again when a
    # signal ends it, as when the session ends.
    mkdir -p "$work/root/home" "$work/root/config" && mkdir -m 700 "$work/root/run"
    ip netns exec "$SCX_NS_PC" env -i PATH="$stage_root/usr/bin:/usr/bin:/bin" HOME="$work/root/home" \
        XDG_CONFIG_HOME="$work/root/config" XDG_RUNTIME_DIR="$work/root/run" LC_ALL=en_US.UTF-8 \
        QT_QPA_PLATFORM=offscreen timeout 60 scanix >"$work/root.log" 2>&1 &
    local app=$! routes=
    for i in $(seq 200); do
        routes=$(ip -n "$SCX_NS_PC" route show 169.254.0.0/16)
        [ -n "$routes" ] && break
        sleep 0.05
    done
    check "as root: adds the missing link-local route" grep -q "dev eth0" <<<"$routes"
    sleep 0.5
    kill -TERM $app
    wait $app
    check "as root: a termination signal ends it cleanly" test $? -eq 0 || cat "$work/root.log"
    check "as root: the route it added is gone when it ends" test -z "$(ip -n "$SCX_NS_PC" route show 169.254.0.0/16)"
    check "as root: its settings are written as it ends" test -f "$work/root/config/Scanix/Scanix.ini"

    kill $sim 2>/dev/null
    wait $sim 2>/dev/null
    bash "$netns" down "$SCX_ID"
}

part_validate()
{
    stage_root=$work/stage
    check "install into a staging folder" stage "$stage_root" || return
    local desktop=$stage_root/usr/share/applications/com.qmx.Scanix.desktop
    local metainfo=$stage_root/usr/share/metainfo/com.qmx.Scanix.metainfo.xml
    check "the desktop entry starts the installed program" \
        test -x "$stage_root/usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
    check "the desktop entry starts the program as the user, with no means of gaining root" \
        test -z "$(grep -E '^(Exec|TryExec)=.*\<(sudo|pkexec|su|gksu|gksudo|kdesu|kdesudo|doas)\>|^X-KDE-(SubstituteUID|Username)' \
            "$desktop")"
    check "the desktop entry's icon is installed" \
        test -f "$stage_root/usr/share/icons/hicolor/48x48/apps/$(sed -n 's/^Icon=//p' "$desktop").png"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$desktop"
        check "desktop-file-validate" test $? -eq 0
    else
        skip "desktop-file-validate is not installed (package desktop-file-utils)"
    fi
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net "$metainfo"
        check "appstreamcli validate" test $? -eq 0
    else
        skip "appstreamcli is not installed (package appstream)"
    fi
}

part_deb()
{
    local tool
    for tool in cpack dpkg-deb dpkg-shlibdeps; do
        command -v $tool >/dev/null || {
            skip "$tool is not installed"
            return
        }
    done
    cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1
    check "cpack builds the package" test $? -eq 0 || cat "$work/cpack.log"
    local deb
    deb=$(find "$work/deb" -maxdepth 1 -name 'scanix_*.deb' | head -n1)
    [ -n "$deb" ] || return

    # dpkg-deb --contents: mode, owner, size, date, time, then the path (with " -> target" for links).
    local listing
    listing=$(dpkg-deb --contents "$deb" | sed -E 's/^([^ ]+) ([^ ]+) +[0-9]+ [^ ]+ [^ ]+ \.\/(.*)$/\1 \2 \3/')
    check "the package holds exactly the expected files" diff <(expected_files) \
        <(grep -v '^d' <<<"$listing" | cut -d' ' -f3- | sed 's/ -> .*//' | LC_ALL=C sort)
    check "the package has no folder beyond those of its files" diff <(expected_dirs) \
        <(grep '^d' <<<"$listing" | cut -d' ' -f3- | sed 's|/$||' | grep -v '^$' | LC_ALL=C sort)
    check "everything in the package belongs to root" test -z "$(cut -d' ' -f2 <<<"$listing" | grep -v '^root/root$')"
    check "the package is named scanix" test "$(dpkg-deb -f "$deb" Package)" = scanix
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    check "dependencies come from the binaries" grep -q libqt6widgets6 <<<"$depends"
    check "dependencies include the window-system plug-ins" grep -q qt6-qpa-plugins <<<"$depends"

    if command -v lintian >/dev/null; then
        lintian --fail-on error --no-tag-display-limit "$deb"
        check "lintian reports no error" test $? -eq 0
    else
        skip "lintian is not installed"
    fi
}

case $part in
install | user | validate | deb) "part_$part" ;;
*)
    echo "unknown part $part" >&2
    exit 2
    ;;
esac
finish
