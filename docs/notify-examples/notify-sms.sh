#!/bin/sh
# Sends every live event's line (VELTRANE_TEXT) as a text message through an HTTP gateway,
# one POST per recipient with curl.
#
#   Corvane.ini:  [ALARM_CONFIG]
#                 COMMAND=/usr/local/lib/veltrane/notify-sms.sh
#
# The gateway and the recipients come from the environment the station is started with, or
# from the file NOTIFY_SMS_CONFIG names (default /etc/veltrane/notify-sms.conf), a shell
# fragment:
#
#   SMS_URL="https://sms.example.com/api/send"   # required: the gateway's address
#   SMS_TO="13800000000,13900000000"             # required, comma-separated
#   SMS_TOKEN="secret"                           # optional: sent as "Authorization: Bearer"
#
# The form fields are to=<number> and text=<the line>; change the curl call below to what
# your gateway expects. The station kills the program after 30 s, so each request may take 8.
set -eu

config=${NOTIFY_SMS_CONFIG:-/etc/veltrane/notify-sms.conf}
if [ -r "$config" ]; then
    # shellcheck source=/dev/null
    . "$config"
fi
: "${SMS_URL:?no gateway: set SMS_URL (see the top of this script)}"
: "${SMS_TO:?no recipient: set SMS_TO (see the top of this script)}"

status=0
old_ifs=$IFS
IFS=,
for to in $SMS_TO; do
    IFS=$old_ifs
    to=$(printf '%s' "$to" | tr -d ' ')
    [ -n "$to" ] || continue
    # The token goes through curl's configuration on stdin, not its command line, where
    # every user of the machine could read it.
    if ! { [ -z "${SMS_TOKEN:-}" ] || printf 'header = "Authorization: Bearer %s"\n' "$SMS_TOKEN"; } |
        curl --config - --silent --show-error --fail --max-time 8 \
            --data-urlencode "to=$to" --data-urlencode "text=${VELTRANE_TEXT:-}" "$SMS_URL" >/dev/null; then
        status=1
    fi
done
exit "$status"
