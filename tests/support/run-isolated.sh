#!/bin/sh
# Runs a test program in namespaces of its own: a private /dev/shm, where libjack keeps its
# sockets, shared memory and semaphores, and a private network with loopback only, where an OLA
# daemon's RPC port 127.0.0.1:9010 is free. Programs that start JACK servers and OLA daemons
# then run side by side without meeting; NOTECAST_PRIVATE_SHM=1 tells them /dev/shm is theirs.
# Needs the right to make namespaces (root).
#   run-isolated.sh PROGRAM [ARGS...]
exec unshare --mount --net --propagation private sh -c \
  'mount -t tmpfs -o mode=1777 tmpfs /dev/shm && ip link set lo up &&
   NOTECAST_PRIVATE_SHM=1 exec "$0" "$@"' "$@"
