#pragma once

class QTcpServer;

// A listener that cannot accept a connection (the process is out of file descriptors, or the
// system of memory) stops accepting until told otherwise. This tries again a moment later, so the
// port serves again as soon as connections have gone; until then new connections wait in the
// backlog.
void KeepAccepting(QTcpServer& server);
