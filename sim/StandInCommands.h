#pragma once

#include "SimRoot.h"

#include <QStringList>

// Shell stand-ins for the board image's commands, installed below the root: the instrument runs
// them (with CORVANE_ROOT set) instead of the host's programs. None of them changes the host:
// they log to "<root>/sim/commands.log" and keep their state in "<root>/sim".
//   mount, umount   a remount of "/" records "rw"/"ro" in <root>/sim/rootfs and logs to
//                   <root>/sim/mount.log; every remount fails while the fault "remount-failure"
//                   is on; other mounts succeed when the mount point exists below the root
//   df              "df -h" layout: the root file systems and every folder below <root>/media
//   ifconfig        classic layout from <root>/etc/network/interfaces; "ifconfig eth0 ADDR
//                   netmask MASK" sets an address until the next ifup/ifdown; ifup/ifdown switch
//                   the interface's state in <root>/sim/net/<name>, ifup refuses a broken stanza
//   date            reads the host's clock; "-s" is checked, logged and kept in <root>/sim/clock;
//                   any other form is refused (nothing may set the host's clock)
//   hwclock         only logs
//   editenv         "--prodid" prints the product identification (<root>/sim/prodid if present)
//   updater         checks the update image (header, version, SHA-256 of the payload), takes two
//                   seconds and writes the new version into /etc/version.corvane
class StandInCommands
{
public:
    // Installs every stand-in; returns the board paths that could not be written.
    static QStringList install(const SimRoot& root);
    // Board paths of the installed stand-ins.
    static QStringList installedPaths();
};
