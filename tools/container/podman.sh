#!/bin/sh
# Runs podman the way it works on Debian 12 hosts that refuse crun's
# resource limits and hybrid cgroups (sandboxes, some CI runners): runc,
# cgroupfs, and this folder's containers.conf (no default ulimits).
#   sh tools/container/podman.sh images
# Storage stays podman's own; STORAGE_DRIVER=vfs picks vfs where overlay fails.
here=$(cd "$(dirname "$0")" && pwd)
CONTAINERS_CONF=$here/containers.conf
export CONTAINERS_CONF
exec podman --runtime runc --cgroup-manager cgroupfs "$@"
