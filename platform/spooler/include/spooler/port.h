// Printer ports: where a finished raw job goes. A port is a file path (written to
// a temporary name beside it and renamed, so a failed delivery leaves no partial
// file), socket://host[:port] (raw TCP, port 9100 by default) or a device node.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum class PortKind { File, Socket, Device };

struct PortAddress {
    PortKind kind = PortKind::File;
    std::string path;  // File, Device
    std::string host;  // Socket
    std::uint16_t port = 9100;
};

// Time limits of socket delivery, in milliseconds.
struct PortTimeouts {
    int connectMs = 10'000;
    int writeMs = 30'000;  // longest wait for the peer to accept more bytes
};

// Reads a port string. A path that names a character or block device or a FIFO
// is a device; any other path is a file. False with a reason for an empty port or
// a malformed socket address.
bool ParsePort(const std::string& port, PortAddress& out, std::string& why);

// Sends the whole file `spoolFile` to the port. False with a one-line reason.
bool DeliverToPort(const std::string& port, const std::string& spoolFile, std::string& why,
                   const PortTimeouts& timeouts = {});

}  // namespace platform
