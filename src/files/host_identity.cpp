#include "files/host_identity.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>

namespace tellurim {

HostIdentity local_host_identity() {
    HostIdentity id;
    id.ip_address = "127.0.0.1";
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0) return id;
    id.host_name = name.data();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(id.host_name.c_str(), nullptr, &hints, &found) != 0 || !found) return id;
    std::array<char, INET_ADDRSTRLEN> text{};
    const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    if (::inet_ntop(AF_INET, &in->sin_addr, text.data(), text.size())) id.ip_address = text.data();
    ::freeaddrinfo(found);
    return id;
}

}  // namespace tellurim
