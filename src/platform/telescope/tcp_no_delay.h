#pragma once

// Turns off Nagle's algorithm on every TCP socket of this process whose peer is at `port`
// (the process's own sockets only; any host). Returns how many sockets it changed.
//
// libindi opens its socket itself and writes each message in several pieces; with Nagle's
// algorithm the later pieces wait for the server's delayed acknowledgement, about 40 ms on
// Linux, which would hold up every guide pulse by that much.
int setTcpNoDelayForPeerPort(int port);
