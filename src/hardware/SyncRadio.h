#pragma once

// Switches the receive mode of the sync radio's transceiver driver ("/dev/cc1101") on or off.
// The device is opened on first use and kept open for the life of the process; while it cannot
// be opened every call reports "open cc1101" with the system error on standard error and tries
// again next time. A refused request is reported as "SET_RECEIVE_MODE". No result: the missing
// interrupts of a dead link make the time-domain screen fall back to its internal sync.
void setReceiveMode(bool on);
