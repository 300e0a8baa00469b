#!/usr/bin/env bash
# A private CUPS scheduler for the printing tests, with CUPS-PDF queues.
#
#   private_cups.sh start FOLDER   starts it; prints the CUPS_SERVER to use
#   private_cups.sh stop FOLDER    stops it
#
# Everything it keeps (configuration, spool, cache, logs and the PDFs the
# queues write, named job_N-TITLE.pdf in FOLDER/out) lives in FOLDER but one
# settings file of the CUPS-PDF backend (see below); it listens on a loopback
# port of its own and on a socket in FOLDER, so the machine's own print
# system, if any, is never touched. The CUPS-PDF backend runs as root. Queues:
#   kav-plain    CUPS-PDF as shipped
#   kav-margins  CUPS-PDF with hardware margins of 3.2 mm at the left, top and
#                right and 12.7 mm at the bottom of an A4 sheet
#   kav-reject   refuses jobs (cupsreject)
#   kav-gone     for a test to delete
#   kav-vanish   for the end-to-end test to delete
#   kav-letter   CUPS-PDF with Letter for its default paper
#   kav-everywhere  a driverless IPP Everywhere queue (-m everywhere) on an
#                ippeveprinter with kav-margins' printable area on A4, which
#                keeps every job it receives in FOLDER/everywhere, named
#                N-TITLE.pdf; its address is in FOLDER/everywhere.uri
#   kav-duplex   the same kind of queue on an ippeveprinter that prints on
#                both sides (jobs in FOLDER/duplex, address in FOLDER/duplex.uri)
# None is the default printer. Beside it, for the tests of a print system
# that fails: FOLDER/hung.sock, a scheduler for the tests to stop with
# SIGSTOP (process id in FOLDER/hung/cupsd.pid), and FOLDER/dead.sock, a socket nobody listens on. The
# ippeveprinters announce themselves on a private message bus only.
set -euo pipefail

command=${1:?start or stop}
folder=${2:?folder}

stop_pid_file() {
    local file=$1 pid
    [[ -f $file ]] || return 0
    pid=$(cat "$file")
    kill -CONT "$pid" 2>/dev/null || true
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    rm -f "$file"
}

stop() {
    for file in "$folder"/ippeve-*.pid "$folder/hung/cupsd.pid" "$folder/dbus.pid"; do
        stop_pid_file "$file"
    done
    if [[ -f "$folder/cupsd.pid" ]]; then
        local pid
        pid=$(cat "$folder/cupsd.pid")
        kill "$pid" 2>/dev/null || true
        # Gone before the caller goes on (or removes the folder it writes in).
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null; then
            kill -KILL "$pid" 2>/dev/null || true
        fi
        rm -f "$folder/cupsd.pid"
    fi
    if [[ -f "$folder/backend.conf" ]]; then
        rm -f "$(cat "$folder/backend.conf")"
        rm -f "$folder/backend.conf"
    fi
}

if [[ $command == stop ]]; then
    stop
    exit 0
fi

ppd_source=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[[ -f $ppd_source ]] || ppd_source=$(find /usr/share/ppd -name 'CUPS-PDF*.ppd' | head -n 1)
if [[ $(id -u) -ne 0 ]]; then
    echo "not root" >&2
    exit 3
fi
if ! command -v cupsd >/dev/null || [[ ! -x /usr/lib/cups/backend/cups-pdf ]] ||
    [[ ! -f $ppd_source ]] || ! command -v ippeveprinter >/dev/null ||
    ! command -v dbus-daemon >/dev/null; then
    echo "cupsd, the CUPS-PDF backend, ippeveprinter or dbus-daemon is missing" >&2
    exit 3
fi

stop
# A start that fails part way leaves no scheduler and no backend settings behind.
failed() {
    local status=$?
    stop
    exit "$status"
}
trap failed ERR
rm -rf "$folder"
# Settings files of earlier schedulers that were killed before they could
# remove them: their output folder is gone.
for conf in /etc/cups/cups-pdf-kavrilon-test-*.conf; do
    [[ -f $conf ]] || continue
    out=$(sed -n 's/^Out //p' "$conf")
    [[ -n $out && -d $out ]] || rm -f "$conf"
done
mkdir -p "$folder"/{ppd,spool/tmp,cache,state,log,out,everywhere,duplex}
mkdir -p "$folder"/hung/{ppd,spool/tmp,cache,state,log}
folder=$(cd "$folder" && pwd)
# Filters run as the user lp: it must reach the spool, the PPDs and the temporary files.
chgrp -R lp "$folder"
chmod -R 2775 "$folder"
chmod 1777 "$folder/spool/tmp"
if ! setpriv --reuid=lp --regid=lp --clear-groups test -r "$folder/ppd"; then
    echo "the user lp cannot reach $folder" >&2
    exit 3
fi

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
port=$(free_port)
socket="$folder/cups.sock"

