#!/bin/sh
# Mails every live event of the station through sendmail: the event's line as the subject,
# its details in the body.
#
#   Corvane.ini:  [ALARM_CONFIG]
#                 COMMAND=/usr/local/lib/veltrane/notify-mail.sh
#
# Recipients and sender come from the environment the station is started with, or from the
# file NOTIFY_MAIL_CONFIG names (default /etc/veltrane/notify-mail.conf), a shell fragment:
#
#   MAIL_TO="duty@example.com, manager@example.com"   # required, comma-separated
#   MAIL_FROM="station@example.com"                   # optional
#   SENDMAIL=/usr/sbin/sendmail                       # optional
#
# The station passes the event in VELTRANE_EVENT, VELTRANE_KIND, VELTRANE_DEVICE_ID,
# VELTRANE_DEVICE_NAME, VELTRANE_COMPANY, VELTRANE_DEPARTMENT, VELTRANE_VALUE, VELTRANE_TIME
# and VELTRANE_TEXT (UTF-8), and kills the program after 30 s.
set -eu

config=${NOTIFY_MAIL_CONFIG:-/etc/veltrane/notify-mail.conf}
if [ -r "$config" ]; then
    # shellcheck source=/dev/null
    . "$config"
fi
: "${MAIL_TO:?no recipient: set MAIL_TO (see the top of this script)}"
from=${MAIL_FROM:-veltrane@$(uname -n)}
sendmail=${SENDMAIL:-/usr/sbin/sendmail}

# The subject is base64 in a MIME encoded word: UTF-8 is safe in it, and no text of the
# database can start a header of its own.
subject=$(printf '%s' "${VELTRANE_TEXT:-}" | base64 | tr -d '\n')

{
    printf 'From: %s\n' "$from"
    printf 'To: %s\n' "$MAIL_TO"
    printf 'Subject: =?UTF-8?B?%s?=\n' "$subject"
    printf 'MIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: 8bit\n\n'
    printf '%s\n\n' "${VELTRANE_TEXT:-}"
    printf '事件: %s %s\n' "${VELTRANE_EVENT:-}" "${VELTRANE_KIND:-}"
    printf '设备: %s (%s)\n' "${VELTRANE_DEVICE_NAME:-}" "${VELTRANE_DEVICE_ID:-}"
    printf '公司: %s  部门: %s\n' "${VELTRANE_COMPANY:-}" "${VELTRANE_DEPARTMENT:-}"
    printf '数值: %s  时间: %s\n' "${VELTRANE_VALUE:-}" "${VELTRANE_TIME:-}"
} | "$sendmail" -t -oi
