#!/usr/bin/env bash
# Runs the printing tests against a private print server: its own configuration, socket, spool
# and backend in a temporary folder, one raw queue as the default printer, which keeps each job
# as a file. Nothing of the machine's own printing set-up is used or changed.
set -euo pipefail
view_tests="$1"  # the widget test program holding the printing test
dir=$(mktemp -d)
cupsd_pid=""
cleanup() {
  if [ -n "$cupsd_pid" ]; then
    kill "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
  fi
  rm -rf "$dir"
}
trap cleanup EXIT

mkdir -p "$dir"/{etc,spool,tmp,cache,state,log,out,bin/backend}
# The queue's backend runs as the print system's own user.
chmod 755 "$dir" "$dir/bin" "$dir/bin/backend"
chmod 777 "$dir/out" "$dir/tmp"
for part in filter daemon cgi-bin notifier monitor driver; do
  [ -e "/usr/lib/cups/$part" ] && ln -s "/usr/lib/cups/$part" "$dir/bin/$part"
done
cat > "$dir/bin/backend/keep" <<'BACKEND'
#!/bin/sh
# keep:/path/to/file writes the job, as it comes, to that file.
if [ $# -eq 0 ]; then echo 'file keep "Unknown" "Keep jobs as files"'; exit 0; fi
out="${DEVICE_URI#keep:}"
if [ -n "${6:-}" ]; then cat "$6" >"$out"; else cat >"$out"; fi
BACKEND
chmod 755 "$dir/bin/backend/keep"
cat > "$dir/etc/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat > "$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
ServerBin $dir/bin
DataDir /usr/share/cups
CONF
/usr/sbin/cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" >"$dir/log/stdout" 2>&1 &
cupsd_pid=$!
for _ in $(seq 50); do [ -S "$dir/cups.sock" ] && break; sleep 0.1; done

export CUPS_SERVER="$dir/cups.sock"
lpadmin -p TrainerTest -E -v "keep:$dir/out/job.prn" -m raw 2>/dev/null
lpadmin -d TrainerTest
lpstat -d

status=0
QT_QPA_PLATFORM=offscreen TRAINER_PRINT_OUTPUT="$dir/out/job.prn" "$view_tests" --gtest_filter='Printing.OnTheDefaultPrinter*' || status=$?
[ "$status" -eq 0 ] || { grep -v Private "$dir/log/error_log" || true; lpstat -p -W all -o || true; }
exit $status