# cupsd.conf and cups-files.conf of a scheduler in $1 listening on $2.
write_conf() {
    local root=$1 listen=$2
    cat >"$root/cupsd.conf" <<CONF
$listen
LogLevel warn
MaxLogSize 0
Browsing No
WebInterface No
DefaultAuthType None
JobRetryInterval 1
PreserveJobHistory Yes
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
CONF
    cat >"$root/cups-files.conf" <<CONF
ServerRoot $root
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
FileDevice No
CONF
}
write_conf "$folder" "Listen 127.0.0.1:$port
Listen $socket"
# The CUPS-PDF backend reads its settings from /etc/cups only, from
# cups-pdf-NAME.conf for the device cups-pdf:/NAME: a name of this scheduler's
# own, removed again when it stops.
device_name="kavrilon-test-$port"
backend_conf="/etc/cups/cups-pdf-$device_name.conf"
echo "$backend_conf" >"$folder/backend.conf"
cat >"$backend_conf" <<CONF
Out $folder/out
AnonDirName $folder/out/anonymous
Spool $folder/spool/cups-pdf
Label 1
Log $folder/log
LogType 1
Grp lp
CONF

# The CUPS-PDF PPD with uneven hardware margins on A4 (in points: 3.2 mm is
# 9.07, 12.7 mm is 36).
sed -e 's|^\*ImageableArea A4/A4: .*|*ImageableArea A4/A4: "9.07 36 585.93 832.93"|' \
    "$ppd_source" >"$folder/margins.ppd"

# Starts the scheduler of folder $1, listening on socket $2, and waits for it.
start_scheduler() {
    local root=$1
    cupsd -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" </dev/null >>"$root/log/cupsd.out" 2>&1 &
    echo $! >"$root/cupsd.pid"
    for _ in $(seq 300); do
        running "$2" && return 0
        sleep 0.1
    done
    echo "the scheduler in $root did not answer within 30 seconds" >&2
    stop
    exit 3
}
# lpstat -r answers 0 whether or not the scheduler runs: read what it says.
running() { [[ $(CUPS_SERVER=$1 LC_ALL=C lpstat -r 2>/dev/null) == "scheduler is running" ]]; }

start_scheduler "$folder" "$socket"
export CUPS_SERVER=$socket

# A scheduler for the tests to stop with SIGSTOP (its process id is in
# FOLDER/hung/cupsd.pid), so that it accepts connections but never answers.
write_conf "$folder/hung" "Listen $folder/hung.sock"
start_scheduler "$folder/hung" "$folder/hung.sock"
# A socket whose scheduler is gone.
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$folder/dead.sock"
lpadmin -p kav-plain -E -v "cups-pdf:/$device_name" -P "$ppd_source"
lpadmin -p kav-margins -E -v "cups-pdf:/$device_name" -P "$folder/margins.ppd"
lpadmin -p kav-reject -E -v "cups-pdf:/$device_name" -P "$ppd_source"
cupsreject -r "refused by the test" kav-reject
lpadmin -p kav-gone -E -v "cups-pdf:/$device_name" -P "$ppd_source"
lpadmin -p kav-vanish -E -v "cups-pdf:/$device_name" -P "$ppd_source"
lpadmin -p kav-letter -E -v "cups-pdf:/$device_name" -P "$ppd_source" -o PageSize=Letter

# Driverless printers. ippeveprinter announces itself through Avahi, over a
# message bus of our own, where nobody listens.
dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$folder/dbus.pid" >"$folder/dbus.address"
bus=$(head -n 1 "$folder/dbus.address")
# The PPD of kav-margins with A4 in its exact size, as a real printer reports it.
sed -e 's|\[595 842\]|[595.28 841.89]|' \
    -e 's|^\*PaperDimension A4/A4: .*|*PaperDimension A4/A4: "595.28 841.89"|' \
    -e 's|^\*ImageableArea A4/A4: .*|*ImageableArea A4/A4: "9.07 36 586.21 832.82"|' \
    "$ppd_source" >"$folder/everywhere.ppd"
# An IPP Everywhere printer $1 keeping its jobs in FOLDER/$1, options $3...,
# and its queue $2.
driverless() {
    local name=$1 queue=$2 ipp_port
    shift 2
    ipp_port=$(free_port)
    DBUS_SYSTEM_BUS_ADDRESS=$bus setsid ippeveprinter -p "$ipp_port" -n localhost -r off -k \
        -d "$folder/$name" "$@" "kavrilon-$name" </dev/null >>"$folder/log/$name.log" 2>&1 &
    echo $! >"$folder/ippeve-$name.pid"
    echo "ipp://localhost:$ipp_port/ipp/print" >"$folder/$name.uri"
    for _ in $(seq 100); do
        ipptool -q "$(cat "$folder/$name.uri")" get-printer-attributes.test 2>/dev/null && break
        sleep 0.1
    done
    lpadmin -p "$queue" -E -v "$(cat "$folder/$name.uri")" -m everywhere
}
driverless everywhere kav-everywhere -c /bin/true -P "$folder/everywhere.ppd"
driverless duplex kav-duplex -2 -f application/pdf
trap - ERR
echo "$CUPS_SERVER"
