#include "StandInCommands.h"

#include <QFile>

namespace {

const char* const header = R"SH(#!/bin/sh
# Stand-in installed by the board simulator (corvane-boardsim): it never touches the host.
root="${CORVANE_ROOT:-@ROOT@}"
sim="$root/sim"
mkdir -p "$sim"
echo "$(/bin/date '+%Y-%m-%d %H:%M:%S') $(basename "$0") $*" >> "$sim/commands.log"
)SH";

const char* const mountBody = R"SH(
name=$(basename "$0")
echo "$name $*" >> "$sim/mount.log"
opts=""
target=""
prev=""
for arg in "$@"; do
    if [ "$prev" = "-o" ]; then
        opts="$arg"
    elif [ "$arg" != "-o" ]; then
        case "$arg" in
            -*) ;;
            *) target="$arg" ;;
        esac
    fi
    prev="$arg"
done
# The folder below the root that a board path (or an already mapped path) names, and the
# board's view of it for messages.
case "$target" in
    "$root"/*) dir="$target" ;;
    /) dir="$root" ;;
    *) dir="$root$target" ;;
esac
shown="${dir#"$root"}"
[ -n "$shown" ] || shown=/
if [ "$name" = umount ]; then
    if [ -n "$target" ] && [ -d "$dir" ]; then
        exit 0
    fi
    echo "umount: $shown: not mounted." >&2
    exit 32
fi
if [ -z "$target" ]; then
    echo "/dev/root on / type ext4 ($(cat "$sim/rootfs" 2>/dev/null || echo ro),relatime)"
    echo "/dev/mmcblk0p3 on /data type ext4 (rw,relatime)"
    echo "tmpfs on /media/ram type tmpfs (rw,relatime)"
    exit 0
fi
case ",$opts," in
    *,remount,*)
        if [ -e "$sim/faults/remount-failure" ]; then
            echo "mount: $shown: cannot remount, device is write-protected." >&2
            exit 32
        fi
        state=""
        case ",$opts," in
            *,rw,*) state=rw ;;
            *,ro,*) state=ro ;;
        esac
        if [ "$target" = "/" ]; then
            if [ -n "$state" ]; then
                echo "$state" > "$sim/rootfs"
                echo "$state $(/bin/date +%s.%N)" >> "$sim/rootfs.log"
            fi
            exit 0
        fi
        if [ -d "$dir" ]; then
            exit 0
        fi
        echo "mount: $shown: mount point not mounted or bad option." >&2
        exit 32
        ;;
esac
if [ -d "$dir" ]; then
    exit 0
fi
echo "mount: $shown: mount point does not exist." >&2
exit 32
)SH";

const char* const dfBody = R"SH(
used_kb() {
    du -sk "$1" 2>/dev/null | awk '{ print $1 + 0 }'
}
line() {
    # file system, size in KiB, used in KiB, mount point
    awk -v fs="$1" -v size="$2" -v used="$3" -v mp="$4" '
        function human(k,    u, i) {
            split("K M G T", u, " ")
            i = 1
            while (k >= 1024 && i < 4) { k /= 1024; i++ }
            if (k == 0) return "0"
            return sprintf("%.1f%s", k, u[i])
        }
        BEGIN {
            if (used > size) used = size
            avail = size - used
            pct = size > 0 ? int((used * 100 + size - 1) / size) : 0
            printf "%-20s%10s%10s%10s%5s %s\n", fs, human(size), human(used), human(avail), pct "%", mp
        }'
}
printf '%-20s%10s%10s%10s%5s %s\n' "Filesystem" "Size" "Used" "Available" "Use%" "Mounted on"
line /dev/root 524288 201216 /
line devtmpfs 61440 0 /dev
line tmpfs 62464 $(used_kb "$root/media/ram") /media/ram
line /dev/mmcblk0p3 3774873 $(( 12288 + $(used_kb "$root/data") )) /data
letter=a
for dir in "$root"/media/*; do
    [ -d "$dir" ] || continue
    mp="/media/$(basename "$dir")"
    [ "$mp" = /media/ram ] && continue
    line "/dev/sd${letter}1" 7864320 $(used_kb "$dir") "$mp"
    letter=$(echo "$letter" | tr 'a-y' 'b-z')
done
exit 0
)SH";

const char* const ifconfigBody = R"SH(
interfaces="$root/etc/network/interfaces"
state_of() {
    cat "$sim/net/$1" 2>/dev/null || echo up
}
# Prints "method address netmask" of an interface's stanza.
stanza() {
    awk -v want="$1" '
        /^[ \t]*#/ { next }
        /^iface/ { inside = ($2 == want); if (inside) method = $4; next }
        inside && /^[ \t]/ {
            if ($1 == "address") addr = $2
            else if ($1 == "netmask") mask = $2
            next
        }
        { inside = 0 }
        END { print (method == "" ? "none" : method), (addr == "" ? "-" : addr), (mask == "" ? "-" : mask) }
    ' "$interfaces" 2>/dev/null
}
broadcast() {
    awk -v a="$1" -v m="$2" 'BEGIN {
        split(a, x, "."); split(m, y, ".")
        for (i = 1; i <= 4; i++) {
            block = 256 - (y[i] + 0)
            b[i] = (x[i] + 0) - (x[i] + 0) % block + block - 1
        }
        printf "%d.%d.%d.%d", b[1], b[2], b[3], b[4]
    }'
}
trim() {
    awk -v a="$1" 'BEGIN { n = split(a, x, "."); s = ""; for (i = 1; i <= n; i++) s = s (i > 1 ? "." : "") (x[i] + 0); print s }'
}
show() {
    case "$1" in
        lo)
            echo "lo        Link encap:Local Loopback  "
            echo "          inet addr:127.0.0.1  Mask:255.0.0.0"
            echo "          UP LOOPBACK RUNNING  MTU:65536  Metric:1"
            echo "          RX packets:64 errors:0 dropped:0 overruns:0 frame:0"
            echo "          TX packets:64 errors:0 dropped:0 overruns:0 carrier:0"
            echo "          collisions:0 txqueuelen:1000 "
            echo "          RX bytes:5120 (5.0 KiB)  TX bytes:5120 (5.0 KiB)"
            echo ""
            ;;
        eth0)
            echo "eth0      Link encap:Ethernet  HWaddr 00:1E:C0:8A:21:5F  "
            if [ "$(state_of eth0)" = up ]; then
                set -- $(stanza eth0)
                method=$1
                addr=$2
                mask=$3
                if [ -s "$sim/net/eth0.address" ]; then
                    set -- $(cat "$sim/net/eth0.address")
                    method=static
                    addr=$1
                    mask=$2
                elif [ "$method" = dhcp ]; then
                    addr=192.168.1.117
                    mask=255.255.255.0
                fi
                if [ "$addr" != "-" ]; then
                    [ "$mask" = "-" ] && mask=255.255.255.0
                    addr=$(trim "$addr")
                    mask=$(trim "$mask")
                    echo "          inet addr:$addr  Bcast:$(broadcast "$addr" "$mask")  Mask:$mask"
                fi
                echo "          UP BROADCAST RUNNING MULTICAST  MTU:1500  Metric:1"
            else
                echo "          BROADCAST MULTICAST  MTU:1500  Metric:1"
            fi
            echo "          RX packets:18734 errors:0 dropped:0 overruns:0 frame:0"
            echo "          TX packets:9921 errors:0 dropped:0 overruns:0 carrier:0"
            echo "          collisions:0 txqueuelen:1000 "
            echo "          RX bytes:2345678 (2.2 MiB)  TX bytes:876543 (856.0 KiB)"
            echo "          Interrupt:56 "
            echo ""
            ;;
        *)
            echo "ifconfig: $1: error fetching interface information: Device not found" >&2
            exit 1
            ;;
    esac
}
case "$1" in
    ""|-a)
        show eth0
        show lo
        ;;
    *)
        if [ $# -gt 1 ]; then
            # "ifconfig IFACE ADDRESS [netmask MASK]": the address holds until ifup/ifdown.
            show "$1" > /dev/null || exit 1
            case "$2" in
                *.*.*.*) ;;
                *)
                    echo "ifconfig: $2: unknown host" >&2
                    exit 1
                    ;;
            esac
            mask=255.255.255.0
            [ "$3" = netmask ] && [ -n "$4" ] && mask="$4"
            mkdir -p "$sim/net"
            echo "$2 $mask" > "$sim/net/$1.address"
            exit 0
        fi
        show "$1"
        ;;
esac
exit 0
)SH";

const char* const ifupdownBody = R"SH(
name=$(basename "$0")
iface=""
for arg in "$@"; do
    case "$arg" in
        -*) ;;
        *) iface="$arg" ;;
    esac
done
case "$iface" in
    lo|eth0) ;;
    *)
        echo "$name: unknown interface $iface" >&2
        exit 1
        ;;
esac
mkdir -p "$sim/net"
rm -f "$sim/net/$iface.address"
if [ "$name" = ifup ]; then
    # ifup reads the interface's stanza as the board's ifupdown would, and refuses a broken one.
    interfaces="$root/etc/network/interfaces"
    if [ ! -r "$interfaces" ] || [ -d "$interfaces" ]; then
        echo "ifup: cannot read ${interfaces#"$root"}" >&2
        exit 1
    fi
    problem=$(awk -v want="$iface" '
        /^[ \t]*#/ { next }
        /^iface/ {
            inside = ($2 == want)
            if (inside) { found = 1; family = $3; method = $4 }
            next
        }
        inside && /^[ \t]/ { if ($1 == "address") address = $2; next }
        { inside = 0 }
        END {
            if (!found) print "unknown interface " want
            else if (family != "inet") print "address family \"" family "\" not known"
            else if (method != "dhcp" && method != "static" && method != "loopback" && method != "manual")
                print "method \"" method "\" not known"
            else if (method == "static" && address == "") print "static method without an address"
        }' "$interfaces")
    if [ -n "$problem" ]; then
        echo "ifup: $iface: $problem" >&2
        exit 1
    fi
    echo up > "$sim/net/$iface"
else
    echo down > "$sim/net/$iface"
fi
exit 0
)SH";

const char* const dateBody = R"SH(
# Only forms that read the clock reach the host's date; setting it is checked and logged.
# Anything else is refused: nothing here may ever set the host's clock.
refuse() {
    echo "date: $*: not supported by the simulator's date" >&2
    exit 1
}
case "$#:$1" in
    0:)
        exec /bin/date
        ;;
    1:+*)
        exec /bin/date "$1"
        ;;
    2:-u)
        case "$2" in
            +*) exec /bin/date -u "$2" ;;
        esac
        ;;
    2:-s|2:--set)
        value="$2"
        ;;
    1:--set=*)
        value="${1#--set=}"
        ;;
esac
[ -n "${value+set}" ] || refuse "$@"
# The board's date accepts "YYYY.MM.DD-hh:mm[:ss]", "YYYY-MM-DD hh:mm[:ss]" and "hh:mm[:ss]".
d='[0-9][0-9][0-9][0-9]'
t='[0-2][0-9]:[0-5][0-9]'
case "$value" in
    $d.[01][0-9].[0-3][0-9]-$t|$d.[01][0-9].[0-3][0-9]-$t:[0-5][0-9]) ;;
    $d-[01][0-9]-[0-3][0-9]\ $t|$d-[01][0-9]-[0-3][0-9]\ $t:[0-5][0-9]) ;;
    $t|$t:[0-5][0-9]) ;;
    *)
        echo "date: invalid date '$value'" >&2
        exit 1
        ;;
esac
echo "$value" > "$sim/clock"
echo "$value"
exit 0
)SH";

const char* const hwclockBody = R"SH(
exit 0
)SH";

const char* const editenvBody = R"SH(
case "$1" in
    --prodid)
        if [ -s "$sim/prodid" ]; then
            cat "$sim/prodid"
        else
            echo "CV2026-0042, Corvane PD detector"
        fi
        exit 0
        ;;
esac
echo "usage: editenv --prodid" >&2
exit 1
)SH";

const char* const updaterBody = R"SH(
# Installs an update image: "CORVANE-UPDATE 1", "version V", "sha256 HEX", a blank line, the
# payload. A missing, foreign or damaged image is refused; an accepted one becomes the board
# image's version (as the real device would show after its restart).
image="$1"
shown="${image#"$root"}"
if [ ! -f "$image" ]; then
    echo "updater: $shown: no such update file" >&2
    exit 1
fi
if [ "$(head -n 1 "$image")" != "CORVANE-UPDATE 1" ]; then
    echo "updater: $shown: not a Corvane update image" >&2
    exit 2
fi
version=$(sed -n '2s/^version //p' "$image")
expected=$(sed -n '3s/^sha256 //p' "$image")
actual=$(tail -n +5 "$image" | sha256sum | cut -d ' ' -f 1)
if [ -z "$version" ] || [ "$expected" != "$actual" ]; then
    echo "updater: $shown: damaged image (checksum mismatch)" >&2
    exit 3
fi
sleep 2
if ! "$root/bin/mount" / -o remount,rw; then
    echo "updater: cannot write the board image" >&2
    exit 4
fi
echo "$version (Corvane board image, updated by the simulator)" > "$root/etc/version.corvane"
"$root/bin/mount" / -o remount,ro
echo "updater: $(basename "$image") installed, version $version; the board restarts now (simulated)"
exit 0
)SH";

struct StandIn
{
    const char* path;
    const char* body;
};

const StandIn standIns[] = {
    {"/bin/mount", mountBody},         {"/bin/umount", mountBody},       {"/bin/df", dfBody},
    {"/sbin/ifconfig", ifconfigBody},  {"/sbin/ifup", ifupdownBody},     {"/sbin/ifdown", ifupdownBody},
    {"/bin/date", dateBody},           {"/sbin/hwclock", hwclockBody},   {"/bin/editenv", editenvBody},
    {"/usr/sbin/updater", updaterBody},
};

} // namespace

QStringList StandInCommands::install(const SimRoot& root)
{
    QStringList failed;
    QString head = QString::fromLatin1(header);
    // The root is quoted in the script; a quote in the folder name would break it.
    QString quotedRoot = root.root();
    quotedRoot.replace(QLatin1Char('"'), QLatin1String("\\\""));
    head.replace(QLatin1String("@ROOT@"), quotedRoot);
    for (const StandIn& standIn : standIns) {
        const QString boardPath = QLatin1String(standIn.path);
        const QByteArray script = (head + QString::fromLatin1(standIn.body)).toUtf8();
        if (!root.replaceFile(boardPath, script)
            || !QFile::setPermissions(root.path(boardPath), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                 | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                                                 | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                                                 | QFileDevice::ExeOther))
            failed << boardPath;
    }
    return failed;
}

QStringList StandInCommands::installedPaths()
{
    QStringList paths;
    for (const StandIn& standIn : standIns)
        paths << QLatin1String(standIn.path);
    return paths;
}
