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
# None is the default printer.
set -euo pipefail

command=${1:?start or stop}
folder=${2:?folder}

stop() {
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
if ! command -v cupsd >/dev/null || [[ ! -x /usr/lib/cups/backend/cups-pdf ]] || [[ ! -f $ppd_source ]]; then
    echo "cupsd or the CUPS-PDF backend is missing" >&2
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
mkdir -p "$folder"/{ppd,spool/tmp,cache,state,log,out}
folder=$(cd "$folder" && pwd)
# Filters run as the user lp: it must reach the spool, the PPDs and the temporary files.
chgrp -R lp "$folder"
chmod -R 2775 "$folder"
chmod 1777 "$folder/spool/tmp"
if ! setpriv --reuid=lp --regid=lp --clear-groups test -r "$folder/ppd"; then
    echo "the user lp cannot reach $folder" >&2
    exit 3
fi

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
socket="$folder/cups.sock"
cat >"$folder/cupsd.conf" <<CONF
Listen 127.0.0.1:$port
Listen $socket
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
cat >"$folder/cups-files.conf" <<CONF
ServerRoot $folder
RequestRoot $folder/spool
TempDir $folder/spool/tmp
CacheDir $folder/cache
StateDir $folder/state
AccessLog $folder/log/access_log
ErrorLog $folder/log/error_log
PageLog $folder/log/page_log
FileDevice No
CONF
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

cupsd -f -c "$folder/cupsd.conf" -s "$folder/cups-files.conf" </dev/null >>"$folder/log/cupsd.out" 2>&1 &
echo $! >"$folder/cupsd.pid"
export CUPS_SERVER=$socket
# lpstat -r answers 0 whether or not the scheduler runs: read what it says.
running() { [[ $(LC_ALL=C lpstat -r 2>/dev/null) == "scheduler is running" ]]; }
for _ in $(seq 300); do
    running && break
    sleep 0.1
done
if ! running; then
    echo "the scheduler did not answer within 30 seconds" >&2
    stop
    exit 3
fi
lpadmin -p kav-plain -E -v "cups-pdf:/$device_name" -P "$ppd_source"
lpadmin -p kav-margins -E -v "cups-pdf:/$device_name" -P "$folder/margins.ppd"
lpadmin -p kav-reject -E -v "cups-pdf:/$device_name" -P "$ppd_source"
cupsreject -r "refused by the test" kav-reject
lpadmin -p kav-gone -E -v "cups-pdf:/$device_name" -P "$ppd_source"
lpadmin -p kav-vanish -E -v "cups-pdf:/$device_name" -P "$ppd_source"
trap - ERR
echo "$CUPS_SERVER"
