# Starts and stops a vsftpd of our own on this machine, for the integration
# tests against vsftpd and for the benchmarks: a throw-away local user whose
# home is the served folder, a config of our own, 127.0.0.1 and a free port,
# no service manager. Needs root (or sudo) for the user and for vsftpd.
# Sourced, not run:
#
#   . tests/support/vsftpd.sh
#   vsftpd_prepare || ...         # user, home, config; sets the variables below
#   echo ssl_enable=YES | vsftpd_config   # optional further config lines
#   vsftpd_launch || ...          # starts it, waits until it answers
#   vsftpd_stop                   # kills it, removes the user and the folder
#
# Sets VSFTPD_USER, VSFTPD_PASSWORD, VSFTPD_PORT, VSFTPD_HOME (the log-in
# folder; without chroot its server path is the same), VSFTPD_WORK (config,
# log) and VSFTPD_PID. VSFTPD_LOG_PROTOCOL=1 logs every command and reply to
# $VSFTPD_WORK/vsftpd.log. VSFTPD_TMP names the folder VSFTPD_WORK is made
# in (default /tmp).

VSFTPD_SUDO=""
[ "$(id -u)" = 0 ] || VSFTPD_SUDO=sudo
VSFTPD_USER=${VSFTPD_USER:-qftp$$}  # its own name: runs side by side do not meet
VSFTPD_PASSWORD=quillon-test-$$
VSFTPD_WORK=""
VSFTPD_PID=""

vsftpd_prepare() {
    [ -x /usr/sbin/vsftpd ] || { echo "vsftpd is not installed" >&2; return 1; }
    if [ -n "$VSFTPD_SUDO" ] && ! sudo -n true 2>/dev/null; then
        echo "vsftpd needs root or sudo without a password" >&2
        return 1
    fi
    VSFTPD_WORK=$($VSFTPD_SUDO mktemp -d "${VSFTPD_TMP:-/tmp}/quillon-vsftpd.XXXXXX") || return 1
    VSFTPD_HOME=$VSFTPD_WORK/home
    $VSFTPD_SUDO chmod 755 "$VSFTPD_WORK"
    $VSFTPD_SUDO userdel "$VSFTPD_USER" 2>/dev/null || true
    $VSFTPD_SUDO useradd --home-dir "$VSFTPD_HOME" --create-home --shell /bin/bash "$VSFTPD_USER" || return 1
    # A cheap password hash: every log-in of a short-lived client (curl,
    # lftp) would otherwise spend a tenth of a second or more in PAM.
    echo "$VSFTPD_USER:$VSFTPD_PASSWORD" | $VSFTPD_SUDO chpasswd -c SHA512 -s 1000 || return 1
    $VSFTPD_SUDO chmod 777 "$VSFTPD_HOME"   # the callers write into it as themselves
    $VSFTPD_SUDO mkdir -p /var/run/vsftpd/empty
    VSFTPD_PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])') \
        || return 1
    protocol=NO
    [ "${VSFTPD_LOG_PROTOCOL:-}" = 1 ] && protocol=YES
    # Passive ports from a wide range: a long series of small transfers
    # must not run out while closed connections wait out TIME_WAIT.
    vsftpd_config <<EOF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$VSFTPD_PORT
background=NO
anonymous_enable=NO
local_enable=YES
write_enable=YES
local_umask=000
file_open_mode=0666
chroot_local_user=NO
pasv_enable=YES
pasv_address=127.0.0.1
pasv_min_port=10000
pasv_max_port=60999
port_enable=YES
connect_from_port_20=NO
utf8_filesystem=YES
delay_failed_login=0
delay_successful_login=0
pam_service_name=vsftpd
secure_chroot_dir=/var/run/vsftpd/empty
seccomp_sandbox=NO
isolate=NO
isolate_network=NO
xferlog_enable=$protocol
log_ftp_protocol=$protocol
vsftpd_log_file=$VSFTPD_WORK/vsftpd.log
EOF
}

# Appends the lines on standard input to the config.
vsftpd_config() {
    $VSFTPD_SUDO tee -a "$VSFTPD_WORK/vsftpd.conf" >/dev/null
}

vsftpd_launch() {
    $VSFTPD_SUDO /usr/sbin/vsftpd "$VSFTPD_WORK/vsftpd.conf" &
    VSFTPD_PID=$!
    # Bounded wait until the server answers on its port.
    tries=0
    until python3 -c "import socket; socket.create_connection(('127.0.0.1', $VSFTPD_PORT), 1).close()" 2>/dev/null; do
        tries=$((tries + 1))
        if [ $tries -ge 50 ] || ! kill -0 "$VSFTPD_PID" 2>/dev/null; then
            echo "vsftpd did not start; see $VSFTPD_WORK/vsftpd.log" >&2
            return 1
        fi
        sleep 0.1
    done
}

vsftpd_stop() {
    [ -n "$VSFTPD_PID" ] && $VSFTPD_SUDO kill "$VSFTPD_PID" 2>/dev/null
    VSFTPD_PID=""
    [ -n "$VSFTPD_WORK" ] || return 0
    $VSFTPD_SUDO userdel "$VSFTPD_USER" 2>/dev/null
    $VSFTPD_SUDO rm -rf "$VSFTPD_WORK"
    VSFTPD_WORK=""
}
