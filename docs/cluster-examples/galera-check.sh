#!/bin/sh
# HAProxy external check: passes only when the node answers and its wsrep_local_state is 4
# (Synced): a node that is joining, donating or cut off from the cluster gets no stations.
# HAProxy calls it with <proxy addr> <proxy port> <server addr> <server port>. The account
# needs no privilege: CREATE USER 'hacheck'@'<proxy address>';
state=$(timeout 2 /usr/bin/mariadb --no-defaults -h "$3" -P "$4" -u hacheck --connect-timeout=1 -NBe \
        "show global status like 'wsrep_local_state'" 2>/dev/null | cut -f2)
[ "$state" = 4 ]
