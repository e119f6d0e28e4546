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

// Time limits of delivery, in milliseconds.
struct PortTimeouts {
    int connectMs = 10'000;
    int writeMs = 30'000;  // longest wait for a socket, device or FIFO to take more bytes
    int openMs = 30'000;   // longest wait for someone to read a FIFO
    int drainMs = 60'000;  // socket: after the last byte, longest wait for the printer to read it all
    int jobMs = 600'000;   // the whole delivery of one job
};

// Reads a port string. A path that names a character device or a FIFO is a
// device; any other path is a file. False with a reason for an empty port, a
// malformed socket address, a block device or a directory.
bool ParsePort(const std::string& port, PortAddress& out, std::string& why);

// Whether jobs could be sent to the port: ParsePort, and a file port's directory
// exists. False with a reason.
bool CheckPort(const std::string& port, std::string& why);

// Sends the whole file `spoolFile` to the port. False with a one-line reason.
// A file port is written under a new name beside the file and renamed over it:
// a new file gets the mode the umask allows, an existing one keeps its mode, and
// a symbolic link is refused, never written through. A socket job is delivered
// once the printer has read it: after the last byte the sending side is shut
// down, and the printer must close the connection or take every byte queued
// within drainMs.
bool DeliverToPort(const std::string& port, const std::string& spoolFile, std::string& why,
                   const PortTimeouts& timeouts = {});

}  // namespace platform
