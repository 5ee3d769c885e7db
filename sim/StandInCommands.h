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
//   ifconfig        classic layout from <root>/etc/network/interfaces; ifup/ifdown switch the
//                   interface's state in <root>/sim/net/<name>
//   date, hwclock   only log (date without -s prints the host's date)
//   editenv         "--prodid" prints the product identification (<root>/sim/prodid if present)
//   updater         checks that the update file exists, logs, takes two seconds
class StandInCommands
{
public:
    // Installs every stand-in; returns the board paths that could not be written.
    static QStringList install(const SimRoot& root);
    // Board paths of the installed stand-ins.
    static QStringList installedPaths();
};
